// The transformer object: stylesheet parameters and an empty source file name.
#include "PRSMXslTransformer.hpp"

#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

namespace
{

using prsm::test::textStylesheet;
using Transformer = prsm::test::StylesheetTest;

TEST_F(Transformer, ParametersReachTheStylesheetAsQuotedStrings)
{
    // A null output: the transformation fails, as the apostrophe ends the literal.
    const std::pair<const char*, const char*> cases[] = {
        {"", "[]"},
        {"1+2", "[1+2]"},
        {"/doc", "[/doc]"},
        {"K\xC3\xA4se \xF0\x9F\x98\x80", "[K\xC3\xA4se \xF0\x9F\x98\x80]"},
        {"it's", nullptr}};
    const std::string xsl =
        textStylesheet("[<xsl:value-of select='$p'/>]", "<xsl:param name='p'/>");
    for (const auto& [value, output] : cases)
    {
        SCOPED_TRACE(value);
        m_transformer.setStylesheetParam("p", value);
        EXPECT_EQ(run(xsl), output ? output : "");
        EXPECT_EQ(m_status == 0, output != nullptr) << m_transformer.getLastError();
    }

    // Setting a name again replaces its value.
    m_transformer.setStylesheetParam("t\xC3\xAFtle", "s\xC3\xBC\xC3\x9F");
    m_transformer.setStylesheetParam("p", "x");
    EXPECT_EQ(run(textStylesheet("<xsl:value-of select='concat($p, $t\xC3\xAFtle)'/>",
                                 "<xsl:param name='p'/><xsl:param name='t\xC3\xAFtle'/>")),
              "xs\xC3\xBC\xC3\x9F");
}

TEST_F(Transformer, AnEmptySourceFileNameCreatesNothingAndKeepsTheLastError)
{
    const std::string xsl = m_dir.write("t.xsl", textStylesheet("x"));
    const std::string result = m_dir.path("result.txt");
    EXPECT_NE(
        m_transformer.doTransform(m_dir.path("absent.xml").c_str(), xsl.c_str(), result.c_str()),
        0);
    const std::string engineText = m_transformer.getLastError();
    EXPECT_EQ(m_transformer.doTransform("", xsl.c_str(), result.c_str()),
              PRSMXslTransformer::kNoSourceStatus);
    EXPECT_FALSE(std::filesystem::exists(result));
    EXPECT_EQ(m_transformer.getLastError(), engineText);
}

} // namespace
