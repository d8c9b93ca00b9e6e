#include "platform/mouse_pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

QtMousePointer::~QtMousePointer() {
    if (m_busy && QGuiApplication::instance() != nullptr)
        QGuiApplication::restoreOverrideCursor();
}

void QtMousePointer::setBusy() {
    if (m_busy)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_busy = true;
}

void QtMousePointer::setNormal() {
    if (!m_busy)
        return;
    QGuiApplication::restoreOverrideCursor();
    m_busy = false;
}

} // namespace platform
