// Counted process-wide start and stop of the parser and the engine.
#include "frame/ProcessFrame.hpp"

#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "engine/xslt/EngineStartup.hpp"

#include <xercesc/util/PlatformUtils.hpp>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace
{

using prsm::detail::outstandingInitializations;

// A transformer made now parses a document: the parser and the engine are up.
bool engineParses()
{
    PRSMXslTransformer transformer;
    ScopedDom2Dom document(transformer);
    return document->InitializeInputSource("<a>hi</a>");
}

bool parserRunning()
{
    return xercesc::XMLPlatformUtils::fgMemoryManager != nullptr;
}

class ProcessFrame : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(outstandingInitializations(), 0); }
    void TearDown() override
    {
        while (outstandingInitializations() > 0)
            QXXslTransformer_Terminate(nullptr);
    }
};

TEST_F(ProcessFrame, NestedPairsStartOnceStopOnceAndStartAgainAfterAFullStop)
{
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round);
        EXPECT_EQ(QXXslTransformer_Terminate(nullptr), 0); // nothing outstanding: does nothing
        EXPECT_EQ(outstandingInitializations(), 0);
        EXPECT_FALSE(parserRunning());
        EXPECT_EQ(QXXslTransformer_Initialize(nullptr), 0);
        EXPECT_EQ(QXXslTransformer_Initialize("second user"), 0);
        EXPECT_EQ(outstandingInitializations(), 2);
        EXPECT_EQ(QXXslTransformer_Terminate("second user"), 0);
        EXPECT_EQ(outstandingInitializations(), 1);
        EXPECT_TRUE(engineParses());
        EXPECT_EQ(QXXslTransformer_Terminate(nullptr), 0);
        EXPECT_FALSE(parserRunning());
    }
}

TEST_F(ProcessFrame, ManyThreadsStartAndStopAtOnce)
{
    constexpr int kThreads = 16;
    const auto runAll = [](long (*call)(const char*))
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([call] { call(nullptr); });
        for (auto& thread : threads)
            thread.join();
    };
    runAll(&QXXslTransformer_Initialize);
    EXPECT_EQ(outstandingInitializations(), kThreads);
    EXPECT_TRUE(engineParses());
    runAll(&QXXslTransformer_Terminate);
    EXPECT_EQ(outstandingInitializations(), 0);
    EXPECT_FALSE(parserRunning());
}

TEST_F(ProcessFrame, AFailedStartUpLeavesNothingRunningAndCanBeRetried)
{
    prsm::detail::setEngineStarter([] { throw std::runtime_error("engine refused"); });
    EXPECT_THROW(QXXslTransformer_Initialize(nullptr), std::runtime_error);
    prsm::detail::setEngineStarter(nullptr);
    EXPECT_EQ(outstandingInitializations(), 0);
    EXPECT_FALSE(parserRunning());
    EXPECT_EQ(QXXslTransformer_Initialize(nullptr), 0);
    EXPECT_EQ(outstandingInitializations(), 1);
    EXPECT_TRUE(engineParses());
}

} // namespace
