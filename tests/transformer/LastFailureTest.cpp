// The structured account of the last operation: its kind on every path, cleared by a success,
// with the specified failure text left as it was.
#include "Dom2Dom.hpp"
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "QxXsltFunction.hpp"
#include "support/Handles.hpp"
#include "support/HostileDocuments.hpp"
#include "support/Stylesheets.hpp"

#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace
{

using Kind = PRSMXslFailureKind;
using prsm::test::Handle;
using prsm::test::textStylesheet;

// A host function that always throws.
class ThrowingFunction : public QxXsltFunction
{
public:
    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext&, xalanc::XalanNode*,
                               const XObjectArgVectorType&, const xercesc::Locator*) const override
    {
        throw std::runtime_error("the host's database is down");
    }
    ThrowingFunction* clone() const override { return new ThrowingFunction(*this); }
    xalanc::XalanDOMString getError() const override
    {
        return xalanc::XalanDOMString("fails() takes no arguments");
    }
};

enum class Path
{
    Stream,
    Memory
};

class LastFailure : public prsm::test::StylesheetTest
{
protected:
    // Transforms `source` by `stylesheet` on `path`; returns the status.
    int transform(Path path, const std::string& stylesheet, const std::string& source)
    {
        const std::string xsl = m_dir.write("t.xsl", stylesheet);
        if (path == Path::Stream)
        {
            std::istringstream in(source);
            std::ostringstream out;
            return m_transformer.doTransform(in, xsl.c_str(), out);
        }
        Handle in(m_transformer), out(m_transformer);
        in->InitializeInputSource(source.c_str());
        out->InitializeOutputTarget(m_sink);
        return m_transformer.doTransform(*in, I18NString(xsl.c_str()), *out);
    }

    std::ostringstream m_sink;
};

TEST_F(LastFailure, NamesTheKindOnEveryPathAndASuccessClearsIt)
{
    m_transformer.installExternalFunction("fails", ThrowingFunction());
    const std::string echo = textStylesheet("<xsl:value-of select='.'/>");
    const struct
    {
        const char* name;
        std::string stylesheet;
        std::string source;
        Kind kind;
        const char* messagePart;
        int line; // 0: not checked
    } cases[] = {
        {"malformed source", echo, "<doc>", Kind::Source, "", 1},
        {"malformed stylesheet", "<xsl:stylesheet", "<doc/>", Kind::Stylesheet, "", 0},
        {"bad expression", textStylesheet("<xsl:value-of select='1 +'/>"), "<doc/>",
         Kind::Stylesheet, "", 0},
        {"terminate", textStylesheet("<xsl:message terminate='yes'>boom</xsl:message>"), "<doc/>",
         Kind::Runtime, "boom", 0},
        {"entity limit", echo, prsm::test::billionLaughs(), Kind::Limit,
         "PRSMXslLimits::maxEntityExpansions", 0},
        {"host function", textStylesheet("<xsl:value-of select='prsm:fails()'/>"), "<doc/>",
         Kind::Host, "the host's database is down", 0},
    };
    for (const auto& c : cases)
        for (const Path path : {Path::Stream, Path::Memory})
        {
            SCOPED_TRACE(std::string(c.name) + (path == Path::Stream ? " (stream)" : " (memory)"));
            int status = 0;
            if (c.kind == Kind::Host && path == Path::Stream)
                EXPECT_THROW(transform(path, c.stylesheet, c.source), std::runtime_error);
            else
                status = transform(path, c.stylesheet, c.source);
            const PRSMXslFailure failure = m_transformer.lastFailure();
            EXPECT_EQ(failure.kind, c.kind)
                << PRSMXslFailureKindName(failure.kind) << ": " << failure.message;
            if (status != 0)
            {
                EXPECT_EQ(failure.status, status);
            }
            EXPECT_NE(failure.message.find(c.messagePart), std::string::npos) << failure.message;
            EXPECT_EQ(failure.message.find("line -1"), std::string::npos) << failure.message;
            if (c.line != 0)
            {
                EXPECT_EQ(failure.line, c.line);
            }

            const std::string before = m_transformer.getLastError();
            EXPECT_EQ(transform(path, echo, "<doc>v</doc>"), 0);
            EXPECT_EQ(m_transformer.lastFailure().kind, Kind::None);
            EXPECT_EQ(m_transformer.lastFailure().status, 0);
            EXPECT_TRUE(m_transformer.lastFailure().message.empty());
            // A failed handle parse leaves the engine's text, which the next parse replaces.
            if (path == Path::Memory && c.kind != Kind::Source)
            {
                EXPECT_EQ(m_transformer.getLastError(), before);
            }
        }
}

TEST_F(LastFailure, NamesMisusesQueriesAndHandleParses)
{
    Handle fresh(m_transformer), out(m_transformer), broken(m_transformer), good(m_transformer);
    out->InitializeOutputTarget();
    good->InitializeInputSource("<doc/>");
    EXPECT_EQ(m_transformer.doTransform(*fresh, "t.xsl", *out),
              PRSMXslTransformer::kNoDocumentStatus);
    EXPECT_EQ(m_transformer.lastFailure().kind, Kind::Usage);
    EXPECT_EQ(m_transformer.lastFailure().status, PRSMXslTransformer::kNoDocumentStatus);

    EXPECT_EQ(m_transformer.doTransform("", "t.xsl", "out.txt"),
              PRSMXslTransformer::kNoSourceStatus);
    EXPECT_EQ(m_transformer.lastFailure().kind, Kind::Usage);

    EXPECT_FALSE(broken->InitializeInputSource("<doc><x></doc>"));
    const PRSMXslFailure parse = m_transformer.lastFailure();
    EXPECT_EQ(parse.kind, Kind::Source);
    EXPECT_EQ(parse.line, 1);
    std::ostringstream sink;
    EXPECT_EQ(m_transformer.doXPath(*good, "count(/)", sink), 0);
    EXPECT_EQ(m_transformer.lastFailure().kind, Kind::None);
    // The handle's own failure comes back with its status.
    EXPECT_EQ(m_transformer.doXPath(*broken, "/", sink), parse.status);
    EXPECT_EQ(m_transformer.lastFailure().kind, Kind::Source);
    EXPECT_EQ(m_transformer.lastFailure().message, parse.message);

    EXPECT_EQ(m_transformer.doXPath(*good, "1 +", sink), -1);
    EXPECT_EQ(m_transformer.lastFailure().kind, Kind::Stylesheet);
    PRSMXslLimits limits;
    limits.maxExpressionDepth = 3;
    m_transformer.setLimits(limits);
    EXPECT_EQ(m_transformer.doXPath(*good, "((((1))))", sink), -1);
    EXPECT_EQ(m_transformer.lastFailure().kind, Kind::Limit);
    EXPECT_NE(m_transformer.lastFailure().message.find("PRSMXslLimits::maxExpressionDepth"),
              std::string::npos);
}

TEST_F(LastFailure, NamesAnUnwritableResultFileAsOutput)
{
    const std::string xsl = m_dir.write("t.xsl", textStylesheet("x"));
    const std::string xml = m_dir.write("d.xml", "<doc/>");
    const int status = m_transformer.doTransform(xml.c_str(), xsl.c_str(),
                                                 m_dir.path("no/such/folder/out.txt").c_str());
    EXPECT_NE(status, 0);
    EXPECT_EQ(m_transformer.lastFailure().kind, Kind::Output)
        << m_transformer.lastFailure().message;
}

} // namespace
