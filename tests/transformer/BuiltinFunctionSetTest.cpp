// The eight built-in functions as transformers hold them and stylesheets meet them, and host
// functions that replace them.
#include "PRSMXslTransformer.hpp"
#include "QxXsltFunction.hpp"
#include "support/FakeClock.hpp"
#include "support/HostFunction.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"
#include "support/TransformerAccess.hpp"

#include <xalanc/XPath/XPathExecutionContextDefault.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <set>
#include <string>

namespace
{

using prsm::detail::TransformerAccess;

// Each built-in in table order, with its texts and where an empty first argument is reported.
const struct
{
    const char* name;
    std::size_t arity;
    const char* countText;
    const char* usage;
    const char* assertion; // "unit:line", for functions with arguments
} kBuiltins[] = {
    {"GetDateTime", 0, "qxfunc:GetDateTime() function takes no arguments!",
     "qxfunc:GetDateTime() function takes no arguments!", ""},
    {"GetLocalizedString", 2, "The FunctionGetLocalizedString() function takes 2 arguments!",
     "qxfunc:GetLocalizedString() takes one argument", "QxXsltFunctionResAccess:26"},
    {"TimerCreate", 0, "The TimerCreate() function takes no arguments!",
     "qxfunc:TimerCreate() takes no arguments!", ""},
    {"TimerDestroy", 1, "The TimerDestroyID() function takes 1 argument!",
     "qxfunc:TimerDestroy() takes a single timer id argument!", "QxXsltFunctionTimer:432"},
    {"TimerReset", 1, "The TimerReset() function takes 1 argument!",
     "qxfunc:TimerReset() takes a single timer id argument!", "QxXsltFunctionTimer:351"},
    {"TimerStart", 1, "qxfunc:TimerStart() function takes 1 argument!",
     "qxfunc:TimerStart() takes a single timer id argument!", "QxXsltFunctionTimer:139"},
    {"TimerStop", 1, "The TimerStop() function takes 1 argument!",
     "qxfunc:TimerStop() takes a single timer id argument!", "QxXsltFunctionTimer:205"},
    {"TimerTotal", 1, "The TimerTotal() function takes 1 argument!",
     "qxfunc:TimerTotal() takes a single timer id argument!", "QxXsltFunctionTimer:274"},
};

class BuiltinFunctions : public ::testing::Test
{
protected:
    // The text of `expression` in a stylesheet run by `transformer`; the status goes to m_status.
    std::string valueOf(const std::string& expression, PRSMXslTransformer* transformer = nullptr)
    {
        const std::string xsl = m_dir.write(
            "t.xsl", prsm::test::textStylesheet("<xsl:value-of select=\"" + expression + "\"/>"));
        return prsm::test::transformStream(transformer ? *transformer : m_transformer, xsl,
                                           "<doc>v</doc>", m_status);
    }

    prsm::test::FakeClock m_clock{"20240315090503042"};
    prsm::test::TempDir m_dir;
    PRSMXslTransformer m_transformer;
    int m_status = -100;
};

TEST_F(BuiltinFunctions, ANewTransformerHoldsTheEightWithTheirUsageAndAssertion)
{
    xalanc::XPathExecutionContextDefault context(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
    const auto& table = TransformerAccess::functions(m_transformer);
    EXPECT_EQ(table.size(), std::size(kBuiltins));
    for (const auto& b : kBuiltins)
    {
        SCOPED_TRACE(b.name);
        const QxXsltFunction& function = *table.at(b.name);
        EXPECT_EQ(QxXsltFunction::XalanDOMStringToI18NString(function.getError()),
                  I18NString(b.usage));
        if (b.arity == 0)
            continue;
        // Only a host calling execute() directly can pass empty objects; stylesheets never do.
        const xalanc::Function::XObjectArgVectorType empty(b.arity, xalanc::XObjectPtr(),
                                                           context.getMemoryManager());
        try
        {
            function.execute(context, nullptr, empty, nullptr);
            ADD_FAILURE() << "no assertion raised";
        }
        catch (const ZBLAssertError& e)
        {
            EXPECT_STREQ(e.what(), "ZBL_ASSERT(args[0].null() == false);");
            EXPECT_EQ(e.sourceUnit() + ":" + std::to_string(e.line()), b.assertion);
            EXPECT_EQ(e.macro(), "ZBL_THROW");
        }
    }
}

TEST_F(BuiltinFunctions, WrongArgumentCountsEndTheTransformationWithTheCountText)
{
    const int lastId = std::atoi(valueOf("prsm:TimerCreate()").c_str());
    for (const auto& b : kBuiltins)
    {
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

TEST_F(BuiltinFunctions, TimeOfDayAndLocalizedMessagesInStylesheets)
{
    const struct
    {
        const char* stamp;
        const char* expression;
        const char* result;
    } cases[] = {
        {"20240315090503042", "prsm:GetDateTime()", "09:05:03.042"},
        {"2024031509050304256789", "prsm:GetDateTime()", "09:05:03.04256"}, // five digits at most
        {"2024031509", "prsm:GetDateTime()", "09::."}, // a short stamp gives empty pieces
        {"", "prsm:GetLocalizedString('3', 'today')", "Last modified on today"},
        {"", "prsm:GetLocalizedString(18, 'me')", "Report generated by me"},
        {"", "prsm:GetLocalizedString('19', 'x')", ""},
        {"", "prsm:GetLocalizedString(-1, 'x')", ""},
        {"", "prsm:GetLocalizedString('abc', '7')", "Page 7"},
        {"", "prsm:GetLocalizedString(' 7 items', 2)", "Table 2"},
        {"", "prsm:GetLocalizedString(2.9, 'May')", "Created on May"},
        {"", "prsm:GetLocalizedString(0, '\xC3\xA9t\xC3\xA9')", "Page \xC3\xA9t\xC3\xA9"},
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

TEST_F(BuiltinFunctions, AHostFunctionIsCopiedReplacesByNameForOneTransformerAndIsFreed)
{
    const int before = prsm::test::g_liveTaggedFunctions;
    {
        PRSMXslTransformer host; // its engine makes and frees copies of its own
        host.installExternalFunction("GetDateTime", prsm::test::TaggedFunction("first:"));
        PRSMXslTransformer later;
        const std::string call = "prsm:GetDateTime(doc, 3, '\xF0\x9F\x98\x80')";
        EXPECT_EQ(valueOf(call, &host), "first:v+3+\xF0\x9F\x98\x80");
        host.installExternalFunction("GetDateTime", prsm::test::TaggedFunction("second:\xC3\xA9"));
        EXPECT_EQ(valueOf(call, &host), "second:\xC3\xA9v+3+\xF0\x9F\x98\x80");
        EXPECT_EQ(valueOf("prsm:GetDateTime()"), "09:05:03.042");
        EXPECT_EQ(valueOf("prsm:GetDateTime()", &later), "09:05:03.042");
    }
    EXPECT_EQ(prsm::test::g_liveTaggedFunctions, before);
}

} // namespace
