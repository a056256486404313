// The transformer object: stylesheet parameters, an empty source file name, the eight built-in
// functions as stylesheets meet them, and host functions that replace them.
#include "PRSMXslTransformer.hpp"

#include "QxXsltFunction.hpp"
#include "support/FakeClock.hpp"
#include "support/HostFunction.hpp"
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

namespace
{

using prsm::test::textStylesheet;

class Transformer : public prsm::test::StylesheetTest
{
protected:
    prsm::test::FakeClock m_clock{"20240315090503042"};
};

TEST_F(Transformer, ParametersReachTheStylesheetAsQuotedStrings)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "[]"},         {"1+2", "[1+2]"},
        {"/doc", "[/doc]"}, {"K\xC3\xA4se \xF0\x9F\x98\x80", "[K\xC3\xA4se \xF0\x9F\x98\x80]"},
        {"it's", nullptr}, // null: the transformation fails, as the apostrophe ends the literal
    };
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

TEST_F(Transformer, ExactStringParametersReachTheStylesheetAsTheyAre)
{
    const std::string xsl =
        textStylesheet("[<xsl:value-of select='$p'/>]", "<xsl:param name='p'/>");
    for (const char* value : {"", "it's", "say \"hi\"", "both ' and \"", "x' or '1'='1", "'",
                              "''\"\"", "concat('a', $p)", "K\xC3\xA4se"})
    {
        SCOPED_TRACE(value);
        m_transformer.setStylesheetParamString("p", value);
        EXPECT_EQ(run(xsl), "[" + std::string(value) + "]");
        EXPECT_EQ(m_status, 0) << m_transformer.getLastError();
    }
    EXPECT_THROW(m_transformer.setStylesheetParamString("", "v"), std::invalid_argument);
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

// A new transformer offers the eight, each with its own count text.
TEST_F(Transformer, WrongArgumentCountsEndTheTransformationWithTheCountText)
{
    const struct
    {
        const char* name;
        std::size_t arity;
        const char* countText;
    } builtins[] = {
        {"GetDateTime", 0, "qxfunc:GetDateTime() function takes no arguments!"},
        {"GetLocalizedString", 2, "The FunctionGetLocalizedString() function takes 2 arguments!"},
        {"TimerCreate", 0, "The TimerCreate() function takes no arguments!"},
        {"TimerDestroy", 1, "The TimerDestroyID() function takes 1 argument!"},
        {"TimerReset", 1, "The TimerReset() function takes 1 argument!"},
        {"TimerStart", 1, "qxfunc:TimerStart() function takes 1 argument!"},
        {"TimerStop", 1, "The TimerStop() function takes 1 argument!"},
        {"TimerTotal", 1, "The TimerTotal() function takes 1 argument!"},
    };
    const int lastId = std::atoi(valueOf("prsm:TimerCreate()").c_str());
    for (const auto& b : builtins)
    {
        EXPECT_EQ(valueOf(std::string("function-available('prsm:") + b.name + "')"), "true");
        for (const std::size_t count : {b.arity + 1, b.arity == 0 ? 1 : b.arity - 1})
        {
            std::string call = std::string("prsm:") + b.name + "(";
            for (std::size_t i = 0; i < count; ++i)
                call += i == 0 ? "'1'" : ", '1'";
            SCOPED_TRACE(call + ")");
            EXPECT_EQ(valueOf(call + ")"), "");
            EXPECT_NE(m_status, 0);
            EXPECT_NE(std::string(m_transformer.getLastError())
                          .find(std::string("XPath error: ") + b.countText + " ("),
                      std::string::npos)
                << m_transformer.getLastError();
        }
    }
    // Refused before any work: the TimerCreate calls above did not count.
    EXPECT_EQ(valueOf("prsm:TimerCreate()"), std::to_string(lastId + 1));
}

TEST_F(Transformer, TimeOfDayTimerClockAndIdsAndLocalizedMessages)
{
    // TimerStart returns the month clock in milliseconds as a signed number.
    const char* const start = "prsm:TimerStart(prsm:TimerCreate())";
    const struct
    {
        const char* stamp;
        const char* expression;
        const char* result;
    } cases[] = {
        {"20240315090503042", "prsm:GetDateTime()", "09:05:03.042"},
        {"2024031509050304256789", "prsm:GetDateTime()", "09:05:03.04256"}, // five digits at most
        {"2024031509", "prsm:GetDateTime()", "09::."}, // a short stamp gives empty pieces
        {"20240102000001000", start, "172801000"},
        {"19991202000001000", start, "172801000"}, // year and month take no part
        {"20240124203123647", start, "2147483647"},
        {"20240124203123648", start, "-2147483648"},
        {"20240131235959999123", start, "-1530167297"}, // extra fraction digits are ignored
        {"2024010112", start, "129600000"},             // fields the stamp lacks count as 0
        {"garbage", start, "0"},
        {"", "prsm:GetLocalizedString('3', 'today')", "Last modified on today"},
        {"", "prsm:GetLocalizedString(18, 'me')", "Report generated by me"},
        {"", "prsm:GetLocalizedString('19', 'x')", ""},
        {"", "prsm:GetLocalizedString(-1, 'x')", ""},
        {"", "prsm:GetLocalizedString('abc', '7')", "Page 7"},
        {"", "prsm:GetLocalizedString(' 7 items', 2)", "Table 2"},
        {"", "prsm:GetLocalizedString(2.9, 'May')", "Created on May"},
        {"", "prsm:GetLocalizedString(0, '\xC3\xA9t\xC3\xA9')", "Page \xC3\xA9t\xC3\xA9"},
        // Indexes and timer ids are read like atoi, clamped to 32 bits.
        {"", "prsm:GetLocalizedString('&#9;&#10; 12abc', 'x')", "End of document"},
        {"", "prsm:GetLocalizedString('+5x', 'x')", "Chapter x"},
        {"", "prsm:GetLocalizedString('- 5', 'x')", "Page x"},
        {"", "prsm:GetLocalizedString('0x1F', 'x')", "Page x"},
        {"20240301000000000", "prsm:TimerStart('99999999999')", "86400000"},
        {"20240301000001500", "prsm:TimerTotal(2147483647)", "   1.500"}, // the same timer
        {"20240301000000000", "prsm:TimerStart('-99999999999')", "86400000"},
        {"20240301000002500", "prsm:TimerTotal(-2147483648)", "   2.500"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.stamp) + " " + c.expression);
        m_clock.setStamp(c.stamp);
        EXPECT_EQ(valueOf(c.expression), c.result);
        EXPECT_EQ(m_status, 0) << m_transformer.getLastError();
    }
    std::set<std::string> messages; // every index of the table names a message of its own
    for (int index = 0; index < 19; ++index)
        messages.insert(valueOf("prsm:GetLocalizedString(" + std::to_string(index) + ", 'x')"));
    EXPECT_EQ(messages.size(), 19u);
    EXPECT_EQ(messages.count(""), 0u);
}

TEST_F(Transformer, AHostFunctionIsCopiedReplacesByNameForOneTransformerAndIsFreed)
{
    struct NullClone : prsm::test::TaggedFunction
    {
        NullClone() : TaggedFunction("null") {}
        TaggedFunction* clone() const override { return nullptr; }
    };
    const int before = prsm::test::g_liveTaggedFunctions;
    {
        PRSMXslTransformer host; // its engine makes and frees copies of its own
        host.installExternalFunction("GetDateTime", prsm::test::TaggedFunction("first:"));
        PRSMXslTransformer later;
        const std::string call = "prsm:GetDateTime(doc, 3, '\xF0\x9F\x98\x80')";
        EXPECT_EQ(valueOf(call, &host), "first:v+3+\xF0\x9F\x98\x80");
        host.installExternalFunction("GetDateTime", prsm::test::TaggedFunction("second:\xC3\xA9"));
        // A function without a copy is refused and leaves the table as it was.
        EXPECT_THROW(host.installExternalFunction("GetDateTime", NullClone()),
                     std::invalid_argument);
        EXPECT_EQ(valueOf(call, &host), "second:\xC3\xA9v+3+\xF0\x9F\x98\x80");
        EXPECT_EQ(valueOf("prsm:GetDateTime()"), "09:05:03.042");
        EXPECT_EQ(valueOf("prsm:GetDateTime()", &later), "09:05:03.042");
    }
    EXPECT_EQ(prsm::test::g_liveTaggedFunctions, before);
}

} // namespace

namespace
{

// A host function that runs a transformation on the transformer it was installed in and returns
// that transformation's status and text.
class CallingBack : public QxXsltFunction
{
public:
    CallingBack(PRSMXslTransformer& transformer, std::string stylesheet)
        : m_transformer(transformer), m_stylesheet(std::move(stylesheet))
    {
    }

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& context, xalanc::XalanNode*,
                               const XObjectArgVectorType&, const xercesc::Locator*) const override
    {
        int status = 0;
        const std::string text =
            prsm::test::transformStream(m_transformer, m_stylesheet, "<doc/>", status);
        const std::string answer = std::to_string(status) + ":" + m_transformer.getLastError();
        return context.getXObjectFactory().createString(
            I18NStringToXalanDOMString(I18NString((answer + text).c_str())));
    }
    CallingBack* clone() const override { return new CallingBack(*this); }
    xalanc::XalanDOMString getError() const override { return xalanc::XalanDOMString("none"); }

private:
    PRSMXslTransformer& m_transformer;
    std::string m_stylesheet;
};

TEST_F(Transformer, AHostFunctionCannotStartATransformationOnItsOwnTransformer)
{
    const std::string inner = m_dir.write("inner.xsl", textStylesheet("inner"));
    m_transformer.installExternalFunction("Again", CallingBack(m_transformer, inner));
    const std::string answer = valueOf("prsm:Again()");
    EXPECT_EQ(m_status, 0);
    EXPECT_EQ(answer.rfind("-1:", 0), 0u) << answer;
    EXPECT_NE(answer.find("already running a transformation"), std::string::npos) << answer;
    // Both transformers work on afterwards, and another transformer may be called back into.
    EXPECT_EQ(valueOf("'after'"), "after");
    PRSMXslTransformer other;
    m_transformer.installExternalFunction("Again", CallingBack(other, inner));
    EXPECT_EQ(valueOf("prsm:Again()"), "0:inner");
}

// A host function in a template's pattern runs a transformation of its own, with templates in
// modes, on another transformer while the outer one is choosing a template for the node.
TEST_F(Transformer, AHostFunctionInAPatternMayTransformOnAnotherTransformer)
{
    const std::string inner = m_dir.write(
        "inner.xsl", textStylesheet("<xsl:apply-templates select='/*' mode='q'/>",
                                    "<xsl:template match='*' mode='q'>inner</xsl:template>"));
    PRSMXslTransformer other;
    m_transformer.installExternalFunction("Again", CallingBack(other, inner));
    const std::string outer = textStylesheet(
        "<xsl:apply-templates select='//a' mode='m'/>",
        "<xsl:template match='a' mode='m'>[<xsl:value-of select='.'/>]</xsl:template>"
        "<xsl:template match=\"a[prsm:Again() = 'never']\" mode='m'>again</xsl:template>"
        "<xsl:template match='a[false()]' mode='m'>false</xsl:template>");
    EXPECT_EQ(run(outer, "<doc><a>1</a><a>2</a></doc>"), "[1][2]") << m_transformer.getLastError();
    EXPECT_EQ(m_status, 0);
}

} // namespace
