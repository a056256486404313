// Compiled stylesheets reused across calls: what a host sees when files change or fail.
#include "PRSMXslTransformer.hpp"
#include "support/HostFunction.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace
{

using prsm::test::textStylesheet;

class StylesheetReuse : public ::testing::Test
{
protected:
    // Writes the stylesheet file with `body`, keeping the modification time it had when `sameTime`.
    void write(const std::string& body, bool sameTime = false)
    {
        const bool existed = std::filesystem::exists(m_xsl);
        const auto before =
            existed ? std::filesystem::last_write_time(m_xsl) : std::filesystem::file_time_type();
        m_dir.write("t.xsl", textStylesheet(body));
        if (existed && sameTime)
            std::filesystem::last_write_time(m_xsl, before);
        else if (existed) // a later time even on a coarse clock
            std::filesystem::last_write_time(m_xsl, before + std::chrono::seconds(2));
    }

    std::string run(PRSMXslTransformer& transformer)
    {
        return prsm::test::transformStream(transformer, m_xsl, "<doc/>", m_status);
    }

    void TearDown() override { QXXslTransformer_SetStylesheetCacheSize(64); }

    prsm::test::TempDir m_dir;
    std::string m_xsl = m_dir.path("t.xsl");
    PRSMXslTransformer m_transformer;
    int m_status = -100;
};

TEST_F(StylesheetReuse, AChangedFileIsCompiledAgainAndClearingForgetsTheRest)
{
    write("one");
    EXPECT_EQ(run(m_transformer), "one");
    PRSMXslTransformer other;
    write("two"); // same size, later time
    EXPECT_EQ(run(other), "two");
    write("three");
    EXPECT_EQ(run(m_transformer), "three");
    write("fours", true); // same size and time: looks unchanged until the host clears
    EXPECT_EQ(run(m_transformer), "three");
    QXXslTransformer_ClearStylesheetCache();
    EXPECT_EQ(run(m_transformer), "fours");
    QXXslTransformer_SetStylesheetCacheSize(0);
    write("fives", true);
    EXPECT_EQ(run(m_transformer), "fives");
    EXPECT_EQ(m_status, 0);
}

TEST_F(StylesheetReuse, ABrokenStylesheetIsReportedOnEveryCall)
{
    m_dir.write("t.xsl", "<xsl:stylesheet");
    run(m_transformer);
    const int status = m_status;
    const std::string text = m_transformer.getLastError();
    EXPECT_NE(status, 0);
    for (int call = 0; call < 2; ++call)
    {
        run(m_transformer);
        EXPECT_EQ(m_status, status);
        EXPECT_EQ(m_transformer.getLastError(), text);
    }
}

TEST_F(StylesheetReuse, FunctionsInstalledAfterTheFirstUseAreCalled)
{
    write("<xsl:value-of select=\"prsm:GetDateTime('x')\"/>");
    run(m_transformer);
    EXPECT_NE(m_status, 0); // the built-in takes no argument
    m_transformer.installExternalFunction("GetDateTime", prsm::test::TaggedFunction("host:"));
    EXPECT_EQ(run(m_transformer), "host:x");
    EXPECT_EQ(m_status, 0);
}

} // namespace
