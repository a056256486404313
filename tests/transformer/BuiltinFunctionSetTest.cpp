// The built-in functions as stylesheets meet them: the set, their results, ids and misuse.
#include "PRSMXslTransformer.hpp"
#include "QxXsltFunction.hpp"
#include "support/FakeClock.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"
#include "support/TransformerAccess.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace
{

using prsm::detail::TransformerAccess;
using prsm::test::FakeClock;
using prsm::test::TempDir;
using prsm::test::textStylesheet;

// A host's own time of day.
class FixedTime : public QxXsltFunction
{
public:
    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode*,
                               const XObjectArgVectorType&, const xercesc::Locator*) const override
    {
        return executionContext.getXObjectFactory().createString(
            xalanc::XalanDOMString("host time"));
    }
    FixedTime* clone() const override { return new FixedTime(*this); }
    xalanc::XalanDOMString getError() const override
    {
        return xalanc::XalanDOMString("FixedTime() takes no arguments");
    }
};

class BuiltinFunctions : public ::testing::Test
{
protected:
    // Runs `body` as the template of a text stylesheet over `source` by the stream overload;
    // returns the output without its trailing NUL and leaves the status in m_status.
    std::string run(PRSMXslTransformer& transformer, const std::string& body,
                    const std::string& source = "<doc/>")
    {
        const std::string xsl = m_dir.write("t.xsl", textStylesheet(body));
        std::istringstream in(source);
        std::ostringstream out;
        m_status = transformer.doTransform(in, xsl.c_str(), out);
        std::string text = out.str();
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        return text;
    }

    std::string run(const std::string& body, const std::string& source = "<doc/>")
    {
        return run(m_transformer, body, source);
    }

    std::string valueOf(PRSMXslTransformer& transformer, const std::string& expression)
    {
        return run(transformer, "<xsl:value-of select=\"" + expression + "\"/>");
    }

    FakeClock m_clock{"20240315090503042"};
    TempDir m_dir;
    PRSMXslTransformer m_transformer;
    int m_status = -100;
};

TEST_F(BuiltinFunctions, ANewTransformerHoldsExactlyTheEight)
{
    const std::vector<std::string> expected = {
        "GetDateTime", "GetLocalizedString", "TimerCreate", "TimerDestroy",
        "TimerReset",  "TimerStart",         "TimerStop",   "TimerTotal",
    };
    EXPECT_EQ(TransformerAccess::functionNames(m_transformer), expected);
}

TEST_F(BuiltinFunctions, StylesheetsCallThemInTheExtensionNamespace)
{
    EXPECT_EQ(valueOf(m_transformer, "prsm:GetDateTime()"), "09:05:03.042");
    EXPECT_EQ(run("<xsl:value-of select=\"prsm:GetLocalizedString(doc/@n, doc/t)\"/>",
                  "<doc n='3'><t>Monday</t><t>Tuesday</t></doc>"),
              "Last modified on Monday");
    EXPECT_EQ(m_status, 0);

    // One stylesheet drives a timer through its whole life; results are strings that
    // number() turns back into numbers.
    const std::string body = "<xsl:variable name='id' select='prsm:TimerCreate()'/>"
                             "<xsl:value-of select='prsm:TimerStart($id)'/>|"
                             "<xsl:value-of select='prsm:TimerStop($id)'/>|"
                             "<xsl:value-of select='number(prsm:TimerTotal($id)) + 1'/>|"
                             "<xsl:value-of select='prsm:TimerReset($id)'/>|"
                             "<xsl:value-of select='prsm:TimerDestroy(number($id) + 0.7)'/>";
    EXPECT_EQ(run(body), "1328703042|   0.000|1|   0.000|   0.000");
    EXPECT_EQ(m_status, 0) << m_transformer.getLastError();
}

TEST_F(BuiltinFunctions, IdsCountOnAcrossTransformers)
{
    PRSMXslTransformer other;
    const int first = std::atoi(valueOf(m_transformer, "prsm:TimerCreate()").c_str());
    ASSERT_GT(first, 0);
    EXPECT_EQ(valueOf(other, "prsm:TimerCreate()"), std::to_string(first + 1));
    EXPECT_EQ(valueOf(m_transformer, "prsm:TimerCreate()"), std::to_string(first + 2));

    // A timer started by one transformer is read by another: the table is the process's.
    const std::string id = std::to_string(first + 1);
    valueOf(m_transformer, "prsm:TimerStart(" + id + ")");
    m_clock.setStamp("20240315090504542");
    EXPECT_EQ(valueOf(other, "prsm:TimerStop(" + id + ")"), "   1.500");
}

TEST_F(BuiltinFunctions, WrongArgumentCountsEndTheTransformation)
{
    const struct
    {
        const char* call;
        const char* countText;
    } cases[] = {
        {"prsm:GetLocalizedString(1)",
         "The FunctionGetLocalizedString() function takes 2 arguments!"},
        {"prsm:GetDateTime(1)", "qxfunc:GetDateTime() function takes no arguments!"},
        {"prsm:TimerCreate(1)", "The TimerCreate() function takes no arguments!"},
        {"prsm:TimerStart()", "qxfunc:TimerStart() function takes 1 argument!"},
        {"prsm:TimerStop(1, 2)", "The TimerStop() function takes 1 argument!"},
        {"prsm:TimerTotal()", "The TimerTotal() function takes 1 argument!"},
        {"prsm:TimerReset()", "The TimerReset() function takes 1 argument!"},
        {"prsm:TimerDestroy()", "The TimerDestroyID() function takes 1 argument!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.call);
        const std::string out =
            run(std::string("before|<xsl:value-of select='") + c.call + "'/>|after");
        EXPECT_EQ(out.find("after"), std::string::npos) << out;
        EXPECT_NE(m_status, 0);
        EXPECT_NE(std::string(m_transformer.getLastError()).find(c.countText), std::string::npos)
            << m_transformer.getLastError();
    }
}

TEST_F(BuiltinFunctions, AHostReplacesABuiltinForOneTransformerOnly)
{
    PRSMXslTransformer other;
    m_transformer.installExternalFunction("GetDateTime", FixedTime());
    EXPECT_EQ(TransformerAccess::functionNames(m_transformer).size(), 8u);
    EXPECT_EQ(valueOf(m_transformer, "prsm:GetDateTime()"), "host time");
    EXPECT_EQ(valueOf(m_transformer, "prsm:GetDateTime()"), "host time");
    EXPECT_EQ(valueOf(other, "prsm:GetDateTime()"), "09:05:03.042");
    PRSMXslTransformer later;
    EXPECT_EQ(valueOf(later, "prsm:GetDateTime()"), "09:05:03.042");
}

} // namespace
