// The six stopwatch functions, their workers and the month clock they measure with.
#pragma once

#include "ZBLCore.hpp"
#include "functions/BuiltinFunction.hpp"

#include <cstdint>

// The built-in timer functions. Each is stateless: the timers live in the process-wide table of
// TimerTable.hpp, shared by every transformer and thread. Every result is a string object. A
// wrong argument count ends the evaluation with the function's count text; an empty id argument
// raises ZBLAssertError; a full timer table ends it with a text naming the bound. Nothing else is
// caught.
// TimerCreate(): a new timer id, "1", "2", ... in call order across the whole process.
class FunctionTimerCreate final
    : public prsm::detail::BuiltinFunction<FunctionTimerCreate,
                                           prsm::detail::BuiltinId::TimerCreate>
{
};

// TimerStart(id): starts (or restarts) the timer; returns the clock value at the start.
class FunctionTimerStart final
    : public prsm::detail::BuiltinFunction<FunctionTimerStart, prsm::detail::BuiltinId::TimerStart>
{
};

// TimerStop(id): ends the running interval; returns its seconds.
class FunctionTimerStop final
    : public prsm::detail::BuiltinFunction<FunctionTimerStop, prsm::detail::BuiltinId::TimerStop>
{
};

// TimerTotal(id): the seconds so far, a running interval included.
class FunctionTimerTotal final
    : public prsm::detail::BuiltinFunction<FunctionTimerTotal, prsm::detail::BuiltinId::TimerTotal>
{
};

// TimerReset(id): stops and empties the timer; returns its total from before.
class FunctionTimerReset final
    : public prsm::detail::BuiltinFunction<FunctionTimerReset, prsm::detail::BuiltinId::TimerReset>
{
};

// TimerDestroy(id): removes the timer; returns its total from before.
class FunctionTimerDestroy final
    : public prsm::detail::BuiltinFunction<FunctionTimerDestroy,
                                           prsm::detail::BuiltinId::TimerDestroy>
{
};

namespace prsm::detail
{

// The workers behind the six functions. Each holds the timer table's mutex for its whole run, so
// calls from several threads are whole and ids stay unique. Ids are read from their text like C
// atoi
// (" 12abc" is 12, "abc" is 0); an id without a record gets a fresh one (TimerDestroy removes it
// again). Ids and clock values are written "%d", seconds "%8.3f" (at least eight characters).
//
// A call that would add a record to a table holding timerCapacity() records throws
// BuiltinRefusal instead, which the functions report like a wrong argument count.
//
// Ids count up from 1. After 2147483647 the counter starts again at 1 and from then on skips
// every id that still has a record: ids stay positive and never name a live timer, though an id
// destroyed more than 2^31 creations earlier can come back. Throws std::length_error only if every
// positive id has a record.
I18NString timerCreate();
// Sets the start to now, dropping any running interval; the total is kept. Returns now.
I18NString timerStart(const I18NString& id);
// Adds the running interval to the total and stops the timer; returns the interval. A timer
// that is not running is left as it is and gives "   0.000".
I18NString timerStop(const I18NString& id);
// The total with any running interval; the timer is not changed.
I18NString timerTotal(const I18NString& id);
// Stops and empties the timer; returns what timerTotal returned just before.
I18NString timerReset(const I18NString& id);
// Removes the timer; returns what timerTotal returned just before.
I18NString timerDestroy(const I18NString& id);

// Milliseconds since the start of the month of a "YYYYMMDDhhmmssmmm" stamp, in unsigned 32-bit
// arithmetic: the first at midnight is 86400000, the 31st at 23:59:59.999 is 2764799999. Year and
// month take no part. Fields the stamp does not hold count as 0.
std::uint32_t monthMillis(I18NString stamp);

// monthMillis of the core library's current time stamp.
std::uint32_t currentMonthMillis();

// Seconds from `start` to `now`, both read as unsigned; negative when now is the smaller, as
// across the turn of a month.
double elapsedSeconds(std::uint32_t now, std::uint32_t start);

} // namespace prsm::detail
