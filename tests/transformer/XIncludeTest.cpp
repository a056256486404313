// XInclude on every path a document takes: its forms, fallback, loops and limits.
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"
#include "support/HostileDocuments.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace
{

using prsm::test::Handle;
using prsm::test::repeated;

enum class Path
{
    File,
    Stream,
    Memory,  // a document handle
    Document // loaded by document() from the stylesheet
};

const std::string kXi = "xmlns:xi='http://www.w3.org/2001/XInclude'";

// Writes each element as name[xml:base](content), and text as it is.
std::string renderer(bool isLoadedByDocument)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
           "<xsl:output method='text' encoding='UTF-8'/><xsl:strip-space elements='*'/>"
           "<xsl:template match='/'><xsl:apply-templates select='" +
           std::string(isLoadedByDocument ? "document(\"main.xml\")" : "") +
           "/*/node()'/></xsl:template>"
           "<xsl:template match='*'><xsl:value-of select='name()'/><xsl:for-each "
           "select='@xml:base'>[<xsl:value-of select='.'/>]</xsl:for-each>(<xsl:apply-templates/>)"
           "</xsl:template></xsl:stylesheet>";
}

class XInclude : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir.write("a.xml", "<a>A</a>");
        std::filesystem::create_directory(m_dir.path("sub"));
        m_dir.write("sub/b.xml", "<!DOCTYPE b [<!ATTLIST p id ID #IMPLIED>]><b " + kXi +
                                     "><p>1</p><p id='two'>2</p><xi:include href='c.xml'/></b>");
        m_dir.write("sub/c.xml", "<c xml:id='cid'>C</c>");
        m_dir.write("latin1.txt", "x < y & caf\xe9");
        m_dir.write("loop.xml", "<l " + kXi + "><xi:include href='loop.xml'/></l>");
        m_dir.write("big.xml", "<big>" + std::string(200000, 'x') + "</big>");
        for (int i = 0; i < 45; ++i)
            m_dir.write("n" + std::to_string(i) + ".xml", "<n " + kXi + "><xi:include href='n" +
                                                              std::to_string(i + 1) +
                                                              ".xml'/></n>");
        m_dir.write("n45.xml", "<end/>");
    }

    // Runs the renderer over a document whose root holds `body` on `path`; returns the status
    // and leaves the output, without the NUL of the stream path, in `out`.
    int run(Path path, const std::string& body, std::string& out)
    {
        // The base keeps relative references meaningful on the stream, which has no name.
        const std::string main =
            "<doc " + kXi + " xml:base='file://" + m_dir.path("main.xml") + "'>" + body + "</doc>";
        const std::string xml = m_dir.write("main.xml", main);
        const std::string xsl = m_dir.write("r.xsl", renderer(path == Path::Document));
        std::ostringstream written;
        int status = 0;
        if (path == Path::File || path == Path::Document)
        {
            const std::string source = path == Path::File ? xml : m_dir.write("x.xml", "<x/>");
            status = m_transformer.doTransform(source.c_str(), xsl.c_str(),
                                               m_dir.path("out.txt").c_str());
            written << prsm::test::readFile(m_dir.path("out.txt"));
        }
        else if (path == Path::Stream)
        {
            std::istringstream in(main);
            status = m_transformer.doTransform(in, xsl.c_str(), written);
        }
        else
        {
            Handle doc(m_transformer), result(m_transformer);
            std::istringstream in(main);
            doc->InitializeInputSource(in, xml.c_str());
            result->InitializeOutputTarget(written);
            status = m_transformer.doTransform(*doc, xsl.c_str(), *result);
        }
        out = written.str();
        if (path == Path::Stream && !out.empty() && out.back() == '\0')
            out.pop_back();
        return status;
    }

    void setXInclude(bool isOn)
    {
        PRSMXslLimits limits;
        limits.processXInclude = isOn;
        m_transformer.setLimits(limits);
    }

    const prsm::test::TempDir m_dir;
    PRSMXslTransformer m_transformer;
};

constexpr Path kPaths[] = {Path::File, Path::Stream, Path::Memory, Path::Document};

TEST_F(XInclude, ReplacesEachFormOnEveryPath)
{
    const struct
    {
        const char* name;
        std::string body;
        std::string output;
    } cases[] = {
        {"a document beside", "<xi:include href='a.xml'/>", "a(A)"},
        {"a document in a folder, which includes one beside it", "<xi:include href='sub/b.xml'/>",
         "b[sub/b.xml](p(1)p(2)c(C))"},
        {"a name declared as ID", "<xi:include href='sub/b.xml' xpointer='two'/>",
         "p[sub/b.xml](2)"},
        {"an xml:id", "<xi:include href='sub/c.xml' xpointer='cid'/>", "c[sub/c.xml](C)"},
        {"an element() child sequence, after a scheme it does not know",
         "<xi:include href='sub/b.xml' xpointer='other(x) element(/1/1)'/>", "p[sub/b.xml](1)"},
        {"an element() path from a name", "<xi:include href='sub/b.xml' xpointer='element(two)'/>",
         "p[sub/b.xml](2)"},
        {"text in an encoding",
         "<t>[<xi:include href='latin1.txt' parse='text' encoding='ISO-8859-1'/>]</t>",
         "t([x < y & caf\xc3\xa9])"},
        {"a fallback, with its own inclusion",
         "<xi:include href='none.xml'><xi:fallback><f><xi:include href='a.xml'/></f>"
         "</xi:fallback></xi:include>",
         "f(a(A))"},
        {"a fallback when the pointer selects nothing",
         "<xi:include href='a.xml' xpointer='nothing'><xi:fallback>F</xi:fallback></xi:include>",
         "F"},
        {"40 inclusions nested", "<xi:include href='n6.xml'/>",
         repeated("n(", 39) + "end()" + repeated(")", 39)},
    };
    setXInclude(true);
    for (const auto& c : cases)
        for (const Path path : kPaths)
        {
            SCOPED_TRACE(std::string(c.name) + " on path " + std::to_string(int(path)));
            std::string out;
            EXPECT_EQ(run(path, c.body, out), 0) << m_transformer.getLastError();
            EXPECT_EQ(out, c.output);
        }
}

TEST_F(XInclude, RefusesBadInclusionsWithAClearText)
{
    const struct
    {
        const char* name;
        std::string body;
        const char* errorPart;
    } cases[] = {
        {"a missing resource", "<xi:include href='none.xml'/>",
         "none.xml\" failed: it cannot be read, and it has no xi:fallback"},
        {"a document that includes itself", "<xi:include href='loop.xml'/>",
         "the inclusions form a loop"},
        {"its own document", "<xi:include/>", "includes its own document"},
        {"nesting past 40", "<xi:include href='n0.xml'/>", "deeper than 40 levels"},
        {"a large file a thousand times", repeated("<xi:include href='big.xml'/>", 1000),
         "PRSMXslLimits::maxAmplification"},
        {"a network resource", "<xi:include href='http://127.0.0.1:9/x.xml'/>",
         "PRSMXslLimits::allowNetwork"},
        {"an unknown parse", "<xi:include href='a.xml' parse='html'/>", "must be xml or text"},
        {"a fragment in href", "<xi:include href='a.xml#x'/>", "fragment identifier"},
        {"a stray fallback", "<xi:fallback/>", "must be a child of xi:include"},
    };
    setXInclude(true);
    for (const auto& c : cases)
        for (const Path path : kPaths)
        {
            SCOPED_TRACE(std::string(c.name) + " on path " + std::to_string(int(path)));
            std::string out;
            EXPECT_NE(run(path, c.body, out), 0);
            EXPECT_NE(std::string(m_transformer.getLastError()).find(c.errorPart),
                      std::string::npos)
                << m_transformer.getLastError();
        }
}

TEST_F(XInclude, IsOffUnlessAsked)
{
    for (const Path path : kPaths)
    {
        SCOPED_TRACE(int(path));
        std::string out;
        EXPECT_EQ(run(path, "<xi:include href='a.xml'/>", out), 0);
        EXPECT_EQ(out, "xi:include()");
    }
}

TEST_F(XInclude, ObeysTheAllowedFolders)
{
    PRSMXslLimits limits;
    limits.processXInclude = true;
    limits.allowedDirectories = {m_dir.path("sub")};
    m_transformer.setLimits(limits);
    std::string out;
    EXPECT_NE(run(Path::File, "<xi:include href='a.xml'/>", out), 0);
    EXPECT_NE(std::string(m_transformer.getLastError()).find("PRSMXslLimits::allowedDirectories"),
              std::string::npos)
        << m_transformer.getLastError();
}

} // namespace
