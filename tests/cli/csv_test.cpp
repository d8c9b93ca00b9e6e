#include <gtest/gtest.h>

#include <stdexcept>

#include "csv.h"

namespace {

// The records as "line:field|field" joined by "; ", or the error's message.
std::string read(std::string_view text) {
    try {
        std::string out;
        cli::readCsv(text, [&](const cli::CsvRecord& r) {
            out += (out.empty() ? "" : "; ") + std::to_string(r.line) + ":";
            for (std::size_t i = 0; i < r.fields.size(); ++i)
                out += (i ? "|" : "") + r.fields[i];
        });
        return out;
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

TEST(CsvReading, FieldsRecordsQuotesLineEndsAndErrorsWithTheirLines) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {"a,b\r\nc,d\ne,f\rg", "1:a|b; 2:c|d; 3:e|f; 4:g"},
        {"\xEF\xBB\xBF"
         "a,,\n",
         "1:a||"},
        {"\n\r\n,\n\nx", "3:|; 5:x"},
        {"\"a,b\",\"say \"\"hi\"\"\",\"\"\n", "1:a,b|say \"hi\"|"},
        {"\"two\nlines\r\nthree\",x\nnext", "1:two\nlines\r\nthree|x; 4:next"},
        {"a\"b,\"\"\"\"", "1:a\"b|\""},
        {"ok\n\"open,\nstill open", "line 2: a quoted field is not closed"},
        {"ok\n\"a\nb\"c,d", "line 3: text after the closing quote of a field"},
        {"\"\xC3\xA9\",\xE2\x82\xAC", "1:\xC3\xA9|\xE2\x82\xAC"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(read(text), expected) << text;
}

} // namespace
