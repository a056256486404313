// Hostile documents, stylesheets and expressions under the default limits, on every path; legit
// work that the limits must leave alone; and misuse of the interface.
#include "Dom2Dom.hpp"
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"
#include "support/HostileDocuments.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace
{

using prsm::test::billionLaughs;
using prsm::test::Handle;
using prsm::test::repeated;
using prsm::test::textStylesheet;

enum class Path
{
    File,
    Stream,
    Memory,
    Query
};

// Runs `stylesheet` (text) over `source` (text) on `path`, or the query `stylesheet` for
// Path::Query; returns the status and leaves what was written in `out`.
int run(PRSMXslTransformer& transformer, const prsm::test::TempDir& dir, Path path,
        const std::string& source, const std::string& stylesheet, std::string& out)
{
    const std::string xsl = dir.write("t.xsl", stylesheet);
    const std::string xml = dir.write("in.xml", source);
    std::ostringstream written;
    int status = 0;
    if (path == Path::File)
    {
        status = transformer.doTransform(xml.c_str(), xsl.c_str(), dir.path("out.txt").c_str());
        written << prsm::test::readFile(dir.path("out.txt"));
    }
    else if (path == Path::Stream)
    {
        std::istringstream in(source);
        status = transformer.doTransform(in, xsl.c_str(), written);
    }
    else
    {
        Handle doc(transformer), result(transformer);
        std::istringstream in(source);
        doc->InitializeInputSource(in, xml.c_str());
        result->InitializeOutputTarget(written);
        status = path == Path::Query ? transformer.doXPath(*doc, stylesheet.c_str(), written)
                                     : transformer.doTransform(*doc, xsl.c_str(), *result);
    }
    out = written.str();
    return status;
}

const std::string kNetwork = "http://127.0.0.1:9/";
const std::string kEcho = textStylesheet("<xsl:value-of select='string(/)'/>");

TEST(HostileInput, IsRefusedWithATextNamingTheLimitAndLeavesTheTransformerUsable)
{
    const struct
    {
        const char* name;
        std::string source;
        std::string stylesheet; // a query for Path::Query
        std::initializer_list<Path> paths;
        const char* errorPart;
    } cases[] = {
        {"billion laughs",
         billionLaughs(),
         kEcho,
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxEntityExpansions"},
        {"quadratic blow-up",
         "<!DOCTYPE doc [<!ENTITY big '" + std::string(10000, 'x') + "'>]><doc>" +
             repeated("&big;", 3000) + "</doc>",
         kEcho,
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxAmplification"},
        {"network DTD",
         "<!DOCTYPE doc SYSTEM '" + kNetwork + "doc.dtd'><doc/>",
         kEcho,
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::allowNetwork"},
        {"network entity",
         "<!DOCTYPE doc [<!ENTITY e SYSTEM '" + kNetwork + "e.xml'>]><doc>&e;</doc>",
         kEcho,
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::allowNetwork"},
        {"network xsl:include",
         "<doc/>",
         textStylesheet("", "<xsl:include href='" + kNetwork + "i.xsl'/>"),
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::allowNetwork"},
        {"infinite recursion",
         "<doc/>",
         textStylesheet("<xsl:call-template name='loop'/>",
                        "<xsl:template name='loop'><xsl:call-template name='loop'/>"
                        "</xsl:template>"),
         {Path::File, Path::Stream, Path::Memory},
         "the template 'loop' at depth"},
        {"deep document",
         repeated("<a>", 100000) + repeated("</a>", 100000),
         kEcho,
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxElementDepth"},
        {"deep expression",
         "<doc/>",
         textStylesheet("<xsl:value-of select='" + repeated("(", 30000) + "1" +
                        repeated(")", 30000) + "'/>"),
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxExpressionDepth"},
        {"deep query",
         "<doc/>",
         repeated("(", 30000) + "1" + repeated(")", 30000),
         {Path::Query},
         "PRSMXslLimits::maxExpressionDepth"},
        {"deep expression for dyn:map",
         "<e xmlns:dyn='http://exslt.org/dynamic'>" + repeated("(", 30000) + "1" +
             repeated(")", 30000) + "</e>",
         textStylesheet("<xsl:value-of select='count(dyn:map(/e, string(/e)))'"
                        " xmlns:dyn='http://exslt.org/dynamic'/>"),
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxExpressionDepth"},
        {"deep expression for dyn:map in a query",
         "<e xmlns:dyn='http://exslt.org/dynamic'>" + repeated("(", 30000) + "1" +
             repeated(")", 30000) + "</e>",
         "count(dyn:map(/e, string(/e)))",
         {Path::Query},
         "PRSMXslLimits::maxExpressionDepth"},
    };
    const prsm::test::TempDir dir;
    for (const auto& c : cases)
    {
        for (const Path path : c.paths)
        {
            SCOPED_TRACE(std::string(c.name) + " on path " + std::to_string(int(path)));
            PRSMXslTransformer transformer;
            std::string out;
            EXPECT_NE(run(transformer, dir, path, c.source, c.stylesheet, out), 0);
            EXPECT_NE(std::string(transformer.getLastError()).find(c.errorPart), std::string::npos)
                << transformer.getLastError();
            EXPECT_EQ(run(transformer, dir, path, "<doc>ok</doc>",
                          path == Path::Query ? "string(/)" : kEcho, out),
                      0)
                << transformer.getLastError();
            EXPECT_EQ(out, path == Path::Stream ? std::string("ok\0", 3) : "ok");
        }
    }
}

TEST(HostileInput, LimitsLeaveLegitWorkAlone)
{
    const prsm::test::TempDir dir;
    dir.write("entities.dtd",
              []
              {
                  std::string dtd;
                  for (int i = 0; i < 1000; ++i)
                      dtd += "<!ENTITY e" + std::to_string(i) + " 'v'>";
                  return dtd;
              }());
    dir.write("other.xml", "<list><item/><item/></list>");
    // Named in full: a stream has no place that a relative name could start from.
    std::string entities = "<!DOCTYPE doc SYSTEM '" + dir.path("entities.dtd") + "'><doc>";
    for (int i = 0; i < 1000; ++i)
        entities += "&e" + std::to_string(i) + ";";
    entities += "</doc>";
    const struct
    {
        const char* name;
        std::string source;
        std::string stylesheet;
        std::string output;
    } cases[] = {
        {"recursion 2,000 deep", "<doc/>",
         textStylesheet("<xsl:call-template name='down'><xsl:with-param name='n' "
                        "select='2000'/></xsl:call-template>",
                        "<xsl:template name='down'><xsl:param name='n'/><xsl:choose>"
                        "<xsl:when test='$n = 0'>bottom</xsl:when><xsl:otherwise>"
                        "<xsl:call-template name='down'><xsl:with-param name='n' "
                        "select='$n - 1'/></xsl:call-template></xsl:otherwise></xsl:choose>"
                        "</xsl:template>"),
         "bottom"},
        {"1,000 entities from a local DTD", entities,
         textStylesheet("<xsl:value-of select='string-length(/)'/>"), "1000"},
        {"document() of a local file", "<doc/>",
         textStylesheet("<xsl:value-of select=\"count(document('other.xml')//item)\"/>"), "2"},
    };
    for (const auto& c : cases)
    {
        for (const Path path : {Path::File, Path::Stream, Path::Memory})
        {
            SCOPED_TRACE(std::string(c.name) + " on path " + std::to_string(int(path)));
            PRSMXslTransformer transformer;
            std::string out;
            EXPECT_EQ(run(transformer, dir, path, c.source, c.stylesheet, out), 0)
                << transformer.getLastError();
            EXPECT_EQ(out, path == Path::Stream ? c.output + '\0' : c.output);
        }
    }
}

// The engine writes numbers into a buffer of 101 bytes; one of 121 digits, from a document or an
// expression, used to overrun it and end the process.
TEST(HostileInput, NumbersOfAnySizeBecomeTheirDigits)
{
    const prsm::test::TempDir dir;
    const std::string huge = "1" + std::string(120, '0');
    const std::string xsl = textStylesheet(
        "<xsl:value-of select='number(/) * 10'/>|<xsl:value-of select='string(number(/) * 10)'/>|"
        "<xsl:value-of select='string-length(translate(" +
        huge + " * 10, \"0123456789\", \"\"))'/>");
    for (const Path path : {Path::File, Path::Memory})
    {
        SCOPED_TRACE(int(path));
        PRSMXslTransformer transformer;
        std::string out;
        ASSERT_EQ(run(transformer, dir, path, "<n>" + huge + "</n>", xsl, out), 0)
            << transformer.getLastError();
        const std::size_t bar = out.find('|');
        ASSERT_EQ(bar, 121u) << out; // the double nearest 1e121 lies just below it
        EXPECT_EQ(out, out.substr(0, bar) + "|" + out.substr(0, bar) + "|0");
    }
}

TEST(Misuse, IsRefusedCleanlyAndLeavesTheTransformerUsable)
{
    const prsm::test::TempDir dir;
    PRSMXslTransformer transformer;
    EXPECT_THROW(transformer.setStylesheetParam("", "v"), std::invalid_argument);

    // A value whose apostrophe leaves a broken expression fails that transformation only.
    std::string out;
    transformer.setStylesheetParam("p", "x' + (");
    const std::string xsl = textStylesheet("<xsl:value-of select='$p'/>", "<xsl:param name='p'/>");
    EXPECT_EQ(run(transformer, dir, Path::Memory, "<doc/>", xsl, out), -1);
    EXPECT_NE(std::string(transformer.getLastError()).find("parameter 'p' does not compile"),
              std::string::npos)
        << transformer.getLastError();
    transformer.setStylesheetParam("p", "fine");
    EXPECT_EQ(run(transformer, dir, Path::Memory, "<doc/>", xsl, out), 0);
    EXPECT_EQ(out, "fine");

    // A full timer table refuses TimerCreate through the engine's report.
    PRSMXslLimits limits;
    limits.maxTimers = 1;
    transformer.setLimits(limits);
    EXPECT_EQ(run(transformer, dir, Path::Memory, "<doc/>",
                  textStylesheet("<xsl:value-of select='prsm:TimerCreate()'/>"
                                 "<xsl:value-of select='prsm:TimerCreate()'/>"),
                  out),
              -1);
    EXPECT_NE(std::string(transformer.getLastError()).find("PRSMXslLimits::maxTimers"),
              std::string::npos);
}

// Stops the library in the middle of the test binary, and starts it again however the test ends.
TEST(Misuse, AStoppedLibraryRefusesEveryCallAndOldHandlesStayRefused)
{
    const prsm::test::TempDir dir;
    const std::string xsl = textStylesheet("<xsl:value-of select='.'/>");
    auto early = std::make_unique<PRSMXslTransformer>();
    Dom2Dom* handle = early->createDom2Dom();
    struct Restart
    {
        ~Restart() { QXXslTransformer_Initialize(nullptr); }
    };
    std::optional<Restart> restart;
    QXXslTransformer_Terminate(nullptr);
    restart.emplace();

    // While the library is stopped every call that needs the engine is refused, and handles made
    // before the stop can still be destroyed, after their transformer too.
    PRSMXslTransformer made;
    std::istringstream in("<doc/>");
    std::ostringstream sink;
    EXPECT_THROW(made.doTransform(in, xsl.c_str(), sink), std::logic_error);
    EXPECT_THROW(made.doTransform("in.xml", xsl.c_str(), "out.xml"), std::logic_error);
    EXPECT_THROW(made.createDom2Dom(), std::logic_error);
    EXPECT_THROW(handle->InitializeInputSource("<doc/>"), std::logic_error);
    EXPECT_EQ(early->doXPath(*handle, "1", sink), PRSMXslTransformer::kNotInitializedStatus);
    EXPECT_EQ(early->doTransform(*handle, xsl.c_str(), *handle),
              PRSMXslTransformer::kNotInitializedStatus);
    early.reset();
    restart.reset();

    // A handle from before the stop stays refused; the transformer made meanwhile works.
    EXPECT_THROW(handle->Serialize(sink), std::logic_error);
    made.destroyDom2Dom(handle);
    std::string out;
    EXPECT_EQ(run(made, dir, Path::Stream, "<doc>ok</doc>", kEcho, out), 0);
}

TEST(HostileStylesheet, APatternTheEngineWouldCrashOnIsRefused)
{
    const prsm::test::TempDir dir;
    PRSMXslTransformer transformer;
    std::string out;
    const std::string xsl =
        "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
        "<xsl:template match='a | //'>x</xsl:template></xsl:stylesheet>";
    EXPECT_EQ(run(transformer, dir, Path::Memory, "<doc/>", xsl, out), -1);
    EXPECT_NE(std::string(transformer.getLastError()).find("pattern = '//'"), std::string::npos)
        << transformer.getLastError();
}

} // namespace
