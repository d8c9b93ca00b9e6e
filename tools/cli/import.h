// To-do items read from a CSV file, for `tarnwick-cli import`.
#pragma once

#include <string_view>
#include <vector>

#include "db/routines.h"

namespace cli {

/// The items of CSV text (see csv.h) whose records hold the main list's five columns in order:
/// priority, client or project, text, start date, deadline. No header line.
///
/// Every record is checked before any item is returned; the first bad one throws
/// std::runtime_error "line N: what is wrong" (N the line the record starts on): a field count
/// other than five, bytes that are not UTF-8, a priority other than "1" to "5" (blanks around
/// it are dropped), a date that is not a date, a client or project or text longer than the 150
/// characters its field holds. A date is what the list shows (db::dateFromText: the locale's
/// short form or "M/d/yyyy", with or without a time) or ISO "yyyy-MM-dd"; an empty date is no
/// value, as when the list's cell is empty. Texts are taken as they are, blanks included.
std::vector<db::ToDoItem> toDoItemsFromCsv(std::string_view text);

} // namespace cli
