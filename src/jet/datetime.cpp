#include "jet/datetime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "jet/error.h"

namespace jet {
namespace {

// Day 0 of the stored count (1899-12-30) is 25569 days before 1970-01-01.
constexpr long kEpochOffset = 25569;
constexpr long kMsPerDay = 86400000L;
// Years 100 to 9999, the range Access accepts.
constexpr double kMinDays = -657434.0;
constexpr double kMaxDaysExclusive = 2958466.0;

// Days since 1970-01-01 of a proleptic Gregorian date. Counts whole 400-year eras (146097
// days each) from 0000-03-01 so that the leap day falls at the end of each counted year.
long daysFromCivil(int year, int month, int day) {
    const long y = month <= 2 ? year - 1 : year;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yearOfEra = y - era * 400;
    const long monthFromMarch = month > 2 ? month - 3 : month + 9;
    const long dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(long days, int& year, int& month, int& day) {
    const long z = days + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long dayOfEra = z - era * 146097;
    const long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long monthFromMarch = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

bool inRange(double days) {
    return days >= kMinDays && days < kMaxDaysExclusive;
}

// The calendar fields of a value known to be in range.
DateTimeParts partsOf(double days) noexcept {
    // Integer conversions instead of trunc and lround, which are calls into the maths library;
    // for values in range they give the same results exactly: the day is the value truncated
    // toward zero, and the milliseconds (below 2^27, so the subtraction is exact) are rounded
    // half away from zero.
    long dayNumber = static_cast<long>(days);
    const double scaled = std::fabs(days - static_cast<double>(dayNumber)) * kMsPerDay;
    long ms = static_cast<long>(scaled);
    if (scaled - static_cast<double>(ms) >= 0.5)
        ++ms;
    if (ms >= kMsPerDay) { // rounding reached midnight of the following calendar day
        ms -= kMsPerDay;
        dayNumber += 1;
    }
    DateTimeParts p;
    civilFromDays(dayNumber - kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    return p;
}

} // namespace

DateTimeParts toDateTimeParts(double days) {
    if (!inRange(days))
        throw Error(ErrorKind::InvalidArgument, "The date/time value " + std::to_string(days) +
                                                    " lies outside the years 100 to 9999.");
    return partsOf(days);
}

bool isValidDateTime(const DateTimeParts& p) noexcept {
    return p.year >= 100 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
           p.day <= daysInMonth(p.year, p.month) && p.hour >= 0 && p.hour <= 23 && p.minute >= 0 &&
           p.minute <= 59 && p.second >= 0 && p.second <= 59 && p.millisecond >= 0 &&
           p.millisecond <= 999;
}

double fromDateTimeParts(const DateTimeParts& p) {
    if (!isValidDateTime(p))
        throw Error(ErrorKind::InvalidArgument, "The date or time is not a valid calendar value.");
    const double day = static_cast<double>(daysFromCivil(p.year, p.month, p.day) + kEpochOffset);
    const double time =
        (((p.hour * 60.0 + p.minute) * 60.0 + p.second) * 1000.0 + p.millisecond) / kMsPerDay;
    return day < 0 ? day - time : day + time;
}

double localNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    DateTimeParts p;
    p.year = tm.tm_year + 1900;
    p.month = tm.tm_mon + 1;
    p.day = tm.tm_mday;
    p.hour = tm.tm_hour;
    p.minute = tm.tm_min;
    p.second = std::min(tm.tm_sec, 59); // a leap second is not a valid stored time
    return fromDateTimeParts(p);
}

std::size_t formatIsoDateTime(double days, char* buf) noexcept {
    if (!inRange(days))
        return 0;
    const DateTimeParts p = partsOf(days);
    // Two digits at a time from a table: this runs for every date of an export.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930"
        "31323334353637383940414243444546474849505152535455565758596061"
        "6263646566676869707172737475767778798081828384858687888990919293"
        "949596979899";
    auto pair = [&](std::size_t at, int value) { std::memcpy(buf + at, kPairs + 2 * value, 2); };
    pair(0, p.year / 100);
    pair(2, p.year % 100);
    buf[4] = '-';
    pair(5, p.month);
    buf[7] = '-';
    pair(8, p.day);
    buf[10] = 'T';
    pair(11, p.hour);
    buf[13] = ':';
    pair(14, p.minute);
    buf[16] = ':';
    pair(17, p.second);
    if (p.millisecond == 0)
        return 19;
    buf[19] = '.';
    buf[20] = static_cast<char>('0' + p.millisecond / 100);
    pair(21, p.millisecond % 100);
    return 23;
}

std::string formatIsoDateTime(double days) {
    char buf[kIsoDateTimeMax];
    const std::size_t n = formatIsoDateTime(days, buf);
    if (n == 0)
        toDateTimeParts(days); // throws the error that names the value
    return std::string(buf, n);
}

} // namespace jet
