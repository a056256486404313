// The transformer object: stylesheet parameters and file runs.
#include "PRSMXslTransformer.hpp"

#include "support/HostFunction.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace
{

using prsm::test::textStylesheet;

class Transformer : public ::testing::Test
{
protected:
    // Runs the stream overload; returns the output without its trailing NUL.
    std::string run(const std::string& stylesheet, const std::string& source = "<doc>v</doc>")
    {
        return prsm::test::transformStream(m_transformer, m_dir.write("t.xsl", stylesheet), source,
                                           m_status);
    }

    prsm::test::TempDir m_dir;
    PRSMXslTransformer m_transformer;
    int m_status = -100;
};

TEST_F(Transformer, ParametersReachTheStylesheetAsQuotedStrings)
{
    const struct
    {
        const char* value;
        const char* output; // null: the transformation fails
    } cases[] = {
        {"", "[]"},         {"1+2", "[1+2]"},
        {"/doc", "[/doc]"}, {"K\xC3\xA4se \xF0\x9F\x98\x80", "[K\xC3\xA4se \xF0\x9F\x98\x80]"},
        {"it's", nullptr}, // the apostrophe ends the literal
    };
    const std::string xsl =
        textStylesheet("[<xsl:value-of select='$p'/>]", "<xsl:param name='p'/>");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.value);
        m_transformer.setStylesheetParam("p", c.value);
        const std::string output = run(xsl);
        EXPECT_EQ(m_status == 0, c.output != nullptr) << m_transformer.getLastError();
        EXPECT_EQ(output, c.output ? c.output : "");
    }

    // Setting a name again replaces its value.
    m_transformer.setStylesheetParam("t\xC3\xAFtle", "s\xC3\xBC\xC3\x9F");
    m_transformer.setStylesheetParam("p", "x");
    EXPECT_EQ(run(textStylesheet("<xsl:value-of select='concat($p, $t\xC3\xAFtle)'/>",
                                 "<xsl:param name='p'/><xsl:param name='t\xC3\xAFtle'/>")),
              "xs\xC3\xBC\xC3\x9F");
}

TEST_F(Transformer, FilesWithNonAsciiNamesAndAnEmptySourceName)
{
    const std::string xsl =
        m_dir.write("st\xC3\xBFle.xsl", textStylesheet("<xsl:value-of select='doc'/>"));
    const std::string result = m_dir.path("r\xC3\xA9sultat.txt");
    EXPECT_NE(
        m_transformer.doTransform(m_dir.path("absent.xml").c_str(), xsl.c_str(), result.c_str()),
        0);
    const std::string engineText = m_transformer.getLastError();
    EXPECT_EQ(m_transformer.doTransform("", xsl.c_str(), result.c_str()),
              PRSMXslTransformer::kNoSourceStatus);
    EXPECT_FALSE(std::filesystem::exists(result));
    EXPECT_EQ(m_transformer.getLastError(), engineText);

    const std::string source = m_dir.write("d\xC3\xA9j\xC3\xA0.xml", "<doc>\xE2\x82\xAC</doc>");
    EXPECT_EQ(m_transformer.doTransform(source.c_str(), xsl.c_str(), result.c_str()), 0)
        << m_transformer.getLastError();
    EXPECT_EQ(prsm::test::readFile(result), "\xE2\x82\xAC");
}

TEST_F(Transformer, AFunctionWhoseCloneIsNullIsRefusedAndTheTableKept)
{
    struct NullClone : prsm::test::TaggedFunction
    {
        NullClone() : TaggedFunction("null") {}
        TaggedFunction* clone() const override { return nullptr; }
    };
    EXPECT_THROW(m_transformer.installExternalFunction("GetDateTime", NullClone()),
                 std::invalid_argument);
    EXPECT_EQ(
        run(textStylesheet("<xsl:value-of select=\"function-available('prsm:GetDateTime')\"/>")),
        "true");
    EXPECT_EQ(m_status, 0);
}

} // namespace
