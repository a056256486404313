// The stopwatch functions: month clock, texts, the state of each timer, ids and misuse.
#include "functions/LeadingInteger.hpp"
#include "functions/QxXsltFunctionTimer.hpp"
#include "functions/TimerTable.hpp"
#include "support/FakeClock.hpp"
#include "support/FunctionCall.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

namespace
{

using namespace prsm::detail;
using prsm::test::FakeClock;
using prsm::test::FunctionCall;

constexpr std::uint32_t kFirstMidnight = 86400000u;

std::string text(const I18NString& value)
{
    return value.c_str();
}

I18NString idOf(int id)
{
    return I18NString(std::to_string(id).c_str());
}

bool hasRecord(int id)
{
    const std::lock_guard<std::mutex> lock(g_timers.mutex);
    return g_timers.records.count(id) == 1;
}

TEST(MonthClock, CountsMillisecondsFromDayZeroOfTheMonth)
{
    const struct
    {
        const char* stamp;
        std::uint32_t millis;
    } cases[] = {
        {"20240101000000000", kFirstMidnight},
        {"19991231000000001", 31u * 86400000u + 1u}, // year and month take no part
        {"20240102000001000", 2u * 86400000u + 1000u},
        {"20240124203123647", 2147483647u},
        {"20240124203123648", 2147483648u},
        {"20240131235959999", 2764799999u},
        {"20240131235959999123", 2764799999u},           // extra fraction digits are ignored
        {"2024010112", kFirstMidnight + 12u * 3600000u}, // fields the stamp lacks count as 0
        {"2024", 0u},
        {"", 0u},
        {"garbage", 0u},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stamp);
        EXPECT_EQ(monthMillis(I18NString(c.stamp)), c.millis);
    }
}

TEST(MonthClock, ElapsedSecondsReadBothValuesUnsigned)
{
    EXPECT_DOUBLE_EQ(elapsedSeconds(86401500u, 86400000u), 1.5);
    EXPECT_DOUBLE_EQ(elapsedSeconds(2147484648u, 2147483000u), 1.648);
    EXPECT_DOUBLE_EQ(elapsedSeconds(2764799999u, 0u), 2764799.999);
    EXPECT_DOUBLE_EQ(elapsedSeconds(86401000u, 2764799000u), -2678398.0);
}

TEST(MonthClock, ReadsTheCoreLibraryClock)
{
    FakeClock clock("20240315120000250");
    EXPECT_EQ(currentMonthMillis(), monthMillis(I18NString("20240315120000250")));
}

TEST(TimerIds, AreReadLikeAtoi)
{
    const struct
    {
        const char* text;
        std::int32_t id;
    } cases[] = {
        {"7", 7},
        {" 12abc", 12},
        {"\t\n 3", 3},
        {"abc", 0},
        {"", 0},
        {"2.7", 2},
        {"-4", -4},
        {"+5x", 5},
        {"- 5", 0},
        {"0x1F", 0},
        {"2147483647", 2147483647},
        {"99999999999", std::numeric_limits<std::int32_t>::max()},
        {"-99999999999", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(leadingInteger(c.text), c.id);
    }
    EXPECT_EQ(leadingInteger(nullptr), 0);
}

class TimerWorkers : public ::testing::Test
{
protected:
    void SetUp() override { m_clock.setMonthMillis(kFirstMidnight + 1000u); }

    // A fresh timer, so tests never share a record.
    I18NString create() { return timerCreate(); }

    FakeClock m_clock;
};

TEST_F(TimerWorkers, CreateHandsOutConsecutivePositiveIds)
{
    const int first = std::atoi(text(create()).c_str());
    EXPECT_GT(first, 0);
    EXPECT_EQ(text(create()), std::to_string(first + 1));
    EXPECT_EQ(text(create()), std::to_string(first + 2));
    timerDestroy(idOf(first + 2));
    EXPECT_EQ(text(create()), std::to_string(first + 3)); // destroyed ids are not reused
}

TEST_F(TimerWorkers, StartReturnsTheClockValueAsASignedNumber)
{
    const I18NString id = create();
    const struct
    {
        const char* stamp;
        const char* result;
    } cases[] = {
        {"20240301000001000", "86401000"},
        {"20240324203123647", "2147483647"},
        {"20240324203123648", "-2147483648"},
        {"20240331235959999", "-1530167297"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stamp);
        m_clock.setStamp(c.stamp);
        EXPECT_EQ(text(timerStart(id)), c.result);
    }
}

TEST_F(TimerWorkers, SecondsHaveAtLeastEightCharactersAndThreeDecimals)
{
    const struct
    {
        std::uint32_t millis;
        const char* result;
    } cases[] = {
        {0u, "   0.000"},
        {1u, "   0.001"},
        {1500u, "   1.500"},
        {12345679u, "12345.679"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.result);
        const I18NString id = create();
        m_clock.setMonthMillis(kFirstMidnight);
        timerStart(id);
        m_clock.advance(c.millis);
        EXPECT_EQ(text(timerStop(id)), c.result);
        EXPECT_EQ(text(timerTotal(id)), c.result);
    }
}

TEST_F(TimerWorkers, StopAddsTheIntervalToTheTotal)
{
    const I18NString id = create();
    timerStart(id);
    m_clock.advance(1500u);
    EXPECT_EQ(text(timerStop(id)), "   1.500");
    m_clock.advance(60000u); // stopped time does not count
    timerStart(id);
    m_clock.advance(2000u);
    EXPECT_EQ(text(timerStop(id)), "   2.000");
    EXPECT_EQ(text(timerTotal(id)), "   3.500");
}

TEST_F(TimerWorkers, StopOnATimerThatIsNotRunningChangesNothing)
{
    const I18NString id = create();
    timerStart(id);
    m_clock.advance(1000u);
    timerStop(id);
    m_clock.advance(5000u);
    EXPECT_EQ(text(timerStop(id)), "   0.000");
    EXPECT_EQ(text(timerTotal(id)), "   1.000");

    const int unused = std::atoi(text(create()).c_str()) + 1000000;
    ASSERT_FALSE(hasRecord(unused));
    EXPECT_EQ(text(timerStop(idOf(unused))), "   0.000");
    EXPECT_TRUE(hasRecord(unused));
    EXPECT_EQ(text(timerTotal(idOf(unused))), "   0.000");
    timerDestroy(idOf(unused));
}

TEST_F(TimerWorkers, RestartDropsTheRunningInterval)
{
    const I18NString id = create();
    timerStart(id);
    m_clock.advance(5000u);
    timerStart(id);
    m_clock.advance(1000u);
    EXPECT_EQ(text(timerStop(id)), "   1.000");
    EXPECT_EQ(text(timerTotal(id)), "   1.000");
}

TEST_F(TimerWorkers, TotalCountsTheRunningIntervalAndLeavesTheTimerRunning)
{
    const I18NString id = create();
    timerStart(id);
    m_clock.advance(1000u);
    timerStop(id);
    timerStart(id);
    m_clock.advance(2000u);
    EXPECT_EQ(text(timerTotal(id)), "   3.000");
    m_clock.advance(3000u);
    EXPECT_EQ(text(timerTotal(id)), "   6.000");
    EXPECT_EQ(text(timerStop(id)), "   5.000");
}

TEST_F(TimerWorkers, ResetAndDestroyReturnTheValueBefore)
{
    const I18NString id = create();
    timerStart(id);
    m_clock.advance(2500u);
    EXPECT_EQ(text(timerReset(id)), "   2.500");
    m_clock.advance(1000u);
    EXPECT_EQ(text(timerTotal(id)), "   0.000"); // stopped as well as emptied
    EXPECT_EQ(text(timerStop(id)), "   0.000");

    timerStart(id);
    m_clock.advance(4000u);
    EXPECT_EQ(text(timerDestroy(id)), "   4.000");
    EXPECT_FALSE(hasRecord(std::atoi(id.c_str())));
    EXPECT_EQ(text(timerTotal(id)), "   0.000");
    EXPECT_TRUE(hasRecord(std::atoi(id.c_str())));
    EXPECT_EQ(text(timerDestroy(id)), "   0.000");
    EXPECT_FALSE(hasRecord(std::atoi(id.c_str())));
}

TEST_F(TimerWorkers, IdTextsNameTheTimerTheyStartWith)
{
    const I18NString id = create();
    const std::string noisy = " " + text(id) + ".9 seconds";
    timerStart(I18NString(noisy.c_str()));
    m_clock.advance(1000u);
    EXPECT_EQ(text(timerStop(id)), "   1.000");
}

TEST_F(TimerWorkers, CreateEmptiesARecordUsedBeforeItsIdWasHandedOut)
{
    std::int32_t next = 0;
    {
        const std::lock_guard<std::mutex> lock(g_timers.mutex);
        next = g_timers.lastTimerId + 1;
    }
    timerStart(idOf(next));
    m_clock.advance(1000u);
    EXPECT_EQ(text(create()), std::to_string(next));
    EXPECT_EQ(text(timerTotal(idOf(next))), "   0.000");
}

TEST_F(TimerWorkers, IntervalsAcrossMidnightAndTheTurnOfTheMonth)
{
    const struct
    {
        const char* start;
        const char* stop;
        const char* result;
    } cases[] = {
        {"20240301235959000", "20240302000001000", "   2.000"},
        {"20240324203123000", "20240324203124000", "   1.000"}, // across 2^31
        {"20240331235959000", "20240401000001000", "-2678398.000"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.result);
        const I18NString id = create();
        m_clock.setStamp(c.start);
        timerStart(id);
        m_clock.setStamp(c.stop);
        EXPECT_EQ(text(timerStop(id)), c.result);
    }
}

// Puts the table and counter aside for one test and brings them back afterwards, so the test
// can drive the counter to its end without disturbing ids handed out elsewhere.
class SavedTimerTable
{
public:
    SavedTimerTable()
    {
        const std::lock_guard<std::mutex> lock(g_timers.mutex);
        m_records.swap(g_timers.records);
        m_lastTimerId = g_timers.lastTimerId;
        m_hasWrapped = g_timers.hasWrapped;
    }
    ~SavedTimerTable()
    {
        const std::lock_guard<std::mutex> lock(g_timers.mutex);
        m_records.swap(g_timers.records);
        g_timers.lastTimerId = m_lastTimerId;
        g_timers.hasWrapped = m_hasWrapped;
    }

    static void setLastId(std::int32_t id)
    {
        const std::lock_guard<std::mutex> lock(g_timers.mutex);
        g_timers.lastTimerId = id;
    }

private:
    std::map<std::int32_t, TimerRecord> m_records;
    std::int32_t m_lastTimerId = 0;
    bool m_hasWrapped = false;
};

TEST_F(TimerWorkers, PastTheLargestIdCountingStartsAgainAtOneAndSkipsLiveTimers)
{
    const SavedTimerTable saved;
    constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max();
    SavedTimerTable::setLastId(kLargest - 1);
    for (const char* used : {"1", "2", "4"})
        timerTotal(I18NString(used));

    EXPECT_EQ(text(create()), "2147483647");
    EXPECT_EQ(text(create()), "3");
    EXPECT_EQ(text(create()), "5");
    timerDestroy(I18NString("3"));
    EXPECT_EQ(text(create()), "6"); // counts on before reusing a freed id

    SavedTimerTable::setLastId(kLargest - 1); // the largest id is live: skipped like any other
    EXPECT_EQ(text(create()), "3");
}

TEST(TimerFunctions, ReturnTheWorkersTextsAsStrings)
{
    FakeClock clock("20240301000001000");
    FunctionCall call;
    const std::string id = call(FunctionTimerCreate(), {});
    EXPECT_EQ(std::to_string(std::atoi(id.c_str())), id);
    EXPECT_EQ(call(FunctionTimerStart(), {id}), "86401000");
    clock.setStamp("20240301000002500");
    EXPECT_EQ(call(FunctionTimerTotal(), {std::atof(id.c_str()) + 0.7}), "   1.500");
    EXPECT_EQ(call(FunctionTimerStop(), {id}), "   1.500");
    EXPECT_EQ(call(FunctionTimerReset(), {id}), "   1.500");
    EXPECT_EQ(call(FunctionTimerDestroy(), {id}), "   0.000");
}

struct Misuse
{
    const char* name;
    std::unique_ptr<QxXsltFunction> function;
    std::size_t arity;
    const char* countText;
    const char* usage;
    int line;
};

std::vector<Misuse> misuses()
{
    std::vector<Misuse> all;
    all.push_back({"TimerCreate", std::make_unique<FunctionTimerCreate>(), 0,
                   "The TimerCreate() function takes no arguments!",
                   "qxfunc:TimerCreate() takes no arguments!", 0});
    all.push_back({"TimerStart", std::make_unique<FunctionTimerStart>(), 1,
                   "qxfunc:TimerStart() function takes 1 argument!",
                   "qxfunc:TimerStart() takes a single timer id argument!", 139});
    all.push_back({"TimerStop", std::make_unique<FunctionTimerStop>(), 1,
                   "The TimerStop() function takes 1 argument!",
                   "qxfunc:TimerStop() takes a single timer id argument!", 205});
    all.push_back({"TimerTotal", std::make_unique<FunctionTimerTotal>(), 1,
                   "The TimerTotal() function takes 1 argument!",
                   "qxfunc:TimerTotal() takes a single timer id argument!", 274});
    all.push_back({"TimerReset", std::make_unique<FunctionTimerReset>(), 1,
                   "The TimerReset() function takes 1 argument!",
                   "qxfunc:TimerReset() takes a single timer id argument!", 351});
    all.push_back({"TimerDestroy", std::make_unique<FunctionTimerDestroy>(), 1,
                   "The TimerDestroyID() function takes 1 argument!",
                   "qxfunc:TimerDestroy() takes a single timer id argument!", 432});
    return all;
}

std::map<std::int32_t, TimerRecord>::size_type recordCount()
{
    const std::lock_guard<std::mutex> lock(g_timers.mutex);
    return g_timers.records.size();
}

TEST(TimerFunctions, WrongArgumentCountsEndTheCallBeforeAnyWork)
{
    FakeClock clock;
    FunctionCall call;
    for (const Misuse& m : misuses())
    {
        SCOPED_TRACE(m.name);
        const std::string noId = "987654321";
        const std::vector<prsm::test::Argument> tooMany(m.arity + 1, noId);
        const std::vector<prsm::test::Argument> tooFew(m.arity == 0 ? 0 : m.arity - 1, noId);
        const auto recordsBefore = recordCount();
        std::int32_t lastIdBefore = 0;
        {
            const std::lock_guard<std::mutex> lock(g_timers.mutex);
            lastIdBefore = g_timers.lastTimerId;
        }
        EXPECT_EQ(call.engineError(*m.function, tooMany), m.countText);
        if (m.arity > 0)
        {
            EXPECT_EQ(call.engineError(*m.function, tooFew), m.countText);
        }
        EXPECT_EQ(recordCount(), recordsBefore);
        const std::lock_guard<std::mutex> lock(g_timers.mutex);
        EXPECT_EQ(g_timers.lastTimerId, lastIdBefore);
    }
}

TEST(TimerFunctions, AnEmptyIdArgumentRaisesTheAssertion)
{
    FunctionCall call;
    for (const Misuse& m : misuses())
    {
        SCOPED_TRACE(m.name);
        if (m.arity == 0)
            continue;
        try
        {
            call(*m.function, {prsm::test::NullArgument()});
            ADD_FAILURE() << "no assertion raised";
        }
        catch (const ZBLAssertError& e)
        {
            EXPECT_EQ(e.code(), 0);
            EXPECT_EQ(e.text(), "ZBL_ASSERT(args[0].null() == false);");
            EXPECT_EQ(e.sourceUnit(), "QxXsltFunctionTimer");
            EXPECT_EQ(e.line(), m.line);
            EXPECT_EQ(e.flags(), 0);
            EXPECT_EQ(e.macro(), "ZBL_THROW");
        }
    }
}

TEST(TimerFunctions, ClonesAreOfTheSameClassAndShareTheUsageText)
{
    for (const Misuse& m : misuses())
    {
        SCOPED_TRACE(m.name);
        const std::unique_ptr<QxXsltFunction> copy(m.function->clone());
        const QxXsltFunction& original = *m.function;
        const QxXsltFunction& cloned = *copy;
        EXPECT_EQ(typeid(cloned), typeid(original));
        EXPECT_EQ(QxXsltFunction::XalanDOMStringToI18NString(copy->getError()),
                  I18NString(m.usage));
    }
}

} // namespace
