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
// Dates are printed in the user's short date form with a four-digit year and without the time
// of day, as the list shows a loaded date ("12/6/2026" under C and en_US, "06/12/2026" under
// en_GB), from the items' stored values: never from a text read back under the locale's rules.
//
// Every failure is shown as its description followed by " in Print function."; the print-out
// then goes on, the failed step having no effect. A priority that is not a number is reported
// and printed as 0. A date without a value is printed empty and not reported.
#pragma once

#include <QString>
#include <vector>

#include "app/font_commands.h"
#include "db/todo_item.h"

namespace print {

/// The smallest size, in points, a column's text is shrunk to: the smallest a text is still
/// read at on paper.
inline constexpr double kSmallestFontSize = 4;

/// Prints `items` in their order, in the print font `font`, as the document "Tarnwick To Do
/// list". An empty list prints nothing.
void PrintToDoList(const std::vector<db::ToDoItem>& items, const app::FontSetting& font);

} // namespace print
