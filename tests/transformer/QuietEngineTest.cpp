// Failing calls keep their statuses and leave the host's error stream untouched.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace
{

using prsm::test::Handle;

enum class Path
{
    File,
    Stream,
    Handle,
    Query
};

struct Failure
{
    const char* name;
    Path path;
    const char* source;
    std::string stylesheet; // the expression, for a query
    int status;
};

int fail(PRSMXslTransformer& transformer, const prsm::test::TempDir& dir, const Failure& f)
{
    const I18NString xsl(dir.write("t.xsl", f.stylesheet).c_str());
    std::istringstream in(f.source);
    std::ostringstream out;
    Handle doc(transformer), result(transformer);
    if (f.path == Path::File)
        return transformer.doTransform(dir.write("in.xml", f.source).c_str(), xsl,
                                       dir.path("out").c_str());
    if (f.path == Path::Stream)
        return transformer.doTransform(in, xsl, out);
    doc->InitializeInputSource(f.source);
    if (f.path == Path::Query)
        return transformer.doXPath(*doc, f.stylesheet.c_str(), out);
    result->InitializeOutputTarget();
    return transformer.doTransform(*doc, xsl, *result);
}

TEST(QuietEngine, FailuresWriteNothingToStandardError)
{
    const std::string good = prsm::test::textStylesheet("x");
    const std::string badPath = prsm::test::textStylesheet("<xsl:value-of select='///'/>");
    const Failure failures[] = {
        {"source file", Path::File, "<doc>", good, -2},
        {"source stream", Path::Stream, "<doc>", good, -2},
        {"source handle", Path::Handle, "<doc>", good, -2},
        {"stylesheet stream", Path::Stream, "<doc/>", "<xsl:stylesheet", -2},
        {"stylesheet handle", Path::Handle, "<doc/>", "<xsl:stylesheet", -2},
        {"query", Path::Query, "<doc/>", "///", -1},
        {"stylesheet XPath stream", Path::Stream, "<doc/>", badPath, -1},
        {"stylesheet XPath handle", Path::Handle, "<doc/>", badPath, -1},
    };
    for (const Failure& f : failures)
    {
        SCOPED_TRACE(f.name);
        PRSMXslTransformer transformer;
        const prsm::test::TempDir dir;
        std::FILE* const capture = std::tmpfile();
        const int savedStderr = dup(2);
        dup2(fileno(capture), 2);
        const int status = fail(transformer, dir, f);
        std::cerr.flush();
        std::fflush(stderr);
        dup2(savedStderr, 2);
        close(savedStderr);
        EXPECT_EQ(std::ftell(capture), 0L) << "bytes written to file descriptor 2";
        std::fclose(capture);
        EXPECT_EQ(status, f.status);
    }
}

} // namespace
