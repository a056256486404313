// Timers used by transformations running at the same time on several threads.
#include "PRSMXslTransformer.hpp"
#include "support/FakeClock.hpp"
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

constexpr int kThreads = 4;
constexpr int kTimersPerRun = 25;
constexpr int kRunsPerThread = 3;

TEST(TimerThreads, ConcurrentTransformationsGetUniqueIdsAndWholeRecords)
{
    prsm::test::FakeClock clock("20240315090503042");
    const std::string xsl = PRSM_TEST_DATA_DIR "/timers.xsl";
    std::string doc = "<doc>";
    for (int i = 0; i < kTimersPerRun; ++i)
        doc += "<i/>";
    doc += "</doc>";

    std::vector<std::string> outputs(kThreads);
    std::vector<int> statuses(kThreads, -100);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(
            [&, t]
            {
                PRSMXslTransformer transformer;
                for (int run = 0; run < kRunsPerThread && (run == 0 || statuses[t] == 0); ++run)
                    outputs[t] += prsm::test::transformStream(transformer, xsl, doc, statuses[t]);
            });
    for (std::thread& thread : threads)
        thread.join();

    std::set<int> ids;
    for (int t = 0; t < kThreads; ++t)
    {
        SCOPED_TRACE(t);
        ASSERT_EQ(statuses[t], 0);
        std::istringstream lines(outputs[t]);
        int id = 0;
        std::string rest;
        while (lines >> id && std::getline(lines, rest))
        {
            EXPECT_EQ(rest, " 1328703042    0.000    0.000    0.000 ") << id;
            EXPECT_TRUE(ids.insert(id).second) << "id handed out twice: " << id;
        }
    }
    ASSERT_EQ(ids.size(), static_cast<std::size_t>(kThreads * kRunsPerThread * kTimersPerRun));
    // Nothing else creates timers meanwhile, so the ids are one unbroken run.
    EXPECT_EQ(*ids.rbegin() - *ids.begin() + 1, static_cast<int>(ids.size()));
}

} // namespace
