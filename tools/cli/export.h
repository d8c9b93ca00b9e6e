// Table export as CSV or JSON.
#pragma once

#include <ostream>
#include <string>

#include "jet/database.h"

namespace cli {

enum class Format { Csv, Json };

/// Writes every row of `table` in stored order. JSON: an array of objects keyed by column
/// name; text as strings, Date/Time as ISO 8601 local date-times, numbers as numbers,
/// Yes/No as true/false, binary as base64, null as null. CSV: a header line of column names,
/// then one line per row, fields quoted when they hold a comma, quote or line break; null is
/// an empty field.
void exportTable(jet::Database& db, const std::string& table, Format format, std::ostream& out);

/// JSON string literal for UTF-8 text.
std::string jsonString(const std::string& utf8);
std::string base64(const std::string& bytes);

} // namespace cli
