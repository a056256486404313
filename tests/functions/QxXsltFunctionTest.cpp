// A host-written extension function: the string conversions and the engine's copies of it.
#include "QxXsltFunction.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <sstream>

namespace
{

std::atomic<int> g_liveShouts{0};

// Joins its arguments' string values with '+' and wraps them in brackets.
class Shout : public QxXsltFunction
{
public:
    Shout() { ++g_liveShouts; }
    Shout(const Shout& other) : QxXsltFunction(other) { ++g_liveShouts; }
    ~Shout() override { --g_liveShouts; }

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode*,
                               const XObjectArgVectorType& args,
                               const xercesc::Locator*) const override
    {
        I18NString joined("[");
        for (std::size_t i = 0; i < args.size(); ++i)
        {
            if (i > 0)
                joined += I18NString("+");
            joined += XalanDOMStringToI18NString(args[i]->str(executionContext));
        }
        joined += I18NString("]");
        return executionContext.getXObjectFactory().createString(
            I18NStringToXalanDOMString(joined));
    }

    Shout* clone() const override { return new Shout(*this); }

    xalanc::XalanDOMString getError() const override
    {
        return xalanc::XalanDOMString("Shout() takes any arguments");
    }
};

// Made per call: an engine string must not outlive the engine's shut-down at exit.
xalanc::XalanDOMString namespaceUri()
{
    return xalanc::XalanDOMString("urn:test");
}

std::string transform(xalanc::XalanTransformer& transformer, const std::string& stylesheet)
{
    std::istringstream source("<doc><v>\xC3\xA9</v></doc>");
    std::istringstream xsl(stylesheet);
    std::ostringstream out;
    const int status =
        transformer.transform(xalanc::XSLTInputSource(&source), xalanc::XSLTInputSource(&xsl),
                              xalanc::XSLTResultTarget(&out));
    EXPECT_EQ(status, 0) << transformer.getLastError();
    return out.str();
}

const char* const kCallingStylesheet =
    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform' "
    "xmlns:t='urn:test'><xsl:output method='text' encoding='UTF-8'/>"
    "<xsl:template match='/'><xsl:value-of select=\"t:shout(doc/v, 3, '\xF0\x9F\x98\x80')\"/>"
    "</xsl:template></xsl:stylesheet>";

TEST(QxXsltFunction, ConversionsRoundTrip)
{
    const char* const texts[] = {"", "abc", "K\xC3\xA4se", "\xF0\x9D\x84\x9E clef"};
    for (const char* text : texts)
    {
        SCOPED_TRACE(text);
        const I18NString original(text);
        const xalanc::XalanDOMString engine = QxXsltFunction::I18NStringToXalanDOMString(original);
        EXPECT_EQ(engine.length(), original.utf16().size());
        EXPECT_EQ(QxXsltFunction::XalanDOMStringToI18NString(engine), original);
    }
    const xalanc::XalanDOMString pair =
        QxXsltFunction::I18NStringToXalanDOMString(I18NString("\xF0\x9D\x84\x9E"));
    ASSERT_EQ(pair.length(), 2u);
    EXPECT_EQ(pair[0], 0xD834);
    EXPECT_EQ(pair[1], 0xDD1E);
}

TEST(QxXsltFunction, EngineCallsACopyThatOutlivesTheHostObject)
{
    const int before = g_liveShouts;
    {
        xalanc::XalanTransformer transformer;
        {
            Shout shout;
            transformer.installExternalFunction(namespaceUri(), xalanc::XalanDOMString("shout"),
                                                shout);
        }
        EXPECT_EQ(g_liveShouts, before + 1);
        EXPECT_EQ(transform(transformer, kCallingStylesheet), "[\xC3\xA9+3+\xF0\x9F\x98\x80]");
        EXPECT_EQ(transform(transformer, kCallingStylesheet), "[\xC3\xA9+3+\xF0\x9F\x98\x80]");
    }
    EXPECT_EQ(g_liveShouts, before);
}

TEST(QxXsltFunction, EngineCopiesCanBeCopiedAgainAndReplaced)
{
    const int before = g_liveShouts;
    {
        xalanc::XalanTransformer transformer;
        const Shout shout;
        const xalanc::XalanDOMString name("shout");
        transformer.installExternalFunction(namespaceUri(), name, shout);
        transformer.installExternalFunction(namespaceUri(), name, shout);
        std::unique_ptr<xalanc::Function, std::function<void(xalanc::Function*)>> engineCopy(
            static_cast<const xalanc::Function&>(shout).clone(transformer.getMemoryManager()),
            [&](xalanc::Function* f) { xalanc::XalanDestroy(transformer.getMemoryManager(), *f); });
        std::unique_ptr<xalanc::Function, std::function<void(xalanc::Function*)>> secondCopy(
            engineCopy->clone(transformer.getMemoryManager()),
            [&](xalanc::Function* f) { xalanc::XalanDestroy(transformer.getMemoryManager(), *f); });
        EXPECT_EQ(transform(transformer, kCallingStylesheet), "[\xC3\xA9+3+\xF0\x9F\x98\x80]");
        EXPECT_EQ(g_liveShouts, before + 4);
    }
    EXPECT_EQ(g_liveShouts, before);
}

} // namespace
