// Dates, times and durations in their XML Schema lexical forms, and their calendar arithmetic.
#include "functions/exslt/DateTimeValue.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace prsm::detail
{
namespace
{

// Fifteen digits of year keep every day count and every sum of two in an int64.
constexpr std::int64_t kYearLimit = 1'000'000'000'000'000;
constexpr std::int64_t kPicosecondsPerMinute = 60 * kPicosecondsPerSecond;
constexpr std::int64_t kPicosecondsPerHour = 60 * kPicosecondsPerMinute;
constexpr int kFractionDigits = 12;
constexpr int kLargestZoneMinutes = 14 * 60;

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

// Days from 1970-01-01 to the date, negative before it (H. Hinnant's days_from_civil).
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

struct CivilDate
{
    std::int64_t year;
    int month;
    int day;
};

// The inverse of dayNumber (H. Hinnant's civil_from_days).
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

// Clears what `kind` does not show, keeping the zone.
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

Duration negated(Duration duration)
{
    duration.months = -duration.months;
    duration.days = -duration.days;
    if (duration.picoseconds != 0)
    {
        duration.picoseconds = kPicosecondsPerDay - duration.picoseconds;
        duration.days -= 1;
    }
    return duration;
}

// A reader of one lexical form, left to right.
class Cursor
{
public:
    explicit Cursor(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_position == m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_position]; }
    std::string_view rest() const { return m_text.substr(m_position); }

    bool take(char expected)
    {
        if (atEnd() || m_text[m_position] != expected)
            return false;
        ++m_position;
        return true;
    }

    bool takeDigit(int& digit)
    {
        const char c = peek();
        if (c < '0' || c > '9')
            return false;
        digit = c - '0';
        ++m_position;
        return true;
    }

    // Exactly two digits, read as a number in [lowest, highest].
    bool twoDigits(int& value, int lowest, int highest)
    {
        int tens = 0;
        int units = 0;
        if (!takeDigit(tens) || !takeDigit(units))
            return false;
        value = tens * 10 + units;
        return value >= lowest && value <= highest;
    }

    // '.' and digits after it, the first twelve as picoseconds; needs a digit unless
    // `isDigitOptional`.
    bool fraction(std::int64_t& picoseconds, bool isDigitOptional)
    {
        picoseconds = 0;
        int digits = 0;
        for (int digit = 0; takeDigit(digit); ++digits)
            if (digits < kFractionDigits)
                picoseconds = picoseconds * 10 + digit;
        for (int i = digits; i < kFractionDigits; ++i)
            picoseconds *= 10;
        return digits > 0 || isDigitOptional;
    }

private:
    std::string_view m_text;
    std::size_t m_position = 0;
};

// Reads the whole of `text` as nothing, "Z" or "+hh:mm"/"-hh:mm".
bool readZone(std::string_view text, std::optional<int>& zone)
{
    Cursor in(text);
    if (in.atEnd())
    {
        zone.reset();
        return true;
    }
    if (in.take('Z'))
    {
        zone = 0;
        return in.atEnd();
    }
    const bool isNegative = in.peek() == '-';
    int hours = 0;
    int minutes = 0;
    if (!(in.take('+') || in.take('-')) || !in.twoDigits(hours, 0, 14) || !in.take(':') ||
        !in.twoDigits(minutes, 0, 59) || !in.atEnd())
        return false;
    const int offset = hours * 60 + minutes;
    if (offset > kLargestZoneMinutes)
        return false;
    zone = isNegative ? -offset : offset;
    return true;
}

bool readTime(Cursor& in, DateTimeValue& value)
{
    int seconds = 0;
    if (!in.twoDigits(value.hour, 0, 23) || !in.take(':') || !in.twoDigits(value.minute, 0, 59) ||
        !in.take(':') || !in.twoDigits(seconds, 0, 59))
        return false;
    std::int64_t fraction = 0;
    if (in.take('.') && !in.fraction(fraction, false))
        return false;
    value.picoseconds = seconds * kPicosecondsPerSecond + fraction;
    return true;
}

bool readYear(Cursor& in, std::int64_t& year)
{
    const bool isNegative = in.take('-');
    const std::string_view rest = in.rest();
    const std::size_t digits =
        std::find_if(rest.begin(), rest.end(), [](char c) { return c < '0' || c > '9'; }) -
        rest.begin();
    if (digits < 4 || digits > 15 || (digits > 4 && rest[0] == '0'))
        return false;
    std::int64_t written = 0;
    for (int digit = 0; in.takeDigit(digit);)
        written = written * 10 + digit;
    if (written == 0)
        return false;
    year = isNegative ? 1 - written : written;
    return true;
}

void appendPadded(std::string& out, std::uint64_t number, int width)
{
    const std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width)
        out.append(width - digits.size(), '0');
    out += digits;
}

// Whole seconds, then '.' and the fraction without trailing zeros when there is one.
void appendSeconds(std::string& out, std::int64_t picoseconds, int width)
{
    appendPadded(out, static_cast<std::uint64_t>(picoseconds / kPicosecondsPerSecond), width);
    std::int64_t fraction = picoseconds % kPicosecondsPerSecond;
    if (fraction == 0)
        return;
    int digits = kFractionDigits;
    for (; fraction % 10 == 0; fraction /= 10)
        --digits;
    out += '.';
    appendPadded(out, static_cast<std::uint64_t>(fraction), digits);
}

void appendYear(std::string& out, std::int64_t year)
{
    if (year <= 0)
        out += '-';
    appendPadded(out, static_cast<std::uint64_t>(year <= 0 ? 1 - year : year), 4);
}

void appendTime(std::string& out, const DateTimeValue& value)
{
    appendPadded(out, static_cast<std::uint64_t>(value.hour), 2);
    out += ':';
    appendPadded(out, static_cast<std::uint64_t>(value.minute), 2);
    out += ':';
    appendSeconds(out, value.picoseconds, 2);
}

void appendZone(std::string& out, const std::optional<int>& zone)
{
    if (!zone)
        return;
    if (*zone == 0)
    {
        out += 'Z';
        return;
    }
    out += *zone < 0 ? '-' : '+';
    const int offset = std::abs(*zone);
    appendPadded(out, static_cast<std::uint64_t>(offset / 60), 2);
    out += ':';
    appendPadded(out, static_cast<std::uint64_t>(offset % 60), 2);
}

std::uint64_t magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

// Seconds a duration part of `number` units of `unitSeconds` adds: whole days go to `days`.
bool addTimePart(std::uint64_t number, std::int64_t unitSeconds, std::int64_t& days,
                 std::int64_t& seconds)
{
    const auto unitsPerDay = static_cast<std::uint64_t>(86'400 / unitSeconds);
    seconds += static_cast<std::int64_t>(number % unitsPerDay) * unitSeconds;
    return !__builtin_add_overflow(days, number / unitsPerDay, &days);
}

} // namespace

std::optional<DateTimeValue> parseDateTime(std::string_view text)
{
    DateTimeValue value;
    if (text.substr(0, 2) == "--")
    {
        Cursor in(text.substr(2));
        if (in.take('-'))
        {
            if (!in.twoDigits(value.day, 1, 31))
                return std::nullopt;
            value.kind = DateTimeKind::GDay;
        }
        else
        {
            if (!in.twoDigits(value.month, 1, 12) || !in.take('-'))
                return std::nullopt;
            if (in.take('-'))
                value.kind = DateTimeKind::GMonth;
            else if (in.twoDigits(value.day, 1, daysInMonth(2000, value.month)))
                value.kind = DateTimeKind::GMonthDay;
            else
                return std::nullopt;
        }
        return readZone(in.rest(), value.zoneMinutes) ? std::optional(value) : std::nullopt;
    }
    if (text.size() > 2 && text[2] == ':')
    {
        Cursor in(text);
        value.kind = DateTimeKind::Time;
        return readTime(in, value) && readZone(in.rest(), value.zoneMinutes) ? std::optional(value)
                                                                             : std::nullopt;
    }

    // Each right-truncated form is the one before it and more; a zone may end any of them.
    Cursor in(text);
    if (!readYear(in, value.year))
        return std::nullopt;
    value.kind = DateTimeKind::GYear;
    if (readZone(in.rest(), value.zoneMinutes))
        return value;
    if (!in.take('-') || !in.twoDigits(value.month, 1, 12))
        return std::nullopt;
    value.kind = DateTimeKind::GYearMonth;
    if (readZone(in.rest(), value.zoneMinutes))
        return value;
    if (!in.take('-') || !in.twoDigits(value.day, 1, daysInMonth(value.year, value.month)))
        return std::nullopt;
    value.kind = DateTimeKind::Date;
    if (readZone(in.rest(), value.zoneMinutes))
        return value;
    if (!in.take('T') || !readTime(in, value))
        return std::nullopt;
    value.kind = DateTimeKind::DateTime;
    return readZone(in.rest(), value.zoneMinutes) ? std::optional(value) : std::nullopt;
}

std::string formatDateTime(const DateTimeValue& value)
{
    std::string out;
    switch (value.kind)
    {
    case DateTimeKind::DateTime:
    case DateTimeKind::Date:
    case DateTimeKind::GYearMonth:
    case DateTimeKind::GYear:
        appendYear(out, value.year);
        if (value.kind == DateTimeKind::GYear)
            break;
        out += '-';
        appendPadded(out, static_cast<std::uint64_t>(value.month), 2);
        if (value.kind == DateTimeKind::GYearMonth)
            break;
        out += '-';
        appendPadded(out, static_cast<std::uint64_t>(value.day), 2);
        if (value.kind == DateTimeKind::Date)
            break;
        out += 'T';
        appendTime(out, value);
        break;
    case DateTimeKind::Time:
        appendTime(out, value);
        break;
    case DateTimeKind::GMonthDay:
    case DateTimeKind::GMonth:
        out += "--";
        appendPadded(out, static_cast<std::uint64_t>(value.month), 2);
        out += '-';
        if (value.kind == DateTimeKind::GMonth)
            out += '-';
        else
            appendPadded(out, static_cast<std::uint64_t>(value.day), 2);
        break;
    case DateTimeKind::GDay:
        out += "---";
        appendPadded(out, static_cast<std::uint64_t>(value.day), 2);
        break;
    }
    appendZone(out, value.zoneMinutes);
    return out;
}

std::optional<Duration> parseDuration(std::string_view text)
{
    static constexpr std::string_view kDesignators = "YMDHMS";
    constexpr std::size_t kFirstTimePart = 3;
    constexpr std::size_t kSecondsPart = 5;

    Cursor in(text);
    const bool isNegative = in.take('-');
    if (!in.take('P'))
        return std::nullopt;
    Duration duration;
    std::int64_t seconds = 0;
    std::int64_t fraction = 0;
    std::size_t next = 0; // the designators before this one are used up
    bool isInTime = false;
    bool hasPart = false;
    bool hasTimePart = false;
    while (!in.atEnd())
    {
        if (in.take('T'))
        {
            if (isInTime)
                return std::nullopt;
            isInTime = true;
            next = kFirstTimePart;
            continue;
        }
        std::uint64_t number = 0;
        bool hasDigit = false;
        for (int digit = 0; in.takeDigit(digit); hasDigit = true)
            if (__builtin_mul_overflow(number, 10u, &number) ||
                __builtin_add_overflow(number, static_cast<unsigned>(digit), &number))
                return std::nullopt;
        const bool hasFraction = in.take('.');
        if (hasFraction)
        {
            const std::string_view before = in.rest();
            in.fraction(fraction, true);
            hasDigit = hasDigit || in.rest().size() != before.size();
        }
        const std::size_t end = isInTime ? kDesignators.size() : kFirstTimePart;
        const std::size_t part = kDesignators.substr(0, end).find(in.peek(), next);
        if (!hasDigit || part == std::string_view::npos || (hasFraction && part != kSecondsPart))
            return std::nullopt;
        in.take(kDesignators[part]);
        next = part + 1;
        hasPart = true;
        hasTimePart = hasTimePart || isInTime;

        bool isInRange = true;
        std::uint64_t months = 0;
        switch (part)
        {
        case 0:
            isInRange = !__builtin_mul_overflow(number, 12u, &months) &&
                        !__builtin_add_overflow(duration.months, months, &duration.months);
            break;
        case 1:
            isInRange = !__builtin_add_overflow(duration.months, number, &duration.months);
            break;
        case 2:
            isInRange = !__builtin_add_overflow(duration.days, number, &duration.days);
            break;
        default:
            static constexpr std::int64_t kUnitSeconds[] = {3600, 60, 1};
            isInRange =
                addTimePart(number, kUnitSeconds[part - kFirstTimePart], duration.days, seconds);
            break;
        }
        if (!isInRange)
            return std::nullopt;
    }
    if (!hasPart || (isInTime && !hasTimePart) ||
        __builtin_add_overflow(duration.days, seconds / 86'400, &duration.days))
        return std::nullopt;
    duration.picoseconds = seconds % 86'400 * kPicosecondsPerSecond + fraction;
    return isNegative ? negated(duration) : duration;
}

std::string formatDuration(const Duration& duration)
{
    if (duration.months == 0 && duration.days == 0 && duration.picoseconds == 0)
        return "P0D";
    const bool isNegative = duration.months < 0 || duration.days < 0;
    // A negative day-time part is held as days below and a time of day above it.
    std::int64_t days = duration.days;
    std::int64_t picoseconds = duration.picoseconds;
    if (days < 0 && picoseconds != 0)
    {
        picoseconds = kPicosecondsPerDay - picoseconds;
        days += 1;
    }
    const std::uint64_t months = magnitude(duration.months);

    std::string out = isNegative ? "-P" : "P";
    const auto appendPart = [&out](std::uint64_t number, char designator)
    {
        if (number == 0)
            return;
        out += std::to_string(number);
        out += designator;
    };
    appendPart(months / 12, 'Y');
    appendPart(months % 12, 'M');
    appendPart(magnitude(days), 'D');
    if (picoseconds == 0)
        return out;
    out += 'T';
    appendPart(static_cast<std::uint64_t>(picoseconds / kPicosecondsPerHour), 'H');
    appendPart(
        static_cast<std::uint64_t>(picoseconds % kPicosecondsPerHour / kPicosecondsPerMinute), 'M');
    const std::int64_t seconds = picoseconds % kPicosecondsPerMinute;
    if (seconds != 0)
    {
        appendSeconds(out, seconds, 1);
        out += 'S';
    }
    return out;
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

std::optional<Duration> addDurations(const Duration& x, const Duration& y)
{
    Duration sum;
    sum.picoseconds = x.picoseconds + y.picoseconds;
    const int carry = sum.picoseconds >= kPicosecondsPerDay ? 1 : 0;
    sum.picoseconds -= carry * kPicosecondsPerDay;
    if (__builtin_add_overflow(x.months, y.months, &sum.months) ||
        __builtin_add_overflow(x.days, y.days, &sum.days) ||
        __builtin_add_overflow(sum.days, carry, &sum.days))
        return std::nullopt;
    // Months and days cannot be weighed against each other, so their signs must agree.
    const bool isDayTimePositive = sum.days > 0 || (sum.days == 0 && sum.picoseconds > 0);
    if ((isDayTimePositive && sum.months < 0) || (sum.days < 0 && sum.months > 0))
        return std::nullopt;
    return sum;
}

std::optional<Duration> difference(DateTimeValue from, DateTimeValue to)
{
    if (!isRightTruncated(from.kind) || !isRightTruncated(to.kind))
        return std::nullopt;
    const DateTimeKind kind = std::max(from.kind, to.kind);
    truncate(from, kind);
    truncate(to, kind);
    Duration duration;
    if (kind == DateTimeKind::GYearMonth || kind == DateTimeKind::GYear)
    {
        duration.months = (to.year - from.year) * 12 + (to.month - from.month);
        return duration;
    }
    const std::int64_t time =
        timeOfDay(to) - timeOfDay(from) +
        (from.zoneMinutes.value_or(0) - to.zoneMinutes.value_or(0)) * kPicosecondsPerMinute;
    const std::int64_t carry = floorDiv(time, kPicosecondsPerDay);
    duration.days = dayNumber(to) - dayNumber(from) + carry;
    duration.picoseconds = time - carry * kPicosecondsPerDay;
    return duration;
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

std::optional<double> durationSeconds(const Duration& duration)
{
    if (duration.months != 0)
        return std::nullopt;
    return static_cast<double>(duration.days) * 86'400.0 +
           static_cast<double>(duration.picoseconds) / static_cast<double>(kPicosecondsPerSecond);
}

std::optional<Duration> durationFromSeconds(double seconds)
{
    if (!std::isfinite(seconds))
        return std::nullopt;
    // The shortest decimal form keeps the fraction the number was written with (59.999 rather
    // than 59.998999...), which a binary split of the double would not.
    char text[512];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, std::fabs(seconds), std::chars_format::fixed);
    if (error != std::errc())
        return std::nullopt;
    Cursor in(std::string_view(text, static_cast<std::size_t>(end - text)));
    Duration duration;
    std::int64_t remainder = 0;
    for (int digit = 0; in.takeDigit(digit);)
    {
        // Long division by the seconds of a day, so the whole part may exceed an int64.
        remainder = remainder * 10 + digit;
        if (__builtin_mul_overflow(duration.days, 10, &duration.days) ||
            __builtin_add_overflow(duration.days, remainder / 86'400, &duration.days))
            return std::nullopt;
        remainder %= 86'400;
    }
    std::int64_t fraction = 0;
    if (in.take('.'))
        in.fraction(fraction, true);
    duration.picoseconds = remainder * kPicosecondsPerSecond + fraction;
    const bool isZero = duration.days == 0 && duration.picoseconds == 0;
    return seconds < 0 && !isZero ? negated(duration) : duration;
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

std::optional<DateTimeValue> dateTimeFromStamp(std::string_view stamp, int zoneMinutes)
{
    Cursor in(stamp);
    DateTimeValue value;
    int century = 0;
    int yearOfCentury = 0;
    int seconds = 0;
    if (!in.twoDigits(century, 0, 99) || !in.twoDigits(yearOfCentury, 0, 99) ||
        century * 100 + yearOfCentury == 0 || !in.twoDigits(value.month, 1, 12))
        return std::nullopt;
    value.year = century * 100 + yearOfCentury;
    if (!in.twoDigits(value.day, 1, daysInMonth(value.year, value.month)) ||
        !in.twoDigits(value.hour, 0, 23) || !in.twoDigits(value.minute, 0, 59) ||
        !in.twoDigits(seconds, 0, 59))
        return std::nullopt;
    value.picoseconds = seconds * kPicosecondsPerSecond;
    value.zoneMinutes = zoneMinutes;
    return value;
}

} // namespace prsm::detail
