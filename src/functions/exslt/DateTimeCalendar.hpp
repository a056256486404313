// The proleptic Gregorian calendar of the EXSLT date functions, years counted as in
// DateTimeValue: day numbers, weeks, and adding a duration to a date.
#pragma once

#include "functions/exslt/DateTimeValue.hpp"

namespace prsm::detail
{

// Fifteen digits of year keep every day count and every sum of two in an int64.
inline constexpr std::int64_t kYearLimit = 1'000'000'000'000'000;

// Division and remainder rounding towards negative infinity.
std::int64_t floorDiv(std::int64_t a, std::int64_t b);
std::int64_t floorMod(std::int64_t a, std::int64_t b);

// Whether `year` has at most fifteen digits, the years parseDateTime accepts.
bool isYearInRange(std::int64_t year);

int daysInMonth(std::int64_t year, int month);

// Days from 1970-01-01 to the date, negative before it (H. Hinnant's days_from_civil).
std::int64_t dayNumber(std::int64_t year, int month, int day);
std::int64_t dayNumber(const DateTimeValue& value);

struct CivilDate
{
    std::int64_t year;
    int month;
    int day;
};

// The inverse of dayNumber (H. Hinnant's civil_from_days).
CivilDate civilDate(std::int64_t days);

// Picoseconds since midnight.
std::int64_t timeOfDay(const DateTimeValue& value);

// Whether `kind` is dateTime or one of the forms that leave its end off (date, gYearMonth, gYear).
bool isRightTruncated(DateTimeKind kind);

// Clears what `kind` does not show, keeping the zone.
void truncate(DateTimeValue& value, DateTimeKind kind);

// The size of `value` without its sign, for the most negative value too.
std::uint64_t magnitude(std::int64_t value);

// date:add: adds `duration` to a dateTime, date, gYearMonth or gYear. The start is first made as
// specific as the duration needs (a gYear takes a month when the duration has months or less,
// and so on down to a time of day), then the duration is added as XML Schema defines it: months
// first, with the day clamped to the end of the resulting month, then the day-time part. Empty
// for another kind or a year outside the range that parseDateTime accepts.
std::optional<DateTimeValue> addDuration(const DateTimeValue& start, const Duration& duration);

// date:seconds of a dateTime, date, gYearMonth or gYear: seconds since 1970-01-01T00:00:00Z (a
// missing zone counts as UTC). Empty for another kind.
std::optional<double> secondsSinceEpoch(const DateTimeValue& value);

// The calendar, proleptic Gregorian with years counted as in DateTimeValue. These read only the
// year, month and day of `value`, which must hold a real date.
bool isLeapYear(std::int64_t year);
int dayInYear(const DateTimeValue& value);
// 1 for Sunday to 7 for Saturday.
int dayInWeek(const DateTimeValue& value);
// The ISO 8601 week: weeks begin on Monday, and week 1 holds the year's first Thursday.
int weekInYear(const DateTimeValue& value);
// Weeks begin on Monday, and the month's first day is in week 1.
int weekInMonth(const DateTimeValue& value);

// The year as written: 0 is -1.
std::int64_t writtenYear(std::int64_t year);

} // namespace prsm::detail
