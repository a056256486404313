// Inputs that once killed the host or became output: each ends in a status on every path, and the
// transformer works afterwards.
#include "Dom2Dom.hpp"
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"
#include "support/HostileDocuments.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

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

const char* nameOf(Path path)
{
    switch (path)
    {
    case Path::File:
        return "file";
    case Path::Stream:
        return "stream";
    case Path::Memory:
        return "memory";
    default:
        return "query";
    }
}

// Runs the stylesheet file `xsl` over `source` on `path` (the query `xsl` for Path::Query);
// returns the status and leaves what was written, without the stream path's NUL, in `out`.
int run(PRSMXslTransformer& transformer, const prsm::test::TempDir& dir, Path path,
        const std::string& source, const std::string& xsl, std::string& out)
{
    const std::string xml = dir.write("in.xml", source);
    std::ostringstream written;
    int status = 0;
    if (path == Path::File)
    {
        std::filesystem::remove(dir.path("out.txt"));
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
        status = path == Path::Query ? transformer.doXPathAll(*doc, xsl.c_str(), written)
                                     : transformer.doTransform(*doc, xsl.c_str(), *result);
    }
    out = written.str();
    if (path == Path::Stream && !out.empty() && out.back() == '\0')
        out.pop_back();
    return status;
}

std::string dynamic(const std::string& call)
{
    return textStylesheet("<xsl:value-of select=\"" + call + "\"/>",
                          "<xsl:param name='e'/><xsl:param name='deep'/>")
        .replace(0, 16, "<xsl:stylesheet xmlns:dyn='http://exslt.org/dynamic' ");
}

const char kCallDepth[] = "PRSMXslLimits::maxCallDepth";

TEST(HostSurvival, EveryCaseEndsInAStatusAndLeavesTheTransformerUsable)
{
    const std::string selfEvaluating = "'dyn:evaluate($e)'";
    const std::string deep = "'" + repeated("(", 100000) + "1" + repeated(")", 100000) + "'";
    const std::string deeperThanStatic = "'" + repeated("(", 300) + "1" + repeated(")", 300) + "'";
    const struct
    {
        const char* name;
        std::string stylesheet; // a query for Path::Query
        std::string source;
        const char* parameter; // "e" and "deep" are the dynamic rows'; "p" the rest's
        std::string expression;
        std::initializer_list<Path> paths;
        const char* errorPart;
    } cases[] = {
        {"parameter naming an unbound variable",
         textStylesheet("<xsl:value-of select='$p'/>", "<xsl:param name='p'/>"),
         "<doc/>",
         "p",
         "$q",
         {Path::File, Path::Stream, Path::Memory},
         "variable 'q'"},
        {"parameter with an unbound variable inside",
         textStylesheet("<xsl:value-of select='$p'/>", "<xsl:param name='p'/>"),
         "<doc/>",
         "p",
         "concat($zz, 1)",
         {Path::File, Path::Stream, Path::Memory},
         "variable 'zz'"},
        {"undeclared variable",
         textStylesheet("<xsl:value-of select='$nope'/>"),
         "<doc/>",
         "p",
         "1",
         {Path::File, Path::Stream, Path::Memory},
         "the variable 'nope' has not been declared"},
        {"query naming a variable",
         "$q",
         "<doc/>",
         "p",
         "1",
         {Path::Query},
         "variable 'q', which has not been declared"},
        // The engine counted an xsl:text it failed to build and destroyed it with the stylesheet.
        {"xsl:text with an attribute it may not have",
         textStylesheet("<xsl:text method='text'/>"),
         "<doc/>",
         "p",
         "1",
         {Path::File, Path::Stream, Path::Memory},
         "'xsl:text' has an invalid 'method' attribute"},
        {"xsl:text with an attribute in the XSLT namespace",
         textStylesheet("<xsl:text xsl:method='text'/>"),
         "<doc/>",
         "p",
         "1",
         {Path::File},
         "'xsl:text' has an invalid 'xsl:method' attribute"},
        {"xsl:text escaping neither yes nor no",
         textStylesheet("<xsl:text disable-output-escaping='maybe'/>"),
         "<doc/>",
         "p",
         "1",
         {Path::File},
         "'disable-output-escaping' must be 'yes' or 'no'"},
        // The engine took it for a second start and leaked the first's extension handlers.
        {"xsl:stylesheet inside a stylesheet",
         textStylesheet("x").insert(
             textStylesheet("x").find("<xsl:template"),
             "<xsl:stylesheet version='1.0' extension-element-prefixes='prsm'/>"),
         "<doc/>",
         "p",
         "1",
         {Path::File},
         "'xsl:stylesheet' is not allowed"},
        {"dyn:evaluate evaluating itself",
         dynamic("dyn:evaluate($e)"),
         "<doc/>",
         "e",
         selfEvaluating,
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxCallDepth"},
        {"dyn:map evaluating itself",
         dynamic("dyn:map(., $e)"),
         "<doc/>",
         "e",
         "'dyn:map(., $e)'",
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxCallDepth"},
        {"xalan:evaluate evaluating itself",
         dynamic("xalan:evaluate($e)"),
         "<doc/>",
         "e",
         "'xalan:evaluate($e)'",
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxCallDepth"},
        {"dyn:evaluate of 100,000 parentheses",
         dynamic("dyn:evaluate($deep)"),
         "<doc/>",
         "deep",
         deep,
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxExpressionDepth"},
        {"dyn:evaluate deeper than a static expression may be",
         dynamic("dyn:evaluate($deep)"),
         "<doc/>",
         "deep",
         deeperThanStatic,
         {Path::File, Path::Stream, Path::Memory},
         "PRSMXslLimits::maxExpressionDepth"},
        {"dyn:evaluate in a query",
         "dyn:evaluate(/d/@e)",
         "<d xmlns:dyn='http://exslt.org/dynamic' e='dyn:evaluate(/d/@e)'/>",
         "p",
         "1",
         {Path::Query},
         "PRSMXslLimits::maxCallDepth"},
    };
    const prsm::test::TempDir dir;
    const std::string echo = dir.write("echo.xsl", textStylesheet("<xsl:value-of select='.'/>"));
    for (const auto& c : cases)
    {
        const std::string xsl = dir.write("t.xsl", c.stylesheet);
        for (const Path path : c.paths)
        {
            SCOPED_TRACE(std::string(c.name) + " on the " + nameOf(path) + " path");
            PRSMXslTransformer transformer;
            transformer.setStylesheetParamExpression(c.parameter, c.expression.c_str());
            std::string out;
            EXPECT_EQ(run(transformer, dir, path, c.source,
                          path == Path::Query ? c.stylesheet : xsl, out),
                      -1);
            // Larger frames (a sanitizer's) may meet the stack's bound before the call depth's.
            const std::string error = transformer.getLastError();
            EXPECT_TRUE(error.find(c.errorPart) != std::string::npos ||
                        (std::string(c.errorPart) == kCallDepth &&
                         error.find("the stack of this thread") != std::string::npos))
                << error;
            EXPECT_EQ(out.find("not defined"), std::string::npos) << out;

            // Every parameter is checked, declared or not, so the bad one is replaced.
            transformer.setStylesheetParamExpression(c.parameter, "1");
            const bool isQuery = path == Path::Query;
            EXPECT_EQ(
                run(transformer, dir, path, "<doc>ok</doc>", isQuery ? "string(/)" : echo, out), 0)
                << transformer.getLastError();
            EXPECT_EQ(out, isQuery ? "ok\n" : "ok");
        }
    }
}

TEST(HostSurvival, DynamicEvaluationNestsAsDeepAsTheLimitsAllow)
{
    const prsm::test::TempDir dir;
    const std::string xsl =
        dir.write("t.xsl", dynamic("concat(dyn:evaluate('dyn:evaluate(&quot;1 + 2&quot;)'), "
                                   "count(dyn:evaluate('1 +')), xalan:evaluate('name(/*)'))"));
    PRSMXslTransformer transformer;
    std::string out;
    EXPECT_EQ(run(transformer, dir, Path::Memory, "<doc/>", xsl, out), 0)
        << transformer.getLastError();
    EXPECT_EQ(out, "30doc");

    PRSMXslLimits limits;
    limits.maxCallDepth = 1;
    transformer.setLimits(limits);
    EXPECT_EQ(run(transformer, dir, Path::Memory, "<doc/>", xsl, out), -1);
    EXPECT_NE(std::string(transformer.getLastError()).find("depth 2"), std::string::npos)
        << transformer.getLastError();
}

TEST(HostSurvival, AHandleThatHoldsNoDocumentIsRefusedAsInput)
{
    const prsm::test::TempDir dir;
    const std::string broken = dir.write("broken.xsl", "<xsl:stylesheet version='1.0'");
    const std::string echo = dir.write("echo.xsl", textStylesheet("<xsl:value-of select='.'/>"));
    PRSMXslTransformer transformer;
    Handle input(transformer), unfilled(transformer), failed(transformer), result(transformer);
    ASSERT_TRUE(input->InitializeInputSource("<doc>ok</doc>"));
    unfilled->InitializeOutputTarget();
    failed->InitializeOutputTarget();
    EXPECT_NE(transformer.doTransform(*input, broken.c_str(), *failed), 0);
    for (Dom2Dom* empty : {unfilled.get(), failed.get()})
    {
        std::ostringstream out;
        Handle target(transformer);
        target->InitializeOutputTarget(out);
        EXPECT_EQ(transformer.doTransform(*empty, echo.c_str(), *target),
                  PRSMXslTransformer::kNoDocumentStatus);
        EXPECT_EQ(transformer.doXPath(*empty, "/", out), PRSMXslTransformer::kNoDocumentStatus);
        EXPECT_EQ(transformer.doXPathAll(*empty, "//*", out),
                  PRSMXslTransformer::kNoDocumentStatus);
        EXPECT_EQ(out.str(), "");
    }
    std::ostringstream out;
    result->InitializeOutputTarget(out);
    EXPECT_EQ(transformer.doTransform(*input, echo.c_str(), *result), 0);
    EXPECT_EQ(out.str(), "ok");
}

TEST(HostSurvival, HtmlAttributesKeepCharactersBeyondTheBasicPlane)
{
    const prsm::test::TempDir dir;
    const std::string xsl =
        dir.write("h.xsl", "<xsl:stylesheet version='1.0' "
                           "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                           "<xsl:output method='html' encoding='UTF-8'/><xsl:template match='/'>"
                           "<p title='&#x1D11E;a&#x10000;&amp;'/></xsl:template>"
                           "</xsl:stylesheet>");
    for (const Path path : {Path::File, Path::Stream, Path::Memory})
    {
        SCOPED_TRACE(nameOf(path));
        PRSMXslTransformer transformer;
        std::string out;
        EXPECT_EQ(run(transformer, dir, path, "<doc/>", xsl, out), 0);
        EXPECT_EQ(out, "<p title=\"&#119070;a&#65536;&amp;\"></p>\n");
    }
}

TEST(HostSurvival, FileNamesMayHoldUriCharacters)
{
    const prsm::test::TempDir dir;
    for (const char* folder : {"a#b", "c%41d", "e?f", "g%zz h"})
    {
        SCOPED_TRACE(folder);
        const std::string base = dir.path(folder) + "/";
        std::filesystem::create_directories(base + "sub");
        const std::string xsl =
            dir.write(std::string(folder) + "/main.xsl",
                      textStylesheet("<xsl:call-template name='inc'/>"
                                     "<xsl:value-of select=\"document('sub/other.xml')\"/>",
                                     "<xsl:include href='sub/inc.xsl'/>"));
        dir.write(std::string(folder) + "/sub/inc.xsl",
                  "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                  "<xsl:template name='inc'>inc-</xsl:template></xsl:stylesheet>");
        dir.write(std::string(folder) + "/sub/other.xml", "<o>other</o>");
        dir.write(std::string(folder) + "/in.xml", "<doc/>");
        for (const Path path : {Path::File, Path::Stream, Path::Memory})
        {
            SCOPED_TRACE(nameOf(path));
            PRSMXslTransformer transformer;
            std::string out;
            EXPECT_EQ(run(transformer, dir, path, "<doc/>", xsl, out), 0)
                << transformer.getLastError();
            EXPECT_EQ(out, "inc-other");
        }
        PRSMXslTransformer transformer;
        EXPECT_EQ(transformer.doTransform((base + "in.xml").c_str(), xsl.c_str(),
                                          (base + "out#1.txt").c_str()),
                  0)
            << transformer.getLastError();
        EXPECT_EQ(prsm::test::readFile(base + "out#1.txt"), "inc-other");
    }
}

// Address space limits and the sanitizer's shadow memory do not mix: the sanitizer reserves
// terabytes before the first allocation.
#if defined(__SANITIZE_ADDRESS__)
TEST(HostSurvival, DISABLED_RunningOutOfMemoryEndsInAStatus)
#else
TEST(HostSurvival, RunningOutOfMemoryEndsInAStatus)
#endif
{
    const prsm::test::TempDir dir;
    const std::string xsl = dir.write(
        "pad.xsl", textStylesheet("<xsl:value-of select=\"string-length(str:padding(200000000, "
                                  "'a'))\"/>")
                       .replace(0, 16, "<xsl:stylesheet xmlns:str='http://exslt.org/strings' "));
    const std::string echo = dir.write("echo.xsl", textStylesheet("<xsl:value-of select='.'/>"));
    // In a child, so that the bound on memory holds for it alone; it tells by its exit status
    // which check failed.
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0)
    {
        const rlimit bound{400u << 20, 400u << 20};
        setrlimit(RLIMIT_AS, &bound);
        PRSMXslTransformer transformer;
        std::string out;
        if (run(transformer, dir, Path::Memory, "<doc/>", xsl, out) != -5)
            _exit(1);
        if (std::string(transformer.getLastError()).find("Out of memory") == std::string::npos)
            _exit(2);
        if (run(transformer, dir, Path::Stream, "<doc/>", xsl, out) != -5)
            _exit(3);
        if (run(transformer, dir, Path::Memory, "<doc>ok</doc>", echo, out) != 0 || out != "ok")
            _exit(4);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
