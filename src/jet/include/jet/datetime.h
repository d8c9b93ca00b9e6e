// Conversions between the stored Date/Time double and calendar fields.
//
// A Date/Time value is a count of days since 1899-12-30 00:00 (day 0). The integer part is the
// signed day; the fractional part is always the time of day, also for negative values, where it
// is read as a magnitude: -1.25 is 1899-12-29 06:00, not 1899-12-28 18:00. No time zone is
// stored; values are local wall-clock times.
#pragma once

#include <cstddef>
#include <string>

namespace jet {

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    int millisecond = 0;
};

/// Calendar fields of a stored value, the time rounded to the nearest millisecond.
/// Throws jet::Error(InvalidArgument) for values outside years 100..9999 or NaN.
DateTimeParts toDateTimeParts(double days);

/// The stored value for calendar fields (proleptic Gregorian calendar).
/// Throws jet::Error(InvalidArgument) for fields out of range.
double fromDateTimeParts(const DateTimeParts& parts);
/// Whether fromDateTimeParts takes these fields: years 100 to 9999, real calendar days.
bool isValidDateTime(const DateTimeParts& parts) noexcept;

/// The current local wall-clock time, to the second.
double localNow();

/// "YYYY-MM-DDTHH:MM:SS", with ".mmm" appended when the milliseconds are not zero.
/// Throws like toDateTimeParts.
std::string formatIsoDateTime(double days);

/// The same text written to `out`, which has room for kIsoDateTimeMax characters; returns its
/// length, or 0 (writing nothing) for a value outside the years 100 to 9999 or NaN.
inline constexpr std::size_t kIsoDateTimeMax = 23;
std::size_t formatIsoDateTime(double days, char* out) noexcept;

} // namespace jet
