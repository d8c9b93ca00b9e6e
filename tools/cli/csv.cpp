#include "csv.h"

#include <stdexcept>

namespace cli {

void readCsv(std::string_view text, const std::function<void(CsvRecord&)>& onRecord) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    CsvRecord record;
    std::size_t line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    // Moves past the line end at i (CRLF, LF or CR), counting the line.
    auto skipLineEnd = [&] {
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        if (text[i] == '\n' || text[i] == '\r') {
            skipLineEnd();
            continue;
        }
        record.line = line;
        record.fields.clear();
        for (;;) {
            std::string& field = record.fields.emplace_back();
            if (i < n && text[i] == '"') {
                const std::size_t opened = line;
                for (++i;; ++i) {
                    if (i == n)
                        throw std::runtime_error("line " + std::to_string(opened) +
                                                 ": a quoted field is not closed");
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == n || text[i + 1] != '\n')))
                        ++line;
                    field += text[i];
                }
                if (i < n && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
                    throw std::runtime_error("line " + std::to_string(line) +
                                             ": text after the closing quote of a field");
            } else {
                const std::size_t end = text.find_first_of(",\r\n", i);
                const std::size_t stop = end == std::string_view::npos ? n : end;
                field.assign(text.substr(i, stop - i));
                i = stop;
            }
            if (i < n && text[i] == ',') {
                ++i;
                continue;
            }
            if (i < n)
                skipLineEnd();
            break;
        }
        onRecord(record);
    }
}

} // namespace cli
