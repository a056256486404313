// The core library's clock and the hook that replaces it.
#include "ZBLCore.hpp"

#include <gtest/gtest.h>

namespace
{

TEST(ClockHook, ASourceReplacesTheSeventeenDigitSystemClockUntilEmptied)
{
    ZBLUtSystemInfo::setTimeStampSource([] { return std::string("20261331245959000"); });
    EXPECT_EQ(ZBLUtSystemInfo::getTimeStamp(0), "20261331245959000");
    ZBLUtSystemInfo::setTimeStampSource({});
    const std::string stamp = ZBLUtSystemInfo::getTimeStamp(0);
    ASSERT_EQ(stamp.size(), 17u) << stamp;
    EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << stamp;
    EXPECT_LE(std::stoi(stamp.substr(4, 2)), 12) << stamp; // a real month and hour
    EXPECT_LE(std::stoi(stamp.substr(8, 2)), 23) << stamp;
}

} // namespace
