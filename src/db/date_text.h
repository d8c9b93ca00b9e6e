// Date/Time values as the to-do list shows them, and the texts the list holds turned back into
// values. One place for both directions, so that a loaded date survives a rewrite unchanged.
//
// Forms, taken from the default QLocale (the user's locale unless a test sets another):
// - the date is the locale's short date form with the year widened to four digits
//   ("12/5/2026" in en_US, "05.12.2026" in de_DE); under the C/POSIX locale it is "M/d/yyyy",
//   the form the item dialogs write;
// - a value at midnight has no time part;
// - a value with a time of day gets the locale's time with seconds after one blank
//   ("12/5/2026 2:30:05 PM" under C and en_US, "05.12.2026 14:30:05" in de_DE), so that it too
//   round-trips to the second. Milliseconds are dropped. The dialogs never write times; they
//   come only from files written by other programs.
#pragma once

#include <QDate>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace db {

struct DateForm;

/// The list text of a stored Date/Time value (days since 1899-12-30, see jet/datetime.h).
/// Empty for a value outside the years 100 to 9999, which no date form can show.
QString textFromDate(double days);

/// The stored value of a list text, or nothing when the text is empty or not a date.
///
/// Accepted, blanks around the text ignored: the locale's short date form (day and month with
/// one or two digits, four-digit year) and "M/d/yyyy", each alone or followed by a blank and a
/// time in the locale's form or in "h:mm:ss AP" / "H:mm:ss". The locale's form is tried first:
/// under a day-first locale an ambiguous "3/4/2026" is the 3rd of April, as it is everywhere
/// else in the program's texts under that locale. The values of the texts read last are kept,
/// so reading a long list's repeating dates costs little.
std::optional<double> dateFromText(const QString& text);

/// `date` as the item dialogs write it: "M/d/yyyy" with ASCII digits, whatever the locale.
QString dialogDateText(const QDate& date);

/// The stored value of `date` at midnight; nothing for an invalid date or one outside the
/// years 100 to 9999, which a Date/Time field cannot hold.
std::optional<double> valueFromDate(const QDate& date);

/// The calendar date of a stored value, its time of day dropped; invalid for a value outside
/// the years 100 to 9999.
QDate dateFromValue(double days);

} // namespace db
