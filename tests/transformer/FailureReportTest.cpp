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
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/RuntimeException.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace
{

using prsm::test::Handle;

// A place in a stylesheet, as the engine would report it.
class Place : public xercesc::Locator
{
public:
    const XMLCh* getPublicId() const override { return nullptr; }
    const XMLCh* getSystemId() const override { return u"file:///s\u00e9.xsl"; }
    XMLFileLoc getLineNumber() const override { return 3; }
    XMLFileLoc getColumnNumber() const override { return 7; }
};

// raise(kind) throws the exception named by its argument; a test of every catch clause.
class Raise : public QxXsltFunction
{
public:
    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& context, xalanc::XalanNode*,
                               const XObjectArgVectorType& args,
                               const xercesc::Locator*) const override
    {
        const std::string kind = XalanDOMStringToI18NString(args.at(0)->str(context)).c_str();
        xalanc::MemoryManager& manager = context.getMemoryManager();
        const Place place;
        if (kind == "xsl")
            throw xalanc::XalanXPathException(xalanc::XalanDOMString("boom \xC3\xA9", manager),
                                              manager, &place);
        if (kind == "xsl-nowhere")
            throw xalanc::XSLTProcessorException(manager, xalanc::XalanDOMString("lost", manager));
        if (kind == "sax-parse")
            throw xercesc::SAXParseException(u"bad \u00e9", nullptr, u"in.xml", 4, 2);
        if (kind == "sax-parse-no-id")
            throw xercesc::SAXParseException(u"bad", nullptr, nullptr, 4, 2);
        if (kind == "sax-parse-empty-id")
            throw xercesc::SAXParseException(u"bad", nullptr, u"", 4, 2);
        if (kind == "sax")
            throw xercesc::SAXException("plain");
        if (kind == "xml")
            throw xercesc::RuntimeException(__FILE__, __LINE__,
                                            xercesc::XMLExcepts::Gen_NoDTDValidator);
        if (kind == "dom")
            throw xalanc::XalanDOMException(xalanc::XalanDOMException::HIERARCHY_REQUEST_ERR);
        throw std::runtime_error("not one of the engine's");
    }

    Raise* clone() const override { return new Raise(*this); }
    xalanc::XalanDOMString getError() const override
    {
        return xalanc::XalanDOMString("raise(kind)");
    }
};

struct Report
{
    const char* kind;
    int status;
    const char* transformText;
    const char* xpathText;
};

const char* const kXslText =
    "\nXSLException Type is: XalanXPathException\n"
    "Message is: boom \xC3\xA9 (file:///s\xC3\xA9.xsl, line 3, column 7)\n";
const char* const kXslNowhereText = "\nXSLException Type is: XSLTProcessorException\n"
                                    "Message is: lost (Unknown URI, line -1, column -1)\n";

const Report kReports[] = {
    {"xsl", -1, kXslText, kXslText},
    {"xsl-nowhere", -1, kXslNowhereText, kXslNowhereText},
    {"sax-parse", -2, "SAXParseException: bad \xC3\xA9 (in.xml, line 4, column 2)\n",
     "SAXParseException: bad \xC3\xA9 (in.xml, line 4, column 2)\n"},
    {"sax-parse-no-id", -2, "SAXParseException: bad (Unknown system ID, line 4, column 2)\n",
     "SAXParseException: bad (Unknown system ID, line 4, column 2)\n"},
    {"sax-parse-empty-id", -2, "SAXParseException: bad (, line 4, column 2)\n",
     "SAXParseException: bad (, line 4, column 2)\n"},
    {"sax", -2, "SAXException: plain\n", "SAXException: plain\n"},
    {"xml", -3, "XMLException:  \n\nType is:  RuntimeException\nMessage is: XMLMESSAGE\n",
     "XMLException: Type is: RuntimeException\nMessage is: XMLMESSAGE\n"},
    {"dom", -4, "XalanDOMException[3] occured.\n", "XalanDOMException caught.  The code is 3.\n"},
    {"other", -5, "\nUnhandled Exception\n\n", "\nUnhandled Exception\n"},
};

const char* const kRaiseNamespace = "urn:test:raise";

class FailureReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_transformer.installExternalFunction(I18NString("raise"), Raise());
        // doXPath hands nothing of the transformer to its evaluator; the evaluator does see the
        // engine's global functions.
        xalanc::XPathEnvSupportDefault::installExternalFunctionGlobal(
            xalanc::XalanDOMString(kRaiseNamespace), xalanc::XalanDOMString("raise"), Raise());
        m_stylesheet = m_dir.write(
            "raise.xsl",
            prsm::test::textStylesheet("<xsl:value-of select='prsm:raise(string(/doc/@kind))'/>"));
    }

    void TearDown() override
    {
        xalanc::XPathEnvSupportDefault::uninstallExternalFunctionGlobal(
            xalanc::XalanDOMString(kRaiseNamespace), xalanc::XalanDOMString("raise"));
    }

    int transform(const std::string& kind)
    {
        Handle input(m_transformer);
        Handle output(m_transformer);
        const std::string text = "<doc kind='" + kind + "'/>";
        EXPECT_TRUE(input->InitializeInputSource(text.c_str()));
        EXPECT_TRUE(output->InitializeOutputTarget());
        return m_transformer.doTransform(*input, I18NString(m_stylesheet.c_str()), *output);
    }

    int query(const std::string& kind)
    {
        Handle input(m_transformer);
        EXPECT_TRUE(input->InitializeInputSource("<doc xmlns:t='urn:test:raise'/>"));
        std::ostringstream out;
        const int status =
            m_transformer.doXPath(*input, I18NString(("t:raise('" + kind + "')").c_str()), out);
        EXPECT_EQ(out.str(), "");
        return status;
    }

    prsm::test::TempDir m_dir;
    std::string m_stylesheet;
    PRSMXslTransformer m_transformer;
};

std::string withXmlMessage(const char* text)
{
    const xercesc::RuntimeException sample(__FILE__, __LINE__,
                                           xercesc::XMLExcepts::Gen_NoDTDValidator);
    std::string result = text;
    const std::string placeholder = "XMLMESSAGE";
    const auto at = result.find(placeholder);
    if (at != std::string::npos)
        result.replace(
            at, placeholder.size(),
            QxXsltFunction::XalanDOMStringToI18NString(xalanc::XalanDOMString(sample.getMessage()))
                .c_str());
    return result;
}

TEST_F(FailureReportTest, EachKindHasItsStatusAndItsTextInBothOperations)
{
    for (const Report& r : kReports)
    {
        SCOPED_TRACE(r.kind);
        EXPECT_EQ(transform(r.kind), r.status);
        EXPECT_EQ(m_transformer.getLastError(), withXmlMessage(r.transformText));
        EXPECT_EQ(query(r.kind), r.status);
        EXPECT_EQ(m_transformer.getLastError(), withXmlMessage(r.xpathText));
    }
}

TEST_F(FailureReportTest, ALaterSuccessLeavesTheReportInPlace)
{
    ASSERT_EQ(transform("dom"), -4);
    const std::string report = m_transformer.getLastError();

    Handle input(m_transformer);
    Handle output(m_transformer);
    ASSERT_TRUE(input->InitializeInputSource("<doc/>"));
    ASSERT_TRUE(output->InitializeOutputTarget());
    const std::string quiet = m_dir.write("quiet.xsl", prsm::test::textStylesheet("<ok/>"));
    EXPECT_EQ(m_transformer.doTransform(*input, I18NString(quiet.c_str()), *output), 0);
    std::ostringstream out;
    EXPECT_EQ(m_transformer.doXPath(*input, I18NString("string(/)"), out), 0);
    EXPECT_EQ(m_transformer.getLastError(), report);
}

} // namespace
