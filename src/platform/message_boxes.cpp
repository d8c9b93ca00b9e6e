#include "platform/message_boxes.h"

#include "modal_cursor.h"

#include <QMessageBox>

namespace platform {

void QtMessageBoxes::message(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, dialogParent());
    box.setTextFormat(Qt::PlainText);
    ArrowCursorWhileModal arrow;
    box.exec();
}

Answer QtMessageBoxes::question(const QString& text, const QString& title, Answer defaultButton) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    ArrowCursorWhileModal arrow;
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

} // namespace platform
