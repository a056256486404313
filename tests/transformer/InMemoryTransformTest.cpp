// Transformations from one document handle into another.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "QxXsltFunction.hpp"
#include "support/Handles.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace
{

using prsm::test::Handle;
using prsm::test::kLineEndAndNul;

const char* const kXslHeader = "<xsl:stylesheet version='1.0' "
                               "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>";

// twice(x) gives x twice over.
class Twice : public QxXsltFunction
{
public:
    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& context, xalanc::XalanNode*,
                               const XObjectArgVectorType& args,
                               const xercesc::Locator*) const override
    {
        const I18NString text = XalanDOMStringToI18NString(args.at(0)->str(context));
        return context.getXObjectFactory().createString(I18NStringToXalanDOMString(text + text));
    }
    Twice* clone() const override { return new Twice(*this); }
    xalanc::XalanDOMString getError() const override { return xalanc::XalanDOMString("twice(x)"); }
};

class InMemoryTransformTest : public ::testing::Test
{
protected:
    I18NString write(const char* name, const std::string& content)
    {
        return I18NString(m_dir.write(name, content).c_str());
    }

    prsm::test::TempDir m_dir;
    PRSMXslTransformer m_transformer;
};

TEST_F(InMemoryTransformTest, ChainsTwoTransformationsAndQueriesTheFirstResult)
{
    const I18NString wrap =
        write("wrap.xsl", std::string(kXslHeader) + "<xsl:template match='/'><list>"
                                                    "<xsl:for-each select='doc/v'><i><xsl:value-of "
                                                    "select='.'/></i></xsl:for-each>"
                                                    "</list></xsl:template></xsl:stylesheet>");
    const I18NString count =
        write("count.xsl", std::string(kXslHeader) + "<xsl:template match='/'><n><xsl:value-of "
                                                     "select='count(list/i)'/></n></xsl:template>"
                                                     "</xsl:stylesheet>");
    Handle source(m_transformer);
    Handle first(m_transformer);
    Handle second(m_transformer);
    ASSERT_TRUE(source->InitializeInputSource("<doc><v>\xC3\xA9</v><v>b</v></doc>"));
    ASSERT_TRUE(first->InitializeOutputTarget());
    ASSERT_TRUE(second->InitializeOutputTarget());

    ASSERT_EQ(m_transformer.doTransform(*source, wrap, *first), 0);
    ASSERT_EQ(m_transformer.doTransform(*first, count, *second), 0);

    std::ostringstream firstItem;
    EXPECT_EQ(m_transformer.doXPath(*first, I18NString("list/i[1]"), firstItem), 0);
    EXPECT_EQ(firstItem.str(), "<i>\xC3\xA9</i>");
    EXPECT_EQ(second.serialized(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><n>2</n>" + kLineEndAndNul);

    // The source is used where it lies, so it feeds any number of transformations.
    Handle again(m_transformer);
    ASSERT_TRUE(again->InitializeOutputTarget());
    ASSERT_EQ(m_transformer.doTransform(*source, wrap, *again), 0);
    EXPECT_EQ(again.serialized(), first.serialized());
    EXPECT_STREQ(m_transformer.getLastError(), "");
}

TEST_F(InMemoryTransformTest, GivesTheSameResultAsTheStreamTransformation)
{
    // Locale-aware sorting, number patterns, a parameter, a host function and nodeset: each one
    // needs something that the private engine must be given like the long-lived one.
    const I18NString stylesheet = write(
        "same.xsl", prsm::test::textStylesheet(
                        "<xsl:variable name='rtf'><a>x</a><a>y</a></xsl:variable>"
                        "<xsl:for-each select='doc/w'><xsl:sort select='.'/>"
                        "<xsl:value-of select='.'/>,</xsl:for-each>|"
                        "<xsl:value-of select=\"format-number(1234.5, '#,##0.00')\"/>|"
                        "<xsl:value-of select=\"format-number(0.256, '0.0%')\"/>|"
                        "<xsl:value-of select='$p'/>|<xsl:value-of select='prsm:twice(doc/w[1])'/>|"
                        "<xsl:value-of select='count(xalan:nodeset($rtf)/a)'/>",
                        "<xsl:param name='p' select=\"'unset'\"/>"));
    const char* const document =
        "<doc><w>Zebra</w><w>\xC3\x84pfel</w><w>apple</w><w>Birne</w><w>\xC3\xA4hnlich</w></doc>";
    m_transformer.setStylesheetParam(I18NString("p"), I18NString("K\xC3\xA4se"));
    m_transformer.installExternalFunction(I18NString("twice"), Twice());

    std::istringstream streamSource(document);
    std::ostringstream streamResult;
    ASSERT_EQ(m_transformer.doTransform(streamSource, stylesheet, streamResult), 0)
        << m_transformer.getLastError();
    std::string expected = streamResult.str();
    ASSERT_FALSE(expected.empty());
    expected.pop_back(); // the stream transformation's NUL

    Handle source(m_transformer);
    Handle result(m_transformer);
    std::ostringstream handleResult;
    ASSERT_TRUE(source->InitializeInputSource(document));
    ASSERT_TRUE(result->InitializeOutputTarget(handleResult));
    ASSERT_EQ(m_transformer.doTransform(*source, stylesheet, *result), 0)
        << m_transformer.getLastError();
    EXPECT_EQ(handleResult.str(), expected);
    EXPECT_EQ(handleResult.str(), "\xC3\xA4hnlich,\xC3\x84pfel,apple,Birne,Zebra,|1,234.50|25.6%|"
                                  "K\xC3\xA4se|ZebraZebra|2");
}

// A handle made ready for one side of a transformation, or left as the test found it.
struct Misuse
{
    const char* name;
    std::function<void(Dom2Dom& input, Dom2Dom& output, std::ostream&)> prepare;
    bool sameHandle;
    int status;
    const char* report;
};

const char* const kNoDocument = "The input document handle holds no document: set it up as an "
                                "input, or use an in-memory output handle.\n";
const char* const kNoTarget = "The output document handle is not set up as an output.\n";

TEST_F(InMemoryTransformTest, MisusedHandlesAreRefusedBeforeAnythingRuns)
{
    const Misuse cases[] = {
        {"fresh input", [](Dom2Dom&, Dom2Dom& out, std::ostream&) { out.InitializeOutputTarget(); },
         false, PRSMXslTransformer::kNoDocumentStatus, kNoDocument},
        {"stream output as input",
         [](Dom2Dom& in, Dom2Dom& out, std::ostream& sink)
         {
             in.InitializeOutputTarget(sink);
             out.InitializeOutputTarget();
         },
         false, PRSMXslTransformer::kNoDocumentStatus, kNoDocument},
        {"fresh output",
         [](Dom2Dom& in, Dom2Dom&, std::ostream&) { in.InitializeInputSource("<d/>"); }, false,
         PRSMXslTransformer::kNoTargetStatus, kNoTarget},
        {"input as output",
         [](Dom2Dom& in, Dom2Dom& out, std::ostream&)
         {
             in.InitializeInputSource("<d/>");
             out.InitializeInputSource("<e/>");
         },
         false, PRSMXslTransformer::kNoTargetStatus, kNoTarget},
        {"one handle for both",
         [](Dom2Dom& in, Dom2Dom&, std::ostream&) { in.InitializeOutputTarget(); }, true,
         PRSMXslTransformer::kNoTargetStatus,
         "The output document handle is the input document handle; use two handles.\n"},
    };
    const I18NString stylesheet = write("copy.xsl", prsm::test::textStylesheet("<r/>"));
    for (const Misuse& c : cases)
    {
        SCOPED_TRACE(c.name);
        Handle input(m_transformer);
        Handle output(m_transformer);
        std::ostringstream sink;
        c.prepare(*input, *output, sink);
        Dom2Dom& target = c.sameHandle ? *input : *output;
        EXPECT_EQ(m_transformer.doTransform(*input, stylesheet, target), c.status);
        EXPECT_STREQ(m_transformer.getLastError(), c.report);
        EXPECT_EQ(sink.str(), "");
    }
}

TEST_F(InMemoryTransformTest, AFailedInputAnswersWithItsParseStatusAndChangesNothing)
{
    Handle input(m_transformer);
    Handle output(m_transformer);
    ASSERT_FALSE(input->InitializeInputSource("<unclosed>"));
    ASSERT_TRUE(output->InitializeOutputTarget());
    std::istringstream same("<unclosed>");
    std::ostringstream ignored;
    const int parseStatus = m_transformer.doTransform(same, I18NString("none.xsl"), ignored);
    ASSERT_NE(parseStatus, 0);

    // A stored report first, which the failed input must leave in place.
    Handle fresh(m_transformer);
    ASSERT_EQ(m_transformer.doTransform(*fresh, I18NString("none.xsl"), *output),
              PRSMXslTransformer::kNoDocumentStatus);
    const std::string report = m_transformer.getLastError();
    const std::string before = output.serialized();

    EXPECT_EQ(m_transformer.doTransform(*input, I18NString("none.xsl"), *output), parseStatus);
    EXPECT_EQ(m_transformer.getLastError(), report);
    EXPECT_EQ(output.serialized(), before);
}

TEST_F(InMemoryTransformTest, AMissingOrBrokenStylesheetIsReported)
{
    const I18NString stylesheets[] = {write("broken.xsl", "<xsl:stylesheet version='1.0'"),
                                      I18NString(m_dir.path("missing.xsl").c_str())};
    Handle input(m_transformer);
    ASSERT_TRUE(input->InitializeInputSource("<d/>"));
    for (const I18NString& stylesheet : stylesheets)
    {
        SCOPED_TRACE(stylesheet.c_str());
        Handle output(m_transformer);
        ASSERT_TRUE(output->InitializeOutputTarget());
        EXPECT_EQ(m_transformer.doTransform(*input, stylesheet, *output), -2);
        EXPECT_EQ(std::string(m_transformer.getLastError()).rfind("SAXParseException: ", 0), 0u);
    }
}

} // namespace
