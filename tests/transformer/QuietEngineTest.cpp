// Failing calls on every path: their statuses, what they leave behind, and a silent stderr.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace
{

enum class Path
{
    File,
    Stream,
    Handle,
    Query
};

struct Failure
{
    Path path;
    const char* source;     // null: no such file
    std::string stylesheet; // the expression, for a query; empty: no such file
    int status;
    std::string written;   // the stream's bytes; for a file run, whether a result file exists
    std::string errorPart; // a piece of getLastError()
};

// Runs the failing call `f`; returns its status and leaves what it wrote in `written`.
int fail(PRSMXslTransformer& transformer, const prsm::test::TempDir& dir, const Failure& f,
         std::string& written)
{
    const std::string xsl =
        f.stylesheet.empty() ? dir.path("absent.xsl") : dir.write("t.xsl", f.stylesheet);
    std::istringstream in(f.source ? f.source : "");
    std::ostringstream out;
    prsm::test::Handle doc(transformer), result(transformer);
    int status = 0;
    if (f.path == Path::File)
    {
        const std::string source = f.source ? dir.write("in.xml", f.source) : dir.path("no.xml");
        status = transformer.doTransform(source.c_str(), xsl.c_str(), dir.path("out").c_str());
        out << (std::filesystem::exists(dir.path("out")) ? "a result file" : "");
    }
    else if (f.path == Path::Stream)
    {
        status = transformer.doTransform(in, xsl.c_str(), out);
    }
    else
    {
        doc->InitializeInputSource(f.source);
        result->InitializeOutputTarget();
        status = f.path == Path::Query ? transformer.doXPath(*doc, f.stylesheet.c_str(), out)
                                       : transformer.doTransform(*doc, xsl.c_str(), *result);
    }
    written = out.str();
    return status;
}

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
        {Path::File, "<doc>", good, -2, "", unclosed},
        {Path::File, nullptr, good, -2, "", missing},
        {Path::Stream, "<doc>", good, -2, "", unclosed},
        {Path::Stream, "", good, -2, "", "invalid document structure"},
        {Path::Stream, "<doc/>", "<xsl:stylesheet", -2, nul, "t.xsl', at line 1, column 16"},
        {Path::Stream, "<doc/>", "", -2, nul, missing},
        {Path::Stream, "<doc/>", badPath, -1, nul, "An axis or node test was expected"},
        {Path::Stream, "<doc/>", undefined, -1, nul, "xslt-extensions:undefined' is not available"},
        {Path::Handle, "<doc>", good, -2, "", unclosed},
        {Path::Handle, "<doc/>", "<xsl:stylesheet", -2, "", "t.xsl, line 1, column 16)"},
        {Path::Handle, "<doc/>", "", -2, "", "SAXParseException: " + missing},
        {Path::Handle, "<doc/>", badPath, -1, "", "Type is: XSLTProcessorException"},
        {Path::Query, "<doc/>", "///", -1, "", "Type is: XPathParserException"},
    };
    for (const Failure& f : failures)
    {
        SCOPED_TRACE("row " + std::to_string(&f - failures));
        PRSMXslTransformer transformer;
        const prsm::test::TempDir dir;
        std::string written;
        std::FILE* const capture = std::tmpfile();
        const int savedStderr = dup(2);
        dup2(fileno(capture), 2);
        const int status = fail(transformer, dir, f, written);
        std::cerr.flush();
        std::fflush(stderr);
        dup2(savedStderr, 2);
        close(savedStderr);
        EXPECT_EQ(std::ftell(capture), 0L) << "bytes written to file descriptor 2";
        std::fclose(capture);
        EXPECT_EQ(status, f.status);
        EXPECT_EQ(written, f.written);
        EXPECT_NE(std::string(transformer.getLastError()).find(f.errorPart), std::string::npos)
            << transformer.getLastError();
    }
}

} // namespace
