// Table export as CSV or JSON.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "jet/database.h"

namespace cli {

enum class Format { Csv, Json };

/// Receives the output in pieces of about 256 KiB.
using Sink = std::function<void(std::string_view)>;

/// Writes every row of `table` in stored order. JSON: an array of objects keyed by column
/// name; text as strings, Date/Time as ISO 8601 local date-times, numbers as numbers,
/// Yes/No as true/false, binary as base64, null as null. CSV: a header line of column names,
/// then one line per row, fields quoted when they hold a comma, quote or line break; null is
/// an empty field. Values are formatted straight into the output buffer: nothing is allocated
/// per value.
void exportTable(jet::Database& db, const std::string& table, Format format, const Sink& sink);

// The value forms, appended to `out`. Each gives exactly what jet::Value::toString() gives
// for the same value.
void appendInteger(std::string& out, std::int64_t value);
void appendDouble(std::string& out, double value); ///< shortest round trip; NaN, Infinity
void appendCurrency(std::string& out, std::int64_t tenThousandths);
void appendDateTime(std::string& out, double days); ///< ISO 8601, or the number out of range
void appendGuid(std::string& out, std::string_view stored);
void appendBase64(std::string& out, std::string_view bytes);
/// A JSON string literal for UTF-8 text.
void appendJsonString(std::string& out, std::string_view utf8);

} // namespace cli
