// Replaces the core library's clock while it lives, so time moves only when a test says so.
#pragma once

#include "ZBLCore.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

namespace prsm::test
{

// Threads may read the stamp at once; it must be set only while none of them runs.
class FakeClock
{
public:
    explicit FakeClock(std::string stamp = "20240301000000000") : m_stamp(std::move(stamp))
    {
        ZBLUtSystemInfo::setTimeStampSource([this] { return m_stamp; });
    }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;
    ~FakeClock() { ZBLUtSystemInfo::setTimeStampSource({}); }

    void setStamp(std::string stamp) { m_stamp = std::move(stamp); }

    // A March stamp `millis` after the month's day 0 began: 86400000 is the 1st at midnight.
    void setMonthMillis(std::uint32_t millis)
    {
        char text[32];
        std::snprintf(text, sizeof text, "202403%02u%02u%02u%02u%03u", millis / 86400000u,
                      millis / 3600000u % 24u, millis / 60000u % 60u, millis / 1000u % 60u,
                      millis % 1000u);
        m_stamp = text;
    }

private:
    std::string m_stamp;
};

} // namespace prsm::test
