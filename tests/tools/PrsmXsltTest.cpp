// prsm-xslt as a person runs it: outputs, error texts and exit statuses.
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace
{

using prsm::test::readFile;
using prsm::test::TempDir;

struct Outcome
{
    int status;
    std::string out;
    std::string err;
};

class PrsmXslt : public ::testing::Test
{
protected:
    // Runs the tool with `arguments` (already shell-quoted) in the test's folder.
    Outcome run(const std::string& arguments, const std::string& input = "")
    {
        const std::string in = m_dir.write("stdin.txt", input);
        const std::string command = "cd '" + m_dir.path("") + "' && '" PRSM_XSLT_EXE "' " +
                                    arguments + " <'" + in + "' >'" + m_dir.path("stdout.txt") +
                                    "' 2>'" + m_dir.path("stderr.txt") + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(m_dir.path("stdout.txt")),
                readFile(m_dir.path("stderr.txt"))};
    }

    void SetUp() override
    {
        m_dir.write("title.xsl",
                    "<xsl:stylesheet version='1.0' "
                    "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                    "<xsl:output method='text' encoding='UTF-8'/><xsl:param name='title'/>"
                    "<xsl:template match='/'>[<xsl:value-of select='$title'/>:"
                    "<xsl:value-of select='count(//item)'/>]</xsl:template></xsl:stylesheet>");
        m_dir.write("items.xml", "<list><item/><item/><item/></list>");
    }

    TempDir m_dir;
};

TEST_F(PrsmXslt, TransformsToStandardOutput)
{
    const Outcome outcome = run("--stringparam title 'Caf\xC3\xA9 list' title.xsl items.xml");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "[Caf\xC3\xA9 list:3]");
    EXPECT_EQ(outcome.err, "");
}

TEST_F(PrsmXslt, ReadsStandardInputAndWritesOutputFile)
{
    const Outcome outcome = run("-o result.txt title.xsl -", "<list><item/></list>");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(readFile(m_dir.path("result.txt")), "[:1]");
}

TEST_F(PrsmXslt, FailuresKeepTheOldOutputFileAndExitByClass)
{
    m_dir.write("result.txt", "previous");
    m_dir.write("broken.xml", "<list><item></list>");
    m_dir.write("broken.xsl", "<xsl:stylesheet version='1.0'");
    const struct
    {
        const char* name;
        std::string arguments;
        int status;
        const char* errorPart;
    } cases[] = {
        {"malformed source", "-o result.txt title.xsl broken.xml", 4, "transformation failed"},
        {"malformed stylesheet", "-o result.txt broken.xsl items.xml", 4, "transformation failed"},
        {"missing source", "-o result.txt title.xsl absent.xml", 3, "cannot read absent.xml"},
        {"missing stylesheet", "-o result.txt absent.xsl items.xml", 3, "cannot read absent.xsl"},
        {"usage", "-o result.txt title.xsl", 2, "Usage:"},
        {"unknown option", "--frobnicate title.xsl items.xml", 2, "unknown option"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_NE(outcome.err.find(c.errorPart), std::string::npos) << outcome.err;
        EXPECT_EQ(readFile(m_dir.path("result.txt")), "previous");
    }
    EXPECT_EQ(run("-o result.txt title.xsl items.xml").status, 0);
    EXPECT_EQ(readFile(m_dir.path("result.txt")), "[:3]");
}

TEST_F(PrsmXslt, ChainsStylesheetsInMemoryAndQueries)
{
    m_dir.write("wrap.xsl", "<xsl:stylesheet version='1.0' "
                            "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                            "<xsl:template match='/'><box><xsl:copy-of select='*'/></box>"
                            "</xsl:template></xsl:stylesheet>");
    m_dir.write("html.xsl", "<xsl:stylesheet version='1.0' "
                            "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                            "<xsl:output method='html'/><xsl:template match='/'>"
                            "<p><xsl:value-of select='count(/box/list/item)'/></p>"
                            "</xsl:template></xsl:stylesheet>");

    const Outcome chained = run("wrap.xsl --then wrap.xsl --then html.xsl items.xml");
    EXPECT_EQ(chained.status, 0) << chained.err;
    EXPECT_EQ(chained.out, "<p>0</p>\n");

    const Outcome chainedFile =
        run("-o out.html wrap.xsl --then html.xsl -", "<list><item/><item/></list>");
    EXPECT_EQ(chainedFile.status, 0) << chainedFile.err;
    EXPECT_EQ(readFile(m_dir.path("out.html")), "<p>2</p>\n");

    const Outcome query = run("--xpath 'count(//item)' items.xml");
    EXPECT_EQ(query.status, 0) << query.err;
    EXPECT_EQ(query.out, "");
    EXPECT_EQ(run("--xpath 'string(count(//item))' items.xml").out, "3\n");
    const Outcome node = run("--xpath '/box/list' wrap.xsl items.xml");
    EXPECT_EQ(node.status, 0) << node.err;
    EXPECT_EQ(node.out, "<list><item/><item/><item/></list>\n");
    const Outcome text = run("--xpath 'string(name(/*))' wrap.xsl --then wrap.xsl items.xml");
    EXPECT_EQ(text.out, "box\n");

    const Outcome badQuery = run("--xpath '///' items.xml");
    EXPECT_EQ(badQuery.status, 4);
    EXPECT_NE(badQuery.err.find("XSLException"), std::string::npos) << badQuery.err;
    const Outcome badSource = run("--xpath '/a' -", "<a>");
    EXPECT_EQ(badSource.status, 4);
    EXPECT_NE(badSource.err.find("cannot parse -"), std::string::npos) << badSource.err;
}

TEST_F(PrsmXslt, HelpAndVersion)
{
    const Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
    const Outcome version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("prsm-xslt ", 0), 0u);
}

} // namespace
