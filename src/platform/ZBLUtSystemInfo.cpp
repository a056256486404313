// The clock: a seventeen-digit local time stamp, replaceable for tests and hosts.
#include "ZBLCore.hpp"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace
{

// A function-local static: the clock may be read during static initialisation of other units.
struct ClockSource
{
    std::mutex mutex;
    std::function<std::string()> source;
};

ClockSource& clockSource()
{
    static ClockSource instance;
    return instance;
}

std::string systemTimeStamp()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

} // namespace

std::string ZBLUtSystemInfo::getTimeStamp(int)
{
    std::function<std::string()> source;
    {
        std::lock_guard<std::mutex> lock(clockSource().mutex);
        source = clockSource().source;
    }
    // Called outside the lock, so a source may itself read or replace the clock.
    return source ? source() : systemTimeStamp();
}

void ZBLUtSystemInfo::setTimeStampSource(std::function<std::string()> source)
{
    std::lock_guard<std::mutex> lock(clockSource().mutex);
    clockSource().source = std::move(source);
}
