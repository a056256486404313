// The command line of prsm-xslt: accepted forms and usage errors.
#include "CommandLine.hpp"

#include <gtest/gtest.h>

namespace
{

using prsm::cli::Options;
using prsm::cli::parseCommandLine;
using prsm::cli::UsageError;

TEST(CommandLine, AcceptedForms)
{
    const Options plain = parseCommandLine({"a.xsl", "in.xml"});
    EXPECT_EQ(plain.stylesheets, std::vector<std::string>{"a.xsl"});
    EXPECT_EQ(plain.source, "in.xml");
    EXPECT_FALSE(plain.outputFile);

    const Options full = parseCommandLine({"--stringparam", "title", "Spring", "-o", "out.html",
                                           "--stringparam", "empty", "", "a.xsl", "-"});
    EXPECT_EQ(full.stringParams.size(), 2u);
    EXPECT_EQ(full.stringParams[0], std::make_pair(std::string("title"), std::string("Spring")));
    EXPECT_EQ(full.stringParams[1].second, "");
    EXPECT_EQ(*full.outputFile, "out.html");
    EXPECT_EQ(full.source, "-");

    const Options chain = parseCommandLine({"a.xsl", "--then", "b.xsl", "--then", "c.xsl", "in"});
    EXPECT_EQ(chain.stylesheets, (std::vector<std::string>{"a.xsl", "b.xsl", "c.xsl"}));

    const Options query = parseCommandLine({"--xpath", "count(//p)", "in.xml"});
    EXPECT_TRUE(query.stylesheets.empty());
    EXPECT_EQ(*query.xpath, "count(//p)");
    EXPECT_EQ(query.source, "in.xml");

    const Options queryAfter = parseCommandLine({"--xpath", "/r", "a.xsl", "in.xml"});
    EXPECT_EQ(queryAfter.stylesheets, std::vector<std::string>{"a.xsl"});

    const Options dashed = parseCommandLine({"--", "-odd.xsl", "-"});
    EXPECT_EQ(dashed.stylesheets, std::vector<std::string>{"-odd.xsl"});

    EXPECT_TRUE(parseCommandLine({"--help"}).showHelp);
    EXPECT_TRUE(parseCommandLine({"--version", "extra", "words", "x"}).showVersion);
}

TEST(CommandLine, UsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"a.xsl"},
        {"a.xsl", "b.xml", "c"},
        {"--bogus", "a.xsl", "b.xml"},
        {"--stringparam", "p"},
        {"--stringparam", "", "v", "a.xsl", "b.xml"},
        {"--stringparam", "p", "it's", "a.xsl", "b.xml"},
        {"-o"},
        {"-o", "-", "a.xsl", "b.xml"},
        {"--then"},
        {"--xpath", "/a", "--then", "b.xsl", "in.xml"},
        {"--xpath", "/a", "-o", "out", "in.xml"},
    };
    for (const auto& args : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_THROW(parseCommandLine(args), UsageError);
    }
}

} // namespace
