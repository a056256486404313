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

using prsm::test::Handle;

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
