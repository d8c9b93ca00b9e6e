#include "ui/items/date_picker.h"

#include <QKeyEvent>

namespace ui {
namespace {

// The first day a Date/Time field holds stands for "no date"; the picker starts there.
const QDate kNoDate(100, 1, 1);
const QDate kLastDate(9999, 12, 31);

} // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
    setDisplayFormat(QStringLiteral("M/d/yyyy"));
    setCalendarPopup(true);
    setDateRange(kNoDate, kLastDate);
    setSpecialValueText(QStringLiteral("(no date)"));
    setDate(QDate::currentDate());
}

std::optional<QDate> DatePicker::chosenDate() const {
    if (date() == kNoDate)
        return std::nullopt;
    return date();
}

void DatePicker::showDate(std::optional<QDate> shown) {
    setDate(shown && shown->isValid() && *shown > kNoDate && *shown <= kLastDate ? *shown
                                                                                 : kNoDate);
}

void DatePicker::startFromToday() {
    if (date() == kNoDate)
        setDate(QDate::currentDate());
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
    // Keys that leave the box or belong to the window do not invent a date.
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        break;
    default:
        if (!(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier)))
            startFromToday();
    }
    QDateEdit::keyPressEvent(event);
}

void DatePicker::mousePressEvent(QMouseEvent* event) {
    startFromToday();
    QDateEdit::mousePressEvent(event);
}

void DatePicker::wheelEvent(QWheelEvent* event) {
    startFromToday();
    QDateEdit::wheelEvent(event);
}

bool DatePicker::focusNextPrevChild(bool next) {
    // A date box would take Tab to its next section.
    return QWidget::focusNextPrevChild(next);
}

} // namespace ui
