// prsm-xslt as a person runs it: its command line, outputs, error texts and exit statuses.
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace
{

using prsm::test::readFile;

// Runs prsm-xslt in a folder of its own that holds the files of tests/data/prsm-xslt.
class PrsmXslt : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::copy(PRSM_TEST_DATA_DIR "/prsm-xslt", m_dir.path(""));
    }

    // Runs the tool with `arguments` (already shell-quoted) in the test's folder; returns the
    // exit status and leaves its outputs in m_out and m_err.
    int run(const std::string& arguments, const std::string& input)
    {
        const std::string command = "cd '" + m_dir.path("") + "' && '" PRSM_XSLT_EXE "' " +
                                    arguments + " <'" + m_dir.write("stdin.txt", input) +
                                    "' >stdout.txt 2>stderr.txt";
        const int raw = std::system(command.c_str());
        m_out = readFile(m_dir.path("stdout.txt"));
        m_err = readFile(m_dir.path("stderr.txt"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    prsm::test::TempDir m_dir;
    std::string m_out;
    std::string m_err;
};

TEST_F(PrsmXslt, OutputsErrorsAndExitStatuses)
{
    const struct
    {
        const char* arguments;
        const char* input;
        int status;
        const char* out;
        const char* errorPart;
        const char* resultFile; // what result.txt holds afterwards; it held "previous"
    } cases[] = {
        {"--stringparam title 'Caf\xC3\xA9 list' title.xsl items.xml", "", 0,
         "[Caf\xC3\xA9 list:3]", "", "previous"},
        {"-o result.txt title.xsl -", "<list><item/></list>", 0, "", "", "[:1]"},
        {"--stringparam title '' -o result.txt -- title.xsl -", "<list/>", 0, "", "", "[:0]"},
        {"wrap.xsl --then wrap.xsl --then html.xsl items.xml", "", 0, "<p>0</p>\n", "", "previous"},
        {"-o result.txt wrap.xsl --then html.xsl -", "<list><item/><item/></list>", 0, "", "",
         "<p>2</p>\n"},
        {"--xpath 'count(//item)' items.xml", "", 0, "", "", "previous"},
        {"--xpath 'string(count(//item))' items.xml", "", 0, "3\n", "", "previous"},
        {"--xpath '/box/list' wrap.xsl items.xml", "", 0, "<list><item/><item/><item/></list>\n",
         "", "previous"},
        {"--xpath 'string(name(/*))' wrap.xsl --then wrap.xsl items.xml", "", 0, "box\n", "",
         "previous"},
        {"-o result.txt title.xsl broken.xml", "", 4, "", "transformation failed", "previous"},
        {"-o result.txt broken.xsl items.xml", "", 4, "", "transformation failed", "previous"},
        {"-o result.txt title.xsl absent.xml", "", 3, "", "cannot read absent.xml", "previous"},
        {"-o result.txt absent.xsl items.xml", "", 3, "", "cannot read absent.xsl", "previous"},
        {"--xpath '///' items.xml", "", 4, "", "XSLException", "previous"},
        {"--xpath '/a' -", "<a>", 4, "", "cannot parse -", "previous"},
        {"--nodtd -o result.txt title.xsl -", "<!DOCTYPE list []><list/>", 4, "",
         "(PRSMXslLimits::allowDtd)", "previous"},
        {"--max-entities 1 title.xsl -", "<!DOCTYPE l [<!ENTITY e ''>]><l>&e;&e;</l>", 4, "",
         "entity expansions", "previous"},
        {"--timeout soon title.xsl items.xml", "", 2, "", "needs a number of seconds", "previous"},
        {"-o result.txt title.xsl", "", 2, "", "missing STYLESHEET or SOURCE", "previous"},
        {"title.xsl items.xml more.xml", "", 2, "", "too many arguments", "previous"},
        {"--frobnicate title.xsl items.xml", "", 2, "", "unknown option", "previous"},
        {"title.xsl items.xml --stringparam p", "", 2, "", "needs two values", "previous"},
        {"--stringparam '' v title.xsl items.xml", "", 2, "", "non-empty name", "previous"},
        {"--stringparam p \"it's\" title.xsl items.xml", "", 2, "", "apostrophe", "previous"},
        {"title.xsl items.xml -o", "", 2, "", "-o needs a value", "previous"},
        {"-o - title.xsl items.xml", "", 2, "", "-o needs a file name", "previous"},
        {"--xpath /a --then wrap.xsl items.xml", "", 2, "", "needs a first STYLESHEET", "previous"},
        {"--xpath /a -o result.txt items.xml", "", 2, "", "-o does not apply", "previous"},
        {"-o result.txt title.xsl ''", "", 2, "", "SOURCE name cannot be empty", "previous"},
        {"title.xsl --then '' items.xml", "", 2, "", "STYLESHEET name cannot", "previous"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        m_dir.write("result.txt", "previous");
        EXPECT_EQ(run(c.arguments, c.input), c.status) << m_err;
        EXPECT_EQ(m_out, c.out);
        EXPECT_NE(m_err.find(c.errorPart), std::string::npos) << m_err;
        EXPECT_TRUE(c.status != 0 || m_err.empty()) << m_err;
        EXPECT_EQ(c.status == 2, m_err.find("Usage:") != std::string::npos) << m_err;
        EXPECT_EQ(readFile(m_dir.path("result.txt")), c.resultFile);
    }
}

TEST_F(PrsmXslt, HelpAndVersionIgnoreTheRestOfTheLine)
{
    EXPECT_EQ(run("--help title.xsl", ""), 0);
    EXPECT_NE(m_out.find("Exit status:"), std::string::npos) << m_out;
    EXPECT_EQ(run("--version extra words x", ""), 0);
    EXPECT_EQ(m_out.rfind("prsm-xslt ", 0), 0u) << m_out;
}

} // namespace
