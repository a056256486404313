// Core services: assertion errors, locks and the clock hook.
#include "ZBLCore.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <thread>
#include <vector>

namespace
{

TEST(ZBLAssertError, RaiseThrowsWithLocationAndMacro)
{
    ZBLAssertError error(0, "ZBL_ASSERT(args[0].null() == false);");
    try
    {
        error.raise({"QxXsltFunctionTimer", 139}, 0, "ZBL_THROW");
        FAIL() << "raise returned";
    }
    catch (const ZBLAssertError& raised)
    {
        EXPECT_EQ(raised.code(), 0);
        EXPECT_STREQ(raised.what(), "ZBL_ASSERT(args[0].null() == false);");
        EXPECT_EQ(raised.sourceUnit(), "QxXsltFunctionTimer");
        EXPECT_EQ(raised.line(), 139);
        EXPECT_EQ(raised.flags(), 0);
        EXPECT_EQ(raised.macro(), "ZBL_THROW");
    }
}

TEST(ZBLThreadGuard, ReleasesOnExceptionAndSerialises)
{
    ZBLThreadCriticalSection lock(1);
    try
    {
        ZBLThreadGuard guard(lock);
        throw 42;
    }
    catch (int)
    {
    }

    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&]
            {
                for (int i = 0; i < 10000; ++i)
                {
                    ZBLThreadGuard guard(lock);
                    ++counter;
                }
            });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 40000);
}

class ClockHook : public ::testing::Test
{
protected:
    void TearDown() override { ZBLUtSystemInfo::setTimeStampSource({}); }
};

TEST_F(ClockHook, SystemClockGivesSeventeenDigits)
{
    const std::string stamp = ZBLUtSystemInfo::getTimeStamp(0);
    ASSERT_EQ(stamp.size(), 17u);
    for (char c : stamp)
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c))) << stamp;
    const int month = std::stoi(stamp.substr(4, 2));
    const int hour = std::stoi(stamp.substr(8, 2));
    EXPECT_GE(month, 1);
    EXPECT_LE(month, 12);
    EXPECT_LE(hour, 23);
}

TEST_F(ClockHook, SourceReplacesAndEmptyFunctionRestores)
{
    ZBLUtSystemInfo::setTimeStampSource([] { return std::string("20260131235959000"); });
    EXPECT_EQ(ZBLUtSystemInfo::getTimeStamp(0), "20260131235959000");
    ZBLUtSystemInfo::setTimeStampSource({});
    EXPECT_NE(ZBLUtSystemInfo::getTimeStamp(0), "20260131235959000");
}

} // namespace
