// The arithmetic of durations: sums, differences of dates, seconds.
#pragma once

#include "functions/exslt/DateTimeValue.hpp"

namespace prsm::detail
{

// -duration, in the form Duration keeps: -PT1S is days -1 and 86399 seconds.
Duration negated(Duration duration);

// date:add-duration: the sum, or empty when its sign would be mixed (P1M + -P1D) or it overflows.
std::optional<Duration> addDurations(const Duration& x, const Duration& y);

// date:difference: the duration from `from` to `to`, both dateTime, date, gYearMonth or gYear.
// The more specific one is first cut down to the kind of the other. Between gYears and
// gYearMonths it is a number of months, otherwise days and a time of day; a missing zone counts
// as UTC. Empty for another kind.
std::optional<Duration> difference(DateTimeValue from, DateTimeValue to);

// date:seconds of a duration: its seconds, or empty when it has months or years.
std::optional<double> durationSeconds(const Duration& duration);

} // namespace prsm::detail
