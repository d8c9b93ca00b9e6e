#include <gtest/gtest.h>

#include <cmath>

#include "jet/datetime.h"
#include "jet/error.h"

namespace {

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
