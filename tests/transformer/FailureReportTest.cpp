// Failures: the six reports, raised on purpose inside both reporting operations, and failing
// calls on every path with their statuses, what they leave behind and a silent stderr.
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

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

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

class FailureReportTest : public prsm::test::StylesheetTest
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

    const std::string m_stylesheet = m_dir.write(
        "raise.xsl", prsm::test::textStylesheet(
                         "<r><xsl:value-of select='prsm:raise(string(/doc/@kind))'/></r>"));
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

struct Failure
{
    const char* path;       // "file", "stream", "handle" or "query"
    const char* source;     // null: no such file
    std::string stylesheet; // the expression, for a query; empty: no such file
    int status;
    std::string written;   // the stream's bytes; for a file run, whether a result file exists
    std::string errorPart; // a piece of getLastError()
};

TEST(QuietEngine, FailuresWriteOnlyWhatTheyMustAndNothingToStandardError)
{
    const std::string good = prsm::test::textStylesheet("x");
    const std::string badPath = prsm::test::textStylesheet("<xsl:value-of select='///'/>");
    const std::string undefined =
        prsm::test::textStylesheet("<xsl:value-of select='prsm:undefined()'/>");
    const std::string nul(1, '\0');
    // A source that does not parse stops a stream run before it writes; afterwards only the NUL.
    const std::string unclosed = "last tag started is 'doc'";
    const std::string missing = "unable to determine file base pathname";
    const Failure failures[] = {
        {"file", "<doc>", good, -2, "", unclosed},
        {"file", nullptr, good, -2, "", missing},
        {"stream", "<doc>", good, -2, "", unclosed},
        {"stream", "", good, -2, "", "invalid document structure"},
        {"stream", "<doc/>", "<xsl:stylesheet", -2, nul, "t.xsl', at line 1, column 16"},
        {"stream", "<doc/>", "", -2, nul, missing},
        {"stream", "<doc/>", badPath, -1, nul, "An axis or node test was expected"},
        {"stream", "<doc/>", undefined, -1, nul, "xslt-extensions:undefined' is not available"},
        {"handle", "<doc>", good, -2, "", unclosed},
        {"handle", "<doc/>", "<xsl:stylesheet", -2, "", "t.xsl, line 1, column 16)"},
        {"handle", "<doc/>", "", -2, "", "SAXParseException: " + missing},
        {"handle", "<doc/>", badPath, -1, "", "Type is: XSLTProcessorException"},
        {"query", "<doc/>", "///", -1, "",
         "\nXSLException Type is: XPathParserException\nMessage is: "},
    };
    for (const Failure& f : failures)
    {
        SCOPED_TRACE("row " + std::to_string(&f - failures));
        PRSMXslTransformer transformer;
        const prsm::test::TempDir dir;
        const std::string xsl =
            f.stylesheet.empty() ? dir.path("absent.xsl") : dir.write("t.xsl", f.stylesheet);
        const std::string source = f.source ? dir.write("in.xml", f.source) : dir.path("no.xml");
        std::istringstream in(f.source ? f.source : "");
        std::ostringstream out;
        Handle doc(transformer);
        Handle result(transformer);
        std::FILE* const capture = std::tmpfile();
        const int savedStderr = dup(2);
        dup2(fileno(capture), 2);
        int status = 0;
        const std::string path = f.path;
        if (path == "file")
        {
            status = transformer.doTransform(source.c_str(), xsl.c_str(), dir.path("out").c_str());
            out << (std::filesystem::exists(dir.path("out")) ? "a result file" : "");
        }
        else if (path == "stream")
        {
            status = transformer.doTransform(in, xsl.c_str(), out);
        }
        else
        {
            doc->InitializeInputSource(f.source);
            result->InitializeOutputTarget();
            status = path == "query" ? transformer.doXPath(*doc, f.stylesheet.c_str(), out)
                                     : transformer.doTransform(*doc, xsl.c_str(), *result);
        }
        std::cerr.flush();
        std::fflush(stderr);
        dup2(savedStderr, 2);
        close(savedStderr);
        EXPECT_EQ(std::ftell(capture), 0L) << "bytes written to file descriptor 2";
        std::fclose(capture);
        EXPECT_EQ(status, f.status);
        EXPECT_EQ(out.str(), f.written);
        EXPECT_NE(std::string(transformer.getLastError()).find(f.errorPart), std::string::npos)
            << transformer.getLastError();
    }
}

} // namespace
