// The transformer object: parameters, installed functions, failure texts, file and stream runs.
#include "PRSMXslTransformer.hpp"

#include "QxXsltFunction.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"
#include "support/TransformerAccess.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace
{

using prsm::detail::TransformerAccess;
using prsm::test::readFile;
using prsm::test::TempDir;
using prsm::test::textStylesheet;

// Returns its fixed tag followed by its first argument's string value.
class Tagged : public QxXsltFunction
{
public:
    explicit Tagged(std::string tag) : m_tag(std::move(tag)) {}

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode*,
                               const XObjectArgVectorType& args,
                               const xercesc::Locator*) const override
    {
        I18NString text(m_tag.c_str());
        if (!args.empty())
            text += XalanDOMStringToI18NString(args[0]->str(executionContext));
        return executionContext.getXObjectFactory().createString(I18NStringToXalanDOMString(text));
    }
    Tagged* clone() const override { return new Tagged(*this); }
    xalanc::XalanDOMString getError() const override
    {
        return xalanc::XalanDOMString("Tagged() takes one argument");
    }

private:
    std::string m_tag;
};

class Transformer : public ::testing::Test
{
protected:
    // Runs the stream overload; returns the output without its trailing NUL.
    std::string run(const std::string& stylesheet, const std::string& source = "<doc>v</doc>")
    {
        const std::string xsl = m_dir.write("t.xsl", stylesheet);
        std::istringstream in(source);
        std::ostringstream out;
        m_status = m_transformer.doTransform(in, xsl.c_str(), out);
        std::string text = out.str();
        EXPECT_FALSE(text.empty());
        if (!text.empty())
        {
            EXPECT_EQ(text.back(), '\0');
            text.pop_back();
        }
        return text;
    }

    TempDir m_dir;
    PRSMXslTransformer m_transformer;
    int m_status = -100;
};

TEST_F(Transformer, ParametersReachTheStylesheetAsStrings)
{
    const struct
    {
        const char* name;
        const char* value;
    } cases[] = {
        {"plain", "abc"},
        {"empty", ""},
        {"expression-like", "1+2"},
        {"path-like", "/doc"},
        {"non-ASCII", "K\xC3\xA4se \xE2\x82\xAC \xF0\x9F\x98\x80"},
    };
    const std::string xsl =
        textStylesheet("[<xsl:value-of select='$p'/>]", "<xsl:param name='p'/>");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_transformer.setStylesheetParam("p", c.value);
        EXPECT_EQ(run(xsl), std::string("[") + c.value + "]");
        EXPECT_EQ(m_status, 0);
    }
}

TEST_F(Transformer, ParameterTableKeepsOneQuotedEntryPerNameInOrder)
{
    m_transformer.setStylesheetParam("p", "abc");
    m_transformer.setStylesheetParam("b", "");
    m_transformer.setStylesheetParam("p", "x");
    m_transformer.setStylesheetParam("a", "it's");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"a", "'it's'"}, {"b", "''"}, {"p", "'x'"}};
    EXPECT_EQ(TransformerAccess::parameters(m_transformer), expected);
}

TEST_F(Transformer, NonAsciiParameterNamesWork)
{
    m_transformer.setStylesheetParam("t\xC3\xAFtle", "Gr\xC3\xBC\xC3\x9F"
                                                     "e");
    EXPECT_EQ(run(textStylesheet("<xsl:value-of select='$t\xC3\xAFtle'/>",
                                 "<xsl:param name='t\xC3\xAFtle'/>")),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    EXPECT_EQ(m_status, 0);
}

TEST_F(Transformer, ApostropheInsideAValueBreaksTheLiteral)
{
    m_transformer.setStylesheetParam("p", "it's");
    run(textStylesheet("<xsl:value-of select='$p'/>", "<xsl:param name='p'/>"));
    EXPECT_NE(m_status, 0);
    EXPECT_STRNE(m_transformer.getLastError(), "");
}

TEST_F(Transformer, HostFunctionIsCopiedAndReplacedByName)
{
    {
        const Tagged first("first:");
        m_transformer.installExternalFunction("tag", first);
    }
    const std::string xsl = textStylesheet("<xsl:value-of select='prsm:tag(doc)'/>");
    EXPECT_EQ(run(xsl), "first:v");
    m_transformer.installExternalFunction("tag", Tagged("second:"));
    EXPECT_EQ(run(xsl), "second:v");
    EXPECT_EQ(run(xsl, "<doc>\xC3\xA9</doc>"), "second:\xC3\xA9");

    PRSMXslTransformer other;
    other.installExternalFunction("zeta", Tagged(""));
    other.installExternalFunction("alpha", Tagged(""));
    const auto names = TransformerAccess::functionNames(other);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

TEST_F(Transformer, NodesetIsAvailableInTheEngineNamespace)
{
    const std::string xsl = textStylesheet("<xsl:variable name='t'><a>1</a><a>2</a></xsl:variable>"
                                           "<xsl:value-of select='count(xalan:nodeset($t)/a)'/>");
    EXPECT_EQ(run(xsl), "2");
    EXPECT_EQ(m_status, 0);
}

TEST_F(Transformer, StreamParseFailureWritesNothing)
{
    const std::string xsl = m_dir.write("t.xsl", textStylesheet("x"));
    for (const char* source : {"<doc>", "", "<a></b>"})
    {
        SCOPED_TRACE(source);
        std::istringstream in(source);
        std::ostringstream out;
        EXPECT_NE(m_transformer.doTransform(in, xsl.c_str(), out), 0);
        EXPECT_EQ(out.str(), "");
        EXPECT_STRNE(m_transformer.getLastError(), "");
    }
}

TEST_F(Transformer, StreamWritesTheNulAlsoWhenTheStylesheetFails)
{
    const std::string broken = m_dir.write("broken.xsl", "<xsl:stylesheet");
    std::istringstream in("<doc/>");
    std::ostringstream out;
    EXPECT_NE(m_transformer.doTransform(in, broken.c_str(), out), 0);
    EXPECT_EQ(out.str(), std::string(1, '\0'));

    std::istringstream again("<doc/>");
    std::ostringstream missing;
    EXPECT_NE(m_transformer.doTransform(again, m_dir.path("absent.xsl").c_str(), missing), 0);
    EXPECT_EQ(missing.str(), std::string(1, '\0'));
    EXPECT_STRNE(m_transformer.getLastError(), "");
}

TEST_F(Transformer, FilesTransformWithNonAsciiNames)
{
    const std::string xsl =
        m_dir.write("st\xC3\xBFle.xsl", textStylesheet("<xsl:value-of select='doc'/>"));
    const std::string source = m_dir.write("d\xC3\xA9j\xC3\xA0.xml", "<doc>\xE2\x82\xAC</doc>");
    const std::string result = m_dir.path("r\xC3\xA9sultat.txt");
    EXPECT_EQ(m_transformer.doTransform(source.c_str(), xsl.c_str(), result.c_str()), 0)
        << m_transformer.getLastError();
    EXPECT_EQ(readFile(result), "\xE2\x82\xAC");
}

TEST_F(Transformer, FileFailuresCreateNoResultFile)
{
    const std::string xsl = m_dir.write("t.xsl", textStylesheet("x"));
    const std::string malformed = m_dir.write("bad.xml", "<doc><open></doc>");
    const std::string result = m_dir.path("out.txt");

    EXPECT_NE(m_transformer.doTransform(malformed.c_str(), xsl.c_str(), result.c_str()), 0);
    EXPECT_FALSE(m_dir.exists("out.txt"));
    EXPECT_STRNE(m_transformer.getLastError(), "");

    EXPECT_NE(
        m_transformer.doTransform(m_dir.path("absent.xml").c_str(), xsl.c_str(), result.c_str()),
        0);
    EXPECT_FALSE(m_dir.exists("out.txt"));

    EXPECT_EQ(m_transformer.doTransform("", xsl.c_str(), result.c_str()),
              PRSMXslTransformer::kNoSourceStatus);
    EXPECT_FALSE(m_dir.exists("out.txt"));
    EXPECT_NE(std::string(m_transformer.getLastError()).find("source file name is empty"),
              std::string::npos);
}

TEST_F(Transformer, EngineErrorTextExplainsAFailedTransformation)
{
    run(textStylesheet("<xsl:value-of select='prsm:undefinedFunction()'/>"));
    EXPECT_NE(m_status, 0);
    EXPECT_NE(std::string(m_transformer.getLastError()).find("undefinedFunction"),
              std::string::npos)
        << m_transformer.getLastError();

    EXPECT_EQ(run(textStylesheet("ok")), "ok");
    EXPECT_EQ(m_status, 0);
}

TEST_F(Transformer, RepeatedRunsGiveTheSameResult)
{
    m_transformer.setStylesheetParam("p", "x");
    const std::string xsl =
        textStylesheet("<xsl:value-of select='concat($p, doc)'/>", "<xsl:param name='p'/>");
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(run(xsl), "xv");
}

} // namespace
