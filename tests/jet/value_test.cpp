// Decoding and encoding of single values, including the types the sample files do not use, and
// the stored day count of dates. Long, Double and Boolean fields are written and read back by the
// export test (tests/cli).
#include <gtest/gtest.h>

#include <cmath>

#include "jet/datetime.h"
#include "jet/error.h"
#include "jet/value.h"
#include "row.h"
#include "text.h"

using jet::ColumnType;

namespace {

TEST(Values, FixedTypesDecode) {
    const struct {
        ColumnType type;
        std::vector<std::uint8_t> bytes;
        std::uint8_t scale;
        const char* text;
    } cases[] = {
        {ColumnType::Byte, {0xFF}, 0, "255"},
        {ColumnType::Integer, {0xFE, 0xFF}, 0, "-2"},
        {ColumnType::Long, {0x00, 0x00, 0x00, 0x80}, 0, "-2147483648"},
        {ColumnType::Single, {0x00, 0x00, 0xC0, 0x3F}, 0, "1.5"},
        {ColumnType::Double, {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}, 0, "1.5"},
        {ColumnType::Currency, {0x39, 0x30, 0, 0, 0, 0, 0, 0}, 0, "1.2345"}, // 12345/10000
        {ColumnType::Currency, {0xF0, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0, "-1"},
        {ColumnType::DateTime, {0, 0, 0, 0, 0, 0xF9, 0xE5, 0x40}, 0, "2023-03-15T00:00:00"},
        {ColumnType::Guid,
         {0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56, 1, 2, 3, 4, 5, 6, 7, 8},
         0,
         "{12345678-1234-5678-0102-030405060708}"},
        // Decimal: sign byte, then four 32-bit words, most significant first.
        {ColumnType::Numeric,
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x39, 0x30, 0, 0},
         2,
         "123.45"},
        {ColumnType::Numeric, {0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0}, 3, "-0.005"},
        {ColumnType::Numeric, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, 0, "4294967296"},
    };
    for (const auto& c : cases) {
        const auto size = static_cast<std::uint16_t>(c.bytes.size());
        const jet::ColumnDef column{.name = "f",
                                    .type = c.type,
                                    .length = size,
                                    .flags = jet::column_flags::FixedLength,
                                    .scale = c.scale};
        const jet::row::FieldBytes field{.isNull = false, .data = c.bytes.data(), .size = size};
        EXPECT_EQ(jet::row::decodeFixed(column, field).toString(), c.text)
            << jet::columnTypeName(c.type);
    }
}

TEST(Values, TextEncodingsRoundTrip) {
    std::vector<std::string> texts = {"", "a", "ab", "Ünal, Zoë", "Мир", "漢字", "x😀y"};
    texts.push_back(std::string("nul\0inside", 10));
    texts.push_back(std::string(255, 'q'));
    // One character beyond ASCII at every place of texts up to 19 characters long.
    for (std::size_t n = 1; n < 20; ++n)
        for (std::size_t at = 0; at < n; ++at)
            for (const char* odd : {"\xC3\xA9", "\xD0\x9F", "\x01"})
                texts.push_back(std::string(at, 'a') + odd + std::string(n - at - 1, 'b'));
    for (const std::string& s : texts) {
        for (bool compress : {false, true}) {
            std::string stored;
            const std::size_t units = jet::text::encodeStoredUtf8(s, compress, stored);
            EXPECT_EQ(units, jet::text::utf8ToUtf16(s).size());
            EXPECT_EQ(jet::text::decodeStored(reinterpret_cast<const std::uint8_t*>(stored.data()),
                                              stored.size()),
                      s)
                << s << (compress ? " compressed" : "");
            EXPECT_EQ(stored, jet::text::encodeStored(jet::text::utf8ToUtf16(s), compress));
        }
    }
    // A compressed value that switches to two-byte characters and back.
    const std::uint8_t mixed[] = {0xFF, 0xFE, 'a', 0x00, 0x1F, 0x04, 0x00, 'b'};
    EXPECT_EQ(jet::text::decodeStored(mixed, sizeof mixed), "aПb");
    EXPECT_THROW(jet::text::utf8ToUtf16("\xE2\x82"), jet::Error);
    EXPECT_THROW(jet::text::utf8ToUtf16("\xED\xA0\x80"), jet::Error); // an encoded surrogate
}

struct DateCase {
    double days;
    const char* iso;
};

// Known anchors of the stored day count, including negative values whose fraction is the
// time of day counted forward from the start of the (negative) day.
const DateCase kDates[] = {
    {0.0, "1899-12-30T00:00:00"},
    {1.0, "1899-12-31T00:00:00"},
    {36526.0, "2000-01-01T00:00:00"},
    {45000.0, "2023-03-15T00:00:00"},
    {45007.75, "2023-03-22T18:00:00"},
    {2958101.0, "9999-01-01T00:00:00"},
    {-728.0, "1898-01-01T00:00:00"},
    {-1.25, "1899-12-29T06:00:00"},
    {-1.75, "1899-12-29T18:00:00"},
    {60.0, "1900-02-28T00:00:00"},
    {61.0, "1900-03-01T00:00:00"},
    {-657434.0, "0100-01-01T00:00:00"},
    {2958465.999988426, "9999-12-31T23:59:59"},
};

TEST(DateTime, KnownValuesFormatAndRoundTrip) {
    for (const auto& c : kDates) {
        SCOPED_TRACE(c.iso);
        EXPECT_EQ(jet::formatIsoDateTime(c.days), c.iso);
        const jet::DateTimeParts p = jet::toDateTimeParts(c.days);
        EXPECT_NEAR(jet::fromDateTimeParts(p), c.days, 1e-8);
    }
}

TEST(DateTime, RoundingToMidnightCarriesToNextDay) {
    EXPECT_EQ(jet::formatIsoDateTime(1.9999999999), "1900-01-01T00:00:00");
    EXPECT_EQ(jet::formatIsoDateTime(-1.9999999999), "1899-12-30T00:00:00");
}

TEST(DateTime, TimeOfDayRoundsToTheNearestMillisecondHalfAwayFromZero) {
    // Values at and beside half a millisecond, on either side of day 0 and far from it.
    const double halfMs = 0.5 / 86400000.0;
    for (double day : {0.0, -1.0, 45000.0, -657000.0, 2958000.0})
        for (double ms : {0.0, 1.0, 499.0, 86399998.0, 86399999.0})
            for (double nudge : {-1e-12, 0.0, 1e-12}) {
                const double frac = ms / 86400000.0 + halfMs + nudge;
                const double days = day < 0 ? day - frac : day + frac;
                const long expected = std::lround(std::fabs(days - std::trunc(days)) * 86400000.0);
                const jet::DateTimeParts p = jet::toDateTimeParts(days);
                const long got = ((p.hour * 60L + p.minute) * 60 + p.second) * 1000 + p.millisecond;
                EXPECT_EQ(got, expected % 86400000) << days;
            }
}

TEST(DateTime, RejectsOutOfRange) {
    char buf[jet::kIsoDateTimeMax];
    for (double d : {-657435.0, 2958466.0, 1e300, std::nan("")}) {
        EXPECT_THROW(jet::toDateTimeParts(d), jet::Error) << d;
        EXPECT_EQ(jet::formatIsoDateTime(d, buf), 0u) << d;
    }
    EXPECT_THROW(jet::fromDateTimeParts({2023, 2, 29}), jet::Error);
    EXPECT_THROW(jet::fromDateTimeParts({99, 1, 1}), jet::Error);
}

} // namespace
