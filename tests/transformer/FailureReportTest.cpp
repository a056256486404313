// The six failure reports, raised on purpose inside both reporting operations.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "QxXsltFunction.hpp"
#include "support/Handles.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathEnvSupportDefault.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XPath/XalanXPathException.hpp>
#include <xalanc/XSLT/XSLTProcessorException.hpp>
#include <xalanc/XalanDOM/XalanDOMException.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/RuntimeException.hpp>
#include <xercesc/validators/schema/XSDLocator.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace
{

using prsm::test::Handle;

using Manager = xalanc::MemoryManager;

// Each kind of failure: how an extension function raises it, and the reports it must give.
const struct
{
    const char* kind;
    void (*raise)(Manager&);
    int status;
    const char* transformText;
    const char* xpathText; // null: the same as transformText
} kReports[] = {
    {"xsl",
     [](Manager& m)
     {
         xercesc::XSDLocator place; // a place in a stylesheet, as the engine would report it
         place.setValues(u"file:///s\u00e9.xsl", nullptr, 3, 7);
         throw xalanc::XalanXPathException(xalanc::XalanDOMString("boom \xC3\xA9", m), m, &place);
     },
     -1,
     "\nXSLException Type is: XalanXPathException\n"
     "Message is: boom \xC3\xA9 (file:///s\xC3\xA9.xsl, line 3, column 7)\n",
     nullptr},
    {"xsl-nowhere",
     [](Manager& m) { throw xalanc::XSLTProcessorException(m, xalanc::XalanDOMString("lost", m)); },
     -1,
     "\nXSLException Type is: XSLTProcessorException\n"
     "Message is: lost (Unknown URI, line -1, column -1)\n",
     nullptr},
    {"sax-parse",
     [](Manager&) { throw xercesc::SAXParseException(u"bad \u00e9", nullptr, u"in.xml", 4, 2); },
     -2, "SAXParseException: bad \xC3\xA9 (in.xml, line 4, column 2)\n", nullptr},
    {"sax-parse-no-id",
     [](Manager&) { throw xercesc::SAXParseException(u"bad", nullptr, nullptr, 4, 2); }, -2,
     "SAXParseException: bad (Unknown system ID, line 4, column 2)\n", nullptr},
    {"sax-parse-empty-id",
     [](Manager&) { throw xercesc::SAXParseException(u"bad", nullptr, u"", 4, 2); }, -2,
     "SAXParseException: bad (, line 4, column 2)\n", nullptr},
    {"sax", [](Manager&) { throw xercesc::SAXException("plain"); }, -2, "SAXException: plain\n",
     nullptr},
    {"xml",
     [](Manager&) {
         throw xercesc::RuntimeException(__FILE__, __LINE__,
                                         xercesc::XMLExcepts::Gen_NoDTDValidator);
     },
     -3,
     "XMLException:  \n\nType is:  RuntimeException\nMessage is: DOCTYPE declaration was seen "
     "but installed validator does not support DTD\n",
     "XMLException: Type is: RuntimeException\nMessage is: DOCTYPE declaration was seen but "
     "installed validator does not support DTD\n"},
    {"dom",
     [](Manager&)
     { throw xalanc::XalanDOMException(xalanc::XalanDOMException::HIERARCHY_REQUEST_ERR); },
     -4, "XalanDOMException[3] occured.\n", "XalanDOMException caught.  The code is 3.\n"},
    {"other", [](Manager&) { throw std::runtime_error("not one of the engine's"); }, -5,
     "\nUnhandled Exception\n\n", "\nUnhandled Exception\n"},
};

// raise(kind) raises the failure that `kind` names, or returns "ok" for any other kind.
class Raise : public QxXsltFunction
{
public:
    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& context, xalanc::XalanNode*,
                               const XObjectArgVectorType& args,
                               const xercesc::Locator*) const override
    {
        const std::string kind = XalanDOMStringToI18NString(args.at(0)->str(context)).c_str();
        for (const auto& report : kReports)
            if (kind == report.kind)
                report.raise(context.getMemoryManager());
        return context.getXObjectFactory().createString(xalanc::XalanDOMString("ok"));
    }

    Raise* clone() const override { return new Raise(*this); }
    xalanc::XalanDOMString getError() const override { return xalanc::XalanDOMString("raise"); }
};

class FailureReportTest : public ::testing::Test
{
protected:
    // doXPath hands nothing of the transformer to its evaluator; the evaluator does see the
    // engine's global functions.
    void SetUp() override
    {
        m_transformer.installExternalFunction(I18NString("raise"), Raise());
        xalanc::XPathEnvSupportDefault::installExternalFunctionGlobal(
            xalanc::XalanDOMString("urn:test:raise"), xalanc::XalanDOMString("raise"), Raise());
    }

    void TearDown() override
    {
        xalanc::XPathEnvSupportDefault::uninstallExternalFunctionGlobal(
            xalanc::XalanDOMString("urn:test:raise"), xalanc::XalanDOMString("raise"));
    }

    // Raises `kind` inside the in-memory transformation or, for `isQuery`, inside doXPath.
    int raise(const std::string& kind, bool isQuery)
    {
        Handle input(m_transformer);
        Handle output(m_transformer);
        EXPECT_TRUE(input->InitializeInputSource(
            ("<doc xmlns:t='urn:test:raise' kind='" + kind + "'/>").c_str()));
        EXPECT_TRUE(output->InitializeOutputTarget());
        std::ostringstream out;
        return isQuery ? m_transformer.doXPath(*input, ("t:raise('" + kind + "')").c_str(), out)
                       : m_transformer.doTransform(*input, m_stylesheet.c_str(), *output);
    }

    prsm::test::TempDir m_dir;
    const std::string m_stylesheet = m_dir.write(
        "raise.xsl", prsm::test::textStylesheet(
                         "<r><xsl:value-of select='prsm:raise(string(/doc/@kind))'/></r>"));
    PRSMXslTransformer m_transformer;
};

TEST_F(FailureReportTest, EachKindHasItsStatusAndTextInBothAndLaterSuccessesLeaveIt)
{
    for (const auto& r : kReports)
    {
        SCOPED_TRACE(r.kind);
        const char* const xpathText = r.xpathText ? r.xpathText : r.transformText;
        EXPECT_EQ(raise(r.kind, false), r.status);
        EXPECT_STREQ(m_transformer.getLastError(), r.transformText);
        EXPECT_EQ(raise("none", true), 0);
        EXPECT_STREQ(m_transformer.getLastError(), r.transformText);

        EXPECT_EQ(raise(r.kind, true), r.status);
        EXPECT_STREQ(m_transformer.getLastError(), xpathText);
        EXPECT_EQ(raise("none", false), 0);
        EXPECT_STREQ(m_transformer.getLastError(), xpathText);
    }
}

} // namespace
