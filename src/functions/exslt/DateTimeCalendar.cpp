// The proleptic Gregorian calendar of the EXSLT date functions: day numbers, weeks, and adding
// a duration to a date.
#include "functions/exslt/DateTimeCalendar.hpp"

#include <algorithm>

namespace prsm::detail
{

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t quotient = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

std::int64_t floorMod(std::int64_t a, std::int64_t b)
{
    return a - floorDiv(a, b) * b;
}

bool isYearInRange(std::int64_t year)
{
    return year < kYearLimit && year > 1 - kYearLimit;
}

int daysInMonth(std::int64_t year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

std::int64_t dayNumber(std::int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = floorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int64_t dayNumber(const DateTimeValue& value)
{
    return dayNumber(value.year, value.month, value.day);
}

CivilDate civilDate(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = floorDiv(days, 146097);
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

std::int64_t timeOfDay(const DateTimeValue& value)
{
    return value.hour * kPicosecondsPerHour + value.minute * kPicosecondsPerMinute +
           value.picoseconds;
}

bool isRightTruncated(DateTimeKind kind)
{
    return kind == DateTimeKind::DateTime || kind == DateTimeKind::Date ||
           kind == DateTimeKind::GYearMonth || kind == DateTimeKind::GYear;
}

void truncate(DateTimeValue& value, DateTimeKind kind)
{
    if (kind != DateTimeKind::DateTime)
    {
        value.hour = 0;
        value.minute = 0;
        value.picoseconds = 0;
    }
    if (kind == DateTimeKind::GYearMonth || kind == DateTimeKind::GYear)
        value.day = 1;
    if (kind == DateTimeKind::GYear)
        value.month = 1;
    value.kind = kind;
}

std::uint64_t magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

std::optional<DateTimeValue> addDuration(const DateTimeValue& start, const Duration& duration)
{
    if (!isRightTruncated(start.kind))
        return std::nullopt;
    DateTimeValue result = start;
    const bool hasTime = duration.picoseconds != 0;
    const bool hasDayTime = duration.days != 0 || hasTime;
    if (result.kind == DateTimeKind::GYear && (duration.months % 12 != 0 || hasDayTime))
        result.kind = DateTimeKind::GYearMonth;
    if (result.kind == DateTimeKind::GYearMonth && hasDayTime)
        result.kind = DateTimeKind::Date;
    if (result.kind == DateTimeKind::Date && hasTime)
        result.kind = DateTimeKind::DateTime;

    std::int64_t monthIndex = 0;
    if (__builtin_add_overflow(result.month - 1, duration.months, &monthIndex))
        return std::nullopt;
    const std::int64_t year = result.year + floorDiv(monthIndex, 12);
    const int month = static_cast<int>(floorMod(monthIndex, 12)) + 1;
    if (!isYearInRange(year))
        return std::nullopt;

    std::int64_t time = timeOfDay(result) + duration.picoseconds;
    const int carry = time >= kPicosecondsPerDay ? 1 : 0;
    time -= carry * kPicosecondsPerDay;
    std::int64_t days = 0;
    if (__builtin_add_overflow(
            dayNumber(year, month, std::min(result.day, daysInMonth(year, month))), duration.days,
            &days) ||
        __builtin_add_overflow(days, carry, &days) ||
        magnitude(days) >= static_cast<std::uint64_t>(kYearLimit) * 366)
        return std::nullopt;
    const CivilDate date = civilDate(days);
    if (!isYearInRange(date.year))
        return std::nullopt;
    result.year = date.year;
    result.month = date.month;
    result.day = date.day;
    result.hour = static_cast<int>(time / kPicosecondsPerHour);
    result.minute = static_cast<int>(time % kPicosecondsPerHour / kPicosecondsPerMinute);
    result.picoseconds = time % kPicosecondsPerMinute;
    return result;
}

std::optional<double> secondsSinceEpoch(const DateTimeValue& value)
{
    if (!isRightTruncated(value.kind))
        return std::nullopt;
    const std::int64_t time =
        timeOfDay(value) - value.zoneMinutes.value_or(0) * kPicosecondsPerMinute;
    return static_cast<double>(dayNumber(value)) * 86'400.0 +
           static_cast<double>(time) / static_cast<double>(kPicosecondsPerSecond);
}

bool isLeapYear(std::int64_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int dayInYear(const DateTimeValue& value)
{
    return static_cast<int>(dayNumber(value) - dayNumber(value.year, 1, 1)) + 1;
}

int dayInWeek(const DateTimeValue& value)
{
    // 1970-01-01 was a Thursday.
    return static_cast<int>(floorMod(dayNumber(value) + 4, 7)) + 1;
}

int weekInYear(const DateTimeValue& value)
{
    // A week belongs to the year that holds its Thursday.
    const int weekdayFromMonday = (dayInWeek(value) + 5) % 7;
    const std::int64_t thursday = dayNumber(value) + 3 - weekdayFromMonday;
    const std::int64_t thursdayYear = civilDate(thursday).year;
    return static_cast<int>((thursday - dayNumber(thursdayYear, 1, 1)) / 7) + 1;
}

int weekInMonth(const DateTimeValue& value)
{
    DateTimeValue first = value;
    first.day = 1;
    const int firstFromMonday = (dayInWeek(first) + 5) % 7;
    return (value.day + firstFromMonday - 1) / 7 + 1;
}

std::int64_t writtenYear(std::int64_t year)
{
    return year <= 0 ? year - 1 : year;
}

} // namespace prsm::detail
