// The arithmetic of durations: sums, differences of dates, seconds.
#include "functions/exslt/DurationArithmetic.hpp"

#include "functions/exslt/DateTimeCalendar.hpp"

namespace prsm::detail
{

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

std::optional<double> durationSeconds(const Duration& duration)
{
    if (duration.months != 0)
        return std::nullopt;
    return static_cast<double>(duration.days) * 86'400.0 +
           static_cast<double>(duration.picoseconds) / static_cast<double>(kPicosecondsPerSecond);
}

} // namespace prsm::detail
