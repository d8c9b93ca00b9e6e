// Reading CSV text (RFC 4180), for the import.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct CsvRecord {
    std::size_t line = 0; ///< the line it starts on, from 1
    std::vector<std::string> fields;
};

/// Hands the records of CSV text to `record`, in order, each once it is read (the record may
/// be moved from). Fields are separated by commas and records by CRLF, LF
/// or CR; the last record may lack its line end, and a UTF-8 byte order mark at the start is
/// skipped. A field that starts with a double quote runs to the next lone double quote, taking
/// commas and line breaks as they are and "" as one quote; elsewhere a quote is an ordinary
/// character. Empty lines hold no record and are skipped. The bytes are not decoded.
///
/// Throws std::runtime_error "line N: ..." (N the line where it went wrong) for a quoted field that
/// is never closed or is followed by anything but a comma or a line end.
void readCsv(std::string_view text, const std::function<void(CsvRecord&)>& record);

} // namespace cli
