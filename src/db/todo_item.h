// One to-do item as the program keeps it: a typed value for each field of a record of
// "Things To Do", and the five texts the main list shows for it.
//
// The list's texts are made from these values when they are shown (itemText); nothing turns a
// text back into a value, so what is stored again is exactly what was loaded or chosen, under
// any locale.
#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

namespace db {

/// The five columns of the main list, left to right.
enum class Column : std::uint8_t { Priority, Party, Text, StartDate, Deadline };
inline constexpr int kColumnCount = 5;

/// An item's priority: a whole number 1 to 5, stored as its decimal text ("1" to "5"). A record
/// written by another program may hold any other text of up to four characters, or none; such a
/// priority keeps its text as it was stored, so that storing the item again gives it back, and
/// has no number.
class Priority {
public:
    Priority() = default;
    /// The priority `number`, 1 to 5; another number keeps its decimal text and has no number.
    static Priority of(int number);
    /// The priority a stored text stands for: "1" to "5" exactly are numbers, any other text
    /// (" 3", "03", "High", the empty text) is kept as it is.
    static Priority fromText(const QString& text);

    /// 1 to 5, or 0 for a priority that is not one of them.
    int number() const { return m_number; }
    /// The text it is stored and shown as.
    QString text() const;

    friend bool operator==(const Priority&, const Priority&) = default;

private:
    std::uint8_t m_number = 0;
    QString m_other; // the stored text when m_number is 0
};

/// Whether an item belongs to a client or to a project.
enum class PartyKind : std::uint8_t { Client, Project };

/// A date of an item: the stored Date/Time value, and the form the list writes it in.
struct ItemDate {
    /// How the list writes the date: the user's short date form (db/date_text.h), as for a date
    /// loaded from the file, or "M/d/yyyy", the form of a date an item dialog chose.
    enum class Form : std::uint8_t { Locale, Dialog };

    /// Days since 30 December 1899, the fraction the time of day (jet/datetime.h).
    double days = 0;
    Form form = Form::Locale;

    /// A date an item dialog chose (at midnight); nothing for a date a Date/Time field cannot
    /// hold (outside the years 100 to 9999).
    static std::optional<ItemDate> chosen(const QDate& date);
    /// The calendar date, its time of day dropped; invalid outside the years 100 to 9999.
    QDate date() const;
    /// The text the list shows: empty for a value no date form can show.
    QString text() const;

    friend bool operator==(const ItemDate&, const ItemDate&) = default;
};

struct ToDoItem {
    Priority priority;
    /// The client ("last name, first name") or the project the item belongs to.
    QString party;
    /// The item's text ("Telephone conference with ...").
    QString text;
    std::optional<ItemDate> startDate;
    std::optional<ItemDate> deadline;

    /// Which the item's party is, by the list's one rule: a name containing ", " (comma, blank)
    /// is a client's, any other (the empty name included) a project's. Items are stored by it,
    /// so a project named with ", " in a file written elsewhere comes back as a client.
    PartyKind partyKind() const { return kindOfParty(party); }
    static PartyKind kindOfParty(QStringView name);

    friend bool operator==(const ToDoItem&, const ToDoItem&) = default;
};

/// The text the main list shows in `column` for `item`.
QString itemText(const ToDoItem& item, Column column);

} // namespace db
