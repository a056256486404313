// The process-wide table of the stopwatch timers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

namespace prsm::detail
{

// One stopwatch. startMillis 0 means stopped; the clock never reads 0.
struct TimerRecord
{
    std::uint32_t startMillis = 0;
    double totalSeconds = 0.0;
};

// Shared by every transformer and thread of the process; `mutex` guards the records and the
// id counter together, so concurrent transformations see unique ids and whole updates.
struct TimerTable
{
    std::mutex mutex;
    std::map<std::int32_t, TimerRecord> records;
    // The id that TimerCreate handed out last; 0 before the first. Never lowered or reset.
    std::int32_t lastTimerId = 0;
    // Set once the counter has passed 2147483647 and started again at 1; from then on TimerCreate
    // skips every id that still has a record.
    bool hasWrapped = false;
};

// The process's one table, made on first use. No other load-time object depends on it.
TimerTable& timerTable();

// How many records the table may hold when a call on this thread adds one: the capacity of the
// innermost TimerCapacityScope alive on the thread, else the default of PRSMXslLimits. 0 means
// no bound.
std::size_t timerCapacity();

// Sets this thread's timer capacity while it lives. Scopes nest; each restores what it found.
class TimerCapacityScope
{
public:
    explicit TimerCapacityScope(std::size_t capacity);
    TimerCapacityScope(const TimerCapacityScope&) = delete;
    TimerCapacityScope& operator=(const TimerCapacityScope&) = delete;
    ~TimerCapacityScope();

private:
    std::size_t m_previous;
};

} // namespace prsm::detail
