// Dates, times and durations in their XML Schema lexical forms.
#include "functions/exslt/DateTimeValue.hpp"

#include "functions/exslt/DateTimeCalendar.hpp"
#include "functions/exslt/DurationArithmetic.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace prsm::detail
{
namespace
{

constexpr int kFractionDigits = 12;
constexpr int kLargestZoneMinutes = 14 * 60;

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
