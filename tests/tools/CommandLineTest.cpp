// The command line of prsm-xslt: accepted forms and usage errors.
#include "CommandLine.hpp"

#include <gtest/gtest.h>

namespace
{

// What the parser made of `args`, every field of it, or "usage error".
std::string parsed(const std::vector<std::string>& args)
{
    try
    {
        const prsm::cli::Options options = prsm::cli::parseCommandLine(args);
        std::string text = options.showHelp ? "help " : options.showVersion ? "version " : "";
        for (const auto& [name, value] : options.stringParams)
            text += "p:" + name + "=" + value + " ";
        if (options.outputFile)
            text += "o=" + *options.outputFile + " ";
        for (const std::string& stylesheet : options.stylesheets)
            text += "xsl=" + stylesheet + " ";
        if (options.xpath)
            text += "xpath=" + *options.xpath + " ";
        return text + "src=" + options.source;
    }
    catch (const prsm::cli::UsageError&)
    {
        return "usage error";
    }
}

TEST(CommandLine, AcceptedFormsAndUsageErrors)
{
    const struct
    {
        std::vector<std::string> args;
        const char* parsed;
    } cases[] = {
        {{"a.xsl", "in.xml"}, "xsl=a.xsl src=in.xml"},
        {{"--stringparam", "title", "Spring", "-o", "out.html", "--stringparam", "empty", "",
          "a.xsl", "-"},
         "p:title=Spring p:empty= o=out.html xsl=a.xsl src=-"},
        {{"a.xsl", "--then", "b.xsl", "--then", "c.xsl", "in"},
         "xsl=a.xsl xsl=b.xsl xsl=c.xsl src=in"},
        {{"--xpath", "count(//p)", "in.xml"}, "xpath=count(//p) src=in.xml"},
        {{"--xpath", "/r", "a.xsl", "in.xml"}, "xsl=a.xsl xpath=/r src=in.xml"},
        {{"--", "-odd.xsl", "-"}, "xsl=-odd.xsl src=-"},
        {{"--help"}, "help src="},
        {{"--version", "extra", "words", "x"}, "version src="},
        {{}, "usage error"},
        {{"a.xsl"}, "usage error"},
        {{"a.xsl", "b.xml", "c"}, "usage error"},
        {{"--bogus", "a.xsl", "b.xml"}, "usage error"},
        {{"--stringparam", "p"}, "usage error"},
        {{"--stringparam", "", "v", "a.xsl", "b.xml"}, "usage error"},
        {{"--stringparam", "p", "it's", "a.xsl", "b.xml"}, "usage error"},
        {{"-o"}, "usage error"},
        {{"-o", "-", "a.xsl", "b.xml"}, "usage error"},
        {{"--then"}, "usage error"},
        {{"--xpath", "/a", "--then", "b.xsl", "in.xml"}, "usage error"},
        {{"--xpath", "/a", "-o", "out", "in.xml"}, "usage error"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        EXPECT_EQ(parsed(c.args), c.parsed);
    }
}

} // namespace
