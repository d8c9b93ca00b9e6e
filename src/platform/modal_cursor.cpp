#include "modal_cursor.h"

#include <QApplication>
#include <QCursor>

namespace platform {

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

ArrowCursorWhileModal::ArrowCursorWhileModal() {
    if (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        m_pushed = true;
    }
}

ArrowCursorWhileModal::~ArrowCursorWhileModal() {
    if (m_pushed)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
