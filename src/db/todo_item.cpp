#include "db/todo_item.h"

#include "db/date_text.h"

namespace db {

Priority Priority::of(int number) {
    if (number < 1 || number > 5)
        return fromText(QString::number(number));
    Priority priority;
    priority.m_number = static_cast<std::uint8_t>(number);
    return priority;
}

Priority Priority::fromText(const QString& text) {
    Priority priority;
    if (text.size() == 1 && text[0] >= u'1' && text[0] <= u'5')
        priority.m_number = static_cast<std::uint8_t>(text[0].unicode() - u'0');
    else
        priority.m_other = text;
    return priority;
}

QString Priority::text() const {
    return m_number != 0 ? QString(QChar(u'0' + m_number)) : m_other;
}

std::optional<ItemDate> ItemDate::chosen(const QDate& date) {
    const std::optional<double> days = valueFromDate(date);
    if (!days)
        return std::nullopt;
    return ItemDate{*days, Form::Dialog};
}

QDate ItemDate::date() const {
    return dateFromValue(days);
}

QString ItemDate::text() const {
    if (form == Form::Dialog) {
        const QDate day = date();
        return day.isValid() ? dialogDateText(day) : QString();
    }
    return textFromDate(days);
}

PartyKind ToDoItem::kindOfParty(QStringView name) {
    for (qsizetype i = 1; i < name.size(); ++i) {
        if (name[i] == u' ' && name[i - 1] == u',')
            return PartyKind::Client;
    }
    return PartyKind::Project;
}

QString itemText(const ToDoItem& item, Column column) {
    switch (column) {
    case Column::Priority:
        return item.priority.text();
    case Column::Party:
        return item.party;
    case Column::Text:
        return item.text;
    case Column::StartDate:
        return item.startDate ? item.startDate->text() : QString();
    case Column::Deadline:
        return item.deadline ? item.deadline->text() : QString();
    }
    return {};
}

} // namespace db
