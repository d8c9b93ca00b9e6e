// The item dialogs' date picker: a date box written "M/d/yyyy" with a calendar that drops down.
//
// It can also show no date, for an item stored without a deadline: the box then reads
// "(no date)", and the first key or click that would change it starts from today's date. The
// dates it offers are those a Date/Time field holds, 1/2/100 to 12/31/9999 (1/1/100 stands for
// "no date"). Tab leaves the box, as in every other control; the arrow keys Left and Right move
// between month, day and year.
#pragma once

#include <QDateEdit>

#include <optional>

namespace ui {

class DatePicker final : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

    /// The date shown, or nullopt when the box shows no date.
    std::optional<QDate> chosenDate() const;
    /// Shows `date`; nullopt, or a date the box cannot offer, shows no date.
    void showDate(std::optional<QDate> date);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    /// When the box shows no date, shows today's, so that a change starts from there.
    void startFromToday();
};

} // namespace ui
