// Dates, times and durations in their XML Schema lexical forms. Plain C++ with no engine types, as
// are the calendar (DateTimeCalendar) and the durations' arithmetic (DurationArithmetic); nothing
// in them throws but std::bad_alloc.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace prsm::detail
{

// The XML Schema type whose lexical form a date/time text has. The first four are the
// right-truncated forms, from the most specific to the least.
enum class DateTimeKind
{
    DateTime,   // CCYY-MM-DDThh:mm:ss
    Date,       // CCYY-MM-DD
    GYearMonth, // CCYY-MM
    GYear,      // CCYY
    Time,       // hh:mm:ss
    GMonthDay,  // --MM-DD
    GMonth,     // --MM--
    GDay,       // ---DD
};

inline constexpr std::int64_t kPicosecondsPerSecond = 1'000'000'000'000;
inline constexpr std::int64_t kPicosecondsPerMinute = 60 * kPicosecondsPerSecond;
inline constexpr std::int64_t kPicosecondsPerHour = 60 * kPicosecondsPerMinute;
inline constexpr std::int64_t kPicosecondsPerDay = 86'400 * kPicosecondsPerSecond;

// A date, a time or a part of a date. Fields the kind does not show hold their smallest value.
struct DateTimeValue
{
    DateTimeKind kind = DateTimeKind::DateTime;
    // Counted without a gap, so 0 is the year written -0001 and -1 the year written -0002.
    std::int64_t year = 1;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    // Seconds into the minute; fraction digits past the twelfth are dropped when parsing.
    std::int64_t picoseconds = 0;
    // Offset from UTC in minutes; empty when the text names no time zone.
    std::optional<int> zoneMinutes;
};

// An xs:duration: months (years folded in) and a day-time part of days * 86400 seconds plus
// `picoseconds`, which is always in [0, one day). A negative duration has negative months or days
// and never a positive one; -PT1S is days -1 and 86399 seconds.
struct Duration
{
    std::int64_t months = 0;
    std::int64_t days = 0;
    std::int64_t picoseconds = 0;
};

// Reads one of the eight lexical forms, time zone included: a year of at least four digits
// (more only without a leading zero, at most fifteen, never 0000), a day that exists in its
// month, hours 00-23, minutes and seconds 00-59 and a zone of at most 14:00. Surrounding white
// space is not allowed. Empty for anything else.
std::optional<DateTimeValue> parseDateTime(std::string_view text);

// The value in the lexical form of its kind: the year with at least four digits, seconds with
// as many fraction digits as they need, a zone of offset 0 as 'Z'.
std::string formatDateTime(const DateTimeValue& value);

// Reads -?PnYnMnDTnHnMnS, where each part is optional but one must be present, a T needs a part
// after it and only seconds may have a fraction. Empty for anything else or a value too large.
std::optional<Duration> parseDuration(std::string_view text);

// The canonical form: P0D for zero, else only the nonzero parts, with hours, minutes and seconds
// carried into days and months into years ("P1DT12H1M", "-P1Y2M", "PT0.5S").
std::string formatDuration(const Duration& duration);

// date:duration: the day-time duration of `seconds`, read with the digits of its shortest
// decimal form. Empty for NaN, infinities and values beyond the range of Duration.
std::optional<Duration> durationFromSeconds(double seconds);

// The local date and time of a clock stamp "YYYYMMDDhhmmss..." (any further digits are a
// fraction of the second and are dropped) in the zone `zoneMinutes` east of UTC. Empty when the
// stamp does not start with fourteen digits that make a valid date and time.
std::optional<DateTimeValue> dateTimeFromStamp(std::string_view stamp, int zoneMinutes);

} // namespace prsm::detail
