// The stopwatch functions: a process-wide table of timers measured with a month clock.
#include "functions/QxXsltFunctionTimer.hpp"

#include "PRSMXslLimits.hpp"
#include "functions/BuiltinCall.hpp"
#include "functions/LeadingInteger.hpp"
#include "functions/TimerTable.hpp"

#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace prsm::detail
{

TimerTable& timerTable()
{
    static TimerTable table;
    return table;
}

namespace
{

thread_local std::size_t t_timerCapacity = PRSMXslLimits().maxTimers;

} // namespace

std::size_t timerCapacity()
{
    return t_timerCapacity;
}

TimerCapacityScope::TimerCapacityScope(std::size_t capacity) : m_previous(t_timerCapacity)
{
    t_timerCapacity = capacity;
}

TimerCapacityScope::~TimerCapacityScope()
{
    t_timerCapacity = m_previous;
}

namespace
{

using Lock = std::lock_guard<std::mutex>;

// Texts are written into a zeroed buffer of this size; longer output is cut, never overrun.
constexpr std::size_t kTextBufferSize = 128;

I18NString idText(std::int32_t value)
{
    char buffer[kTextBufferSize] = {};
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    return I18NString(buffer, I18NGetPlatformDefaultEncoding(), -1);
}

// Clock values are written as signed numbers: from the 24th at 20:31:23.648 on they read
// negative, which stylesheets have always seen.
I18NString clockText(std::uint32_t millis)
{
    return idText(static_cast<std::int32_t>(millis));
}

// Seconds have at least eight characters, padded with blanks on the left: "   1.500".
I18NString secondsText(double seconds)
{
    char buffer[kTextBufferSize] = {};
    std::snprintf(buffer, sizeof buffer, "%8.3f", seconds);
    return I18NString(buffer, I18NGetPlatformDefaultEncoding(), -1);
}

// Refuses to add a record to a full table: a stylesheet in a loop must not be able to fill the
// process's memory with timers. The caller holds the table's mutex.
void requireRoom()
{
    const auto& records = timerTable().records;
    const std::size_t capacity = timerCapacity();
    if (capacity == 0 || records.size() < capacity)
        return;
    throw BuiltinRefusal("qxfunc: the timer table is full: " + std::to_string(records.size()) +
                         " timers are live (PRSMXslLimits::maxTimers); destroy timers with "
                         "TimerDestroy");
}

// The record of the id in `text`, inserted if absent. The caller holds the table's mutex.
TimerRecord& recordFor(const I18NString& text)
{
    const std::int32_t id = leadingInteger(text.c_str());
    if (timerTable().records.count(id) == 0)
        requireRoom();
    return timerTable().records[id];
}

// The total including a running interval. The clock is read only for a running timer.
double totalOf(const TimerRecord& record)
{
    if (record.startMillis == 0)
        return record.totalSeconds;
    return elapsedSeconds(currentMonthMillis(), record.startMillis) + record.totalSeconds;
}

constexpr std::int32_t kLargestId = std::numeric_limits<std::int32_t>::max();

// The smallest id from `from` on that has no record, or 0 when all up to the largest have one.
// The caller holds the table's mutex.
std::int32_t firstFreeId(std::int32_t from)
{
    for (auto at = timerTable().records.lower_bound(from);
         at != timerTable().records.end() && at->first == from; ++at)
    {
        if (from == kLargestId)
            return 0;
        ++from;
    }
    return from;
}

// The next id to hand out; see timerCreate in the header for the wrap-around. The caller holds
// the table's mutex.
std::int32_t nextTimerId()
{
    if (!timerTable().hasWrapped && timerTable().lastTimerId < kLargestId)
        return ++timerTable().lastTimerId;

    timerTable().hasWrapped = true;
    std::int32_t id =
        timerTable().lastTimerId < kLargestId ? firstFreeId(timerTable().lastTimerId + 1) : 0;
    if (id == 0)
        id = firstFreeId(1);
    if (id == 0)
        throw std::length_error("every timer id is in use");
    timerTable().lastTimerId = id;
    return id;
}

} // namespace

std::uint32_t monthMillis(I18NString stamp)
{
    // Fields the stamp does not hold stay 0 rather than undefined.
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
    std::sscanf(stamp.c_str(), "%4u%2u%2u%2u%2u%2u%3u", &year, &month, &day, &hour, &minute,
                &second, &millis);
    std::uint32_t value = day;
    value = value * 24u + hour;
    value = value * 60u + minute;
    value = value * 60u + second;
    return value * 1000u + millis;
}

std::uint32_t currentMonthMillis()
{
    return monthMillis(I18NString(ZBLUtSystemInfo::getTimeStamp(0).c_str(), nullptr, -1));
}

double elapsedSeconds(std::uint32_t now, std::uint32_t start)
{
    return (static_cast<double>(now) - static_cast<double>(start)) / 1000.0;
}

I18NString timerCreate()
{
    const Lock lock(timerTable().mutex);
    // Checked before an id is taken, so a refused call hands out nothing.
    requireRoom();
    const std::int32_t id = nextTimerId();
    I18NString text = idText(id);
    // Replaces a record that a stylesheet made by using the id before it was handed out.
    timerTable().records[id] = TimerRecord();
    return text;
}

I18NString timerStart(const I18NString& id)
{
    const Lock lock(timerTable().mutex);
    const std::uint32_t now = currentMonthMillis();
    recordFor(id).startMillis = now;
    return clockText(now);
}

I18NString timerStop(const I18NString& id)
{
    const Lock lock(timerTable().mutex);
    const std::uint32_t now = currentMonthMillis();
    TimerRecord& record = recordFor(id);
    // Measuring a stopped timer from clock value 0 would book the time since the month began.
    if (record.startMillis == 0)
        return secondsText(0.0);
    const double interval = elapsedSeconds(now, record.startMillis);
    record.startMillis = 0;
    record.totalSeconds += interval;
    return secondsText(interval);
}

I18NString timerTotal(const I18NString& id)
{
    const Lock lock(timerTable().mutex);
    return secondsText(totalOf(recordFor(id)));
}

I18NString timerReset(const I18NString& id)
{
    const Lock lock(timerTable().mutex);
    TimerRecord& record = recordFor(id);
    I18NString text = secondsText(totalOf(record));
    record = TimerRecord();
    return text;
}

I18NString timerDestroy(const I18NString& id)
{
    const Lock lock(timerTable().mutex);
    auto& records = timerTable().records;
    // An absent id reads as a fresh timer without taking room in a full table.
    const auto found = records.find(leadingInteger(id.c_str()));
    if (found == records.end())
        return secondsText(0.0);
    I18NString text = secondsText(totalOf(found->second));
    records.erase(found);
    return text;
}

} // namespace prsm::detail
