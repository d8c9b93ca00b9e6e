#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "export.h"
#include "test_util.h"

using namespace jettest;

namespace {

// Each of the export's value forms is the engine's own text of the value.
TEST(Export, NumbersDatesAndGuidsReadAsTheEngineRendersThem) {
    const auto same = [](const jet::Value& value, auto append, auto stored) {
        std::string out;
        append(out, stored);
        EXPECT_EQ(out, value.toString());
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::int64_t min = std::numeric_limits<std::int64_t>::min();
    using V = jet::Value;
    const jet::Value guid = V::guid(
        {0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE, 0, 1, 2, 3, 0xA4, 0xB5, 0xC6, 0xFF});
    same(guid, cli::appendGuid, guid.asText());
    using Integers = std::initializer_list<std::int64_t>;
    for (std::int64_t i : Integers{0, -1, min})
        same(V::integer(i), cli::appendInteger, i);
    for (double d : {0.1, -0.0, 1e300, 5e-324, nan, inf, -inf})
        same(V::floating(d), cli::appendDouble, d);
    for (std::int64_t c : Integers{0, 12345, -5, -10000, 1234567890120, min})
        same(V::currency(c), cli::appendCurrency, c); // in ten-thousandths
    for (double d : {45000.0, 45007.75, -1.25, 1.9999999999, 36526.000011574074, 2958465.9999999,
                     -700000.5, 3e6, nan})
        same(V::dateTime(d), cli::appendDateTime, d);
    std::string b64;
    for (const char* s : {"", "a", "ab", "abc", "abcd\xff"})
        cli::appendBase64(b64, s), b64 += ' ';
    EXPECT_EQ(b64, " YQ== YWI= YWJj YWJjZP8= ");
}

TEST(Export, CsvQuotesAndJsonEscapesTextsAndKeepsNullsApart) {
    auto fs = std::make_shared<MemoryFileSystem>();
    auto db = createIn(fs, "/db/export.mdb");
    db.createTable({"T",
                    {{"Text, with comma", jet::ColumnType::Text, 50, true, false},
                     {"N", jet::ColumnType::Long},
                     {"D", jet::ColumnType::Double},
                     {"B", jet::ColumnType::Boolean},
                     {"When", jet::ColumnType::DateTime}}});
    using V = jet::Value;
    addRows(db, "T",
            {{V::text("plain"), V::integer(-7), V::floating(0.5), V::boolean(true),
              V::dateTime(45000.25)},
             {V::text("Smith, \"Jo\"\nline\r2"), V::null(), V::floating(std::nan("")),
              V::boolean(false), V::null()},
             {V::text(""), V::integer(1), V::null(), V::boolean(false), V::dateTime(-800000)},
             {V::text("tab\t back\\slash \x01 M\xc3\xbcller"), V::null(), V::null(),
              V::boolean(true), V::null()},
             {V::null(), V::null(), V::null(), V::boolean(false), V::null()}});
    std::string csv, json;
    cli::exportTable(db, "T", cli::Format::Csv, [&](std::string_view s) { csv += s; });
    cli::exportTable(db, "T", cli::Format::Json, [&](std::string_view s) { json += s; });
    EXPECT_EQ(csv, "\"Text, with comma\",N,D,B,When\n"
                   "plain,-7,0.5,true,2023-03-15T06:00:00\n"
                   "\"Smith, \"\"Jo\"\"\nline\r2\",,NaN,false,\n"
                   ",1,,false,-8e+05\n"
                   "tab\t back\\slash \x01 M\xc3\xbcller,,,true,\n"
                   ",,,false,\n");
    EXPECT_EQ(json,
              "[\n"
              "  {\"Text, with comma\": \"plain\", \"N\": -7, \"D\": 0.5, \"B\": true, "
              "\"When\": \"2023-03-15T06:00:00\"},\n"
              "  {\"Text, with comma\": \"Smith, \\\"Jo\\\"\\nline\\r2\", \"N\": null, \"D\": "
              "null, \"B\": false, \"When\": null},\n"
              "  {\"Text, with comma\": \"\", \"N\": 1, \"D\": null, \"B\": false, \"When\": "
              "\"-8e+05\"},\n"
              "  {\"Text, with comma\": \"tab\\t back\\\\slash \\u0001 M\xc3\xbcller\", \"N\": "
              "null, \"D\": null, \"B\": true, \"When\": null},\n"
              "  {\"Text, with comma\": null, \"N\": null, \"D\": null, \"B\": false, \"When\": "
              "null}\n"
              "]\n");
    db.createTable({"Empty", {{"X", jet::ColumnType::Text, 10}}});
    json.clear();
    cli::exportTable(db, "Empty", cli::Format::Json, [&](std::string_view s) { json += s; });
    EXPECT_EQ(json, "[]\n");
}

} // namespace
