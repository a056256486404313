// Replaces the core library's clock while it lives, so time moves only when a test says so.
#pragma once

#include "ZBLCore.hpp"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace prsm::test
{

class FakeClock
{
public:
    explicit FakeClock(std::string stamp = "20240301000000000") : m_stamp(std::move(stamp))
    {
        ZBLUtSystemInfo::setTimeStampSource(
            [this]
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                return m_stamp;
            });
    }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;
    ~FakeClock() { ZBLUtSystemInfo::setTimeStampSource({}); }

    void setStamp(std::string stamp)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stamp = std::move(stamp);
    }

    // A March stamp `millis` after the month's day 0 began: 86400000 is the 1st at midnight.
    void setMonthMillis(std::uint32_t millis)
    {
        m_millis = millis;
        char text[32];
        std::snprintf(text, sizeof text, "202403%02u%02u%02u%02u%03u", millis / 86400000u,
                      millis / 3600000u % 24u, millis / 60000u % 60u, millis / 1000u % 60u,
                      millis % 1000u);
        setStamp(text);
    }

    void advance(std::uint32_t millis) { setMonthMillis(m_millis + millis); }

private:
    std::mutex m_mutex;
    std::string m_stamp;
    std::uint32_t m_millis = 0;
};

} // namespace prsm::test
