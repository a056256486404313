// The stopwatch workers: their "%d" and "%8.3f" texts, each timer's state and the ids.
#include "functions/QxXsltFunctionTimer.hpp"
#include "functions/TimerTable.hpp"
#include "support/FakeClock.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <utility>

namespace
{

using namespace prsm::detail;
using prsm::test::FakeClock;

constexpr std::int32_t kLargestId = std::numeric_limits<std::int32_t>::max();

// Runs `script` on a fresh timer and returns the results joined by '|'. Each step is a letter
// for the worker (s start, p stop, t total, r reset, d destroy) and the clock's milliseconds
// since the month's 1st began.
I18NString (*const kWorkers[])(const I18NString&) = {timerStart, timerStop, timerTotal, timerReset,
                                                     timerDestroy};

std::string runScript(FakeClock& clock, const std::string& script)
{
    const I18NString id = timerCreate();
    std::istringstream steps(script);
    std::string step, results;
    while (steps >> step)
    {
        clock.setMonthMillis(86400000u + std::stoul(step.substr(1)));
        const std::size_t worker = std::string("sptrd").find(step[0]);
        results += (results.empty() ? "" : "|") + std::string(kWorkers[worker](id).c_str());
    }
    timerDestroy(id);
    return results;
}

TEST(TimerWorkers, KeepEachTimersStateAndWriteSecondsWithAtLeastEightCharacters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"s0 p1500 t9000", "86400000|   1.500|   1.500"}, // stopped time does not count
        {"s0 p12345679", "86400000|12345.679"},
        {"s0 p1500 s60000 p62000 t70000", "86400000|   1.500|86460000|   2.000|   3.500"},
        {"s0 p1000 p6000 t6000", "86400000|   1.000|   0.000|   1.000"}, // stopping a stopped one
        {"p5000 t9000", "   0.000|   0.000"},                            // never started
        {"s0 s5000 p6000 t6000", "86400000|86405000|   1.000|   1.000"}, // restart drops the run
        {"s0 p1000 s1000 t3000 t6000 p6000",
         "86400000|   1.000|86401000|   3.000|   6.000|   5.000"},       // total of a running timer
        {"s0 r2500 t3500 p3500", "86400000|   2.500|   0.000|   0.000"}, // reset stops, empties
        {"s0 d4000 t4000 d4000", "86400000|   4.000|   0.000|   0.000"},
        {"s86399000 p86401000", "172799000|   2.000"},      // across midnight
        {"s2061083000 p2061084648", "2147483000|   1.648"}, // across 2^31
        {"s2678399000 p1000", "-1530168296|-2678398.000"},  // into the next month
    };
    FakeClock clock;
    for (const auto& [script, results] : cases)
    {
        SCOPED_TRACE(script);
        EXPECT_EQ(runScript(clock, script), results);
    }
}

// Puts the process's timers aside for each test, which starts from an empty table and a counter
// that has handed out nothing, and may drive the counter to its end.
class FreshTimerTable : public ::testing::Test
{
protected:
    void SetUp() override { swapTables(); }
    void TearDown() override { swapTables(); }
    void swapTables()
    {
        const std::lock_guard<std::mutex> lock(timerTable().mutex);
        m_saved.records.swap(timerTable().records);
        std::swap(m_saved.lastTimerId, timerTable().lastTimerId);
        std::swap(m_saved.hasWrapped, timerTable().hasWrapped);
    }

    TimerTable m_saved;
    FakeClock m_clock;
};

TEST_F(FreshTimerTable, CreateCountsOnAndEmptiesARecordUsedBeforeItsIdWasHandedOut)
{
    m_clock.setMonthMillis(86400000u);
    EXPECT_EQ(timerCreate(), I18NString("1"));
    EXPECT_EQ(timerCreate(), I18NString("2"));
    timerDestroy(I18NString("2"));
    EXPECT_EQ(timerCreate(), I18NString("3")); // destroyed ids are not reused
    timerStart(I18NString(" 4.9 seconds"));    // names the timer of its leading integer
    m_clock.setMonthMillis(86401000u);
    EXPECT_EQ(timerTotal(I18NString("4")), I18NString("   1.000"));
    EXPECT_EQ(timerCreate(), I18NString("4"));
    EXPECT_EQ(timerTotal(I18NString("4")), I18NString("   0.000"));
}

TEST_F(FreshTimerTable, CounterStartsAgainAtOneAndSkipsLiveTimers)
{
    timerTable().lastTimerId = kLargestId - 1;
    for (const char* used : {"1", "2", "4"})
        timerTotal(I18NString(used));
    EXPECT_EQ(timerCreate(), I18NString("2147483647"));
    EXPECT_EQ(timerCreate(), I18NString("3"));
    EXPECT_EQ(timerCreate(), I18NString("5"));
    timerDestroy(I18NString("3"));
    EXPECT_EQ(timerCreate(), I18NString("6")); // counts on before reusing a freed id
    timerTable().lastTimerId = kLargestId - 1; // the largest id is live: skipped like any other
    EXPECT_EQ(timerCreate(), I18NString("3"));
}

} // namespace
