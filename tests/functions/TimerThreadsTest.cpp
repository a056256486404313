// Timers used by transformations running at the same time on several threads.
#include "PRSMXslTransformer.hpp"
#include "support/FakeClock.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

using prsm::test::FakeClock;
using prsm::test::TempDir;

constexpr int kThreads = 4;
constexpr int kTimersPerRun = 25;
constexpr int kRunsPerThread = 3;

// Each run creates a timer per item and drives it through its whole life, one line per timer:
// "id start stop total destroy".
std::string stylesheet()
{
    std::string line;
    for (const char* field : {"$id", "prsm:TimerStart($id)", "prsm:TimerStop($id)",
                              "prsm:TimerTotal($id)", "prsm:TimerDestroy($id)"})
        line += std::string("<xsl:value-of select='") + field + "'/><xsl:text> </xsl:text>";
    return prsm::test::textStylesheet("<xsl:for-each select='doc/i'>"
                                      "<xsl:variable name='id' select='prsm:TimerCreate()'/>" +
                                      line + "<xsl:text>&#10;</xsl:text></xsl:for-each>");
}

std::string source()
{
    std::string doc = "<doc>";
    for (int i = 0; i < kTimersPerRun; ++i)
        doc += "<i/>";
    return doc + "</doc>";
}

TEST(TimerThreads, ConcurrentTransformationsGetUniqueIdsAndWholeRecords)
{
    FakeClock clock("20240315090503042");
    TempDir dir;
    const std::string xsl = dir.write("timers.xsl", stylesheet());
    const std::string doc = source();

    std::vector<std::string> outputs(kThreads);
    std::vector<int> statuses(kThreads, -100);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(
            [&, t]
            {
                PRSMXslTransformer transformer;
                for (int run = 0; run < kRunsPerThread; ++run)
                {
                    std::istringstream in(doc);
                    std::ostringstream out;
                    statuses[t] = transformer.doTransform(in, xsl.c_str(), out);
                    if (statuses[t] != 0)
                        break;
                    outputs[t] += out.str().substr(0, out.str().size() - 1);
                }
            });
    for (std::thread& thread : threads)
        thread.join();

    std::set<int> ids;
    for (int t = 0; t < kThreads; ++t)
    {
        SCOPED_TRACE(t);
        ASSERT_EQ(statuses[t], 0);
        std::istringstream lines(outputs[t]);
        std::string line;
        int count = 0;
        while (std::getline(lines, line))
        {
            std::istringstream fields(line);
            std::string id, start, stop, total, destroyed;
            fields >> id >> start >> stop >> total >> destroyed;
            EXPECT_EQ(start, "1328703042") << line;
            EXPECT_EQ(stop, "0.000") << line;
            EXPECT_EQ(total, "0.000") << line;
            EXPECT_EQ(destroyed, "0.000") << line;
            EXPECT_TRUE(ids.insert(std::atoi(id.c_str())).second) << "id handed out twice: " << id;
            ++count;
        }
        EXPECT_EQ(count, kRunsPerThread * kTimersPerRun);
    }
    ASSERT_EQ(ids.size(), static_cast<std::size_t>(kThreads * kRunsPerThread * kTimersPerRun));
    // Nothing else creates timers meanwhile, so the ids are one unbroken run.
    EXPECT_EQ(*ids.rbegin() - *ids.begin() + 1, static_cast<int>(ids.size()));
}

} // namespace
