// The to-do list print-out: the main window's rows as a table of five columns in the print
// font, a heading line at the top of every page and the page label at the foot of every full
// page.
//
// Layout, in inches on the printable area: headings at y = 1.0 on every page, the first row of
// a page at y = 1.4, each further row one line of the print font lower. A party (client or
// project) text wider than 1.5 inches, or a thing-to-do text wider than 3.04 inches, is printed
// one point smaller at a time until it fits, centred vertically on the row; it stops shrinking
// at kSmallestFontSize points and is then printed as it is. After each row, a row that reaches
// past the bottom-margin line ends the page.
//
// Dates are printed from the values the list keeps beside its date texts, in the user's short
// date form with a four-digit year and without the time of day, as the list shows a loaded
// date ("12/6/2026" under C and en_US, "06/12/2026" under en_GB): never by reading the texts
// back under the locale's rules, which would make a "12/6/2026" written by an item dialog 12
// June under a day-first locale.
//
// Every failure is shown as its description followed by " in Print function."; the print-out
// then goes on, the failed step having no effect. A priority text that cannot be read, or a
// date text without a value, is reported and printed as 0 or as the zero date (30 December
// 1899). An empty date cell is no date: it is printed empty and not reported, as the list
// stores it as no value.
#pragma once

#include <QString>
#include <optional>

namespace db {
class ToDoList;
}

namespace print {

/// The smallest size, in points, a column's text is shrunk to: the smallest a text is still
/// read at on paper.
inline constexpr double kSmallestFontSize = 4;

/// One list row as the print-out takes it.
struct PrintRow {
    qint16 Priority = 0;
    /// Column 2 when it holds ", " (a client), otherwise empty.
    QString Client;
    /// Column 2 when it does not hold ", " (a project), otherwise empty.
    QString Project;
    QString ThingToDo;
    /// Days since 30 December 1899 (time of day as the fraction); none for an empty text.
    std::optional<double> StartDate;
    std::optional<double> Deadline;
};

/// Prints the rows of `list` in their order as the document "Tarnwick To Do list". An empty
/// list prints nothing.
void PrintToDoList(const db::ToDoList& list);

} // namespace print
