// prsm-xslt as a person runs it: its command line, outputs, error texts and exit statuses.
#include "PRSMVersion.hpp"
#include "support/SilentServer.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/wait.h>

namespace
{

using prsm::test::readFile;

// Runs prsm-xslt in a folder of its own that holds the files of tests/data/prsm-xslt.
class PrsmXslt : public ::testing::Test
{
protected:
    void SetUp() override { freshFolder(); }

    // Starts over in a new folder, so that what one case leaves behind cannot touch the next.
    void freshFolder()
    {
        m_dir = std::make_unique<prsm::test::TempDir>();
        std::filesystem::copy(PRSM_TEST_DATA_DIR "/prsm-xslt", m_dir->path(""),
                              std::filesystem::copy_options::recursive);
        m_dir->write("result.txt", "previous");
    }

    // Runs the shell `line` in the test's folder, where `prsm-xslt` names the tool, with `input`
    // on its standard input; returns the exit status and leaves the outputs in m_out and m_err.
    int shell(const std::string& line, const std::string& input = "")
    {
        const std::string tools = std::filesystem::path(PRSM_XSLT_EXE).parent_path().string();
        m_dir->write("stdin.txt", input);
        const std::string command = "cd '" + m_dir->path("") + "' && PATH='" + tools +
                                    "':\"$PATH\" && { " + line +
                                    "\n} <stdin.txt >stdout.txt 2>stderr.txt";
        const int raw = std::system(command.c_str());
        m_out = readFile(m_dir->path("stdout.txt"));
        m_err = readFile(m_dir->path("stderr.txt"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    int run(const std::string& arguments, const std::string& input = "")
    {
        return shell("prsm-xslt " + arguments, input);
    }

    // Checks the outcome every case shares: status, outputs, the one-line error texts, and that
    // no file written beside its target is left over.
    void expectOutcome(int status, int expectedStatus, const char* out, const char* errorPart)
    {
        EXPECT_EQ(status, expectedStatus) << m_err;
        EXPECT_EQ(m_out, out);
        EXPECT_NE(m_err.find(errorPart), std::string::npos) << m_err;
        EXPECT_TRUE(expectedStatus != 0 || *errorPart != '\0' || m_err.empty()) << m_err;
        EXPECT_EQ(expectedStatus == 2, m_err.find("Usage:") != std::string::npos) << m_err;
        EXPECT_EQ(m_err.find("line -1"), std::string::npos) << m_err;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_dir->path("")))
            EXPECT_NE(entry.path().filename().string().rfind(".prsm-xslt-", 0), 0u) << entry;
    }

    std::unique_ptr<prsm::test::TempDir> m_dir;
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
        const char* errorPart;  // empty: on success, nothing on stderr
        const char* resultFile; // what result.txt holds afterwards; it held "previous"
    } cases[] = {
        {"--stringparam title 'Caf\xC3\xA9 list' title.xsl items.xml", "", 0,
         "[Caf\xC3\xA9 list:3]", "", "previous"},
        {"-o result.txt title.xsl -", "<list><item/></list>", 0, "", "", "[:1]"},
        {"--output=result.txt title.xsl items.xml", "", 0, "", "", "[:3]"},
        {"-oresult.txt title.xsl items.xml", "", 0, "", "", "[:3]"},
        {"--stringparam title '' -o result.txt -- title.xsl -", "<list/>", 0, "", "", "[:0]"},
        {"wrap.xsl --then wrap.xsl --then html.xsl items.xml", "", 0, "<p>0</p>\n", "", "previous"},
        {"-o result.txt wrap.xsl --then html.xsl -", "<list><item/><item/></list>", 0, "", "",
         "<p>2</p>\n"},
        {"--xpath 'string(count(//item))' items.xml", "", 0, "3\n", "", "previous"},
        {"--xpath '/box/list' wrap.xsl items.xml", "", 0, "<list><item/><item/><item/></list>\n",
         "", "previous"},
        {"--xpath 'string(name(/*))' wrap.xsl --then wrap.xsl items.xml", "", 0, "box\n", "",
         "previous"},
        {"'--xpath=string(/list/item)' -o result.txt items.xml", "", 0, "", "", ""},
        {"--noout title.xsl items.xml", "", 0, "", "", "previous"},
        {"--repeat 3 title.xsl items.xml", "", 0, "[:3]", "", "previous"},
        {"--timing title.xsl items.xml", "", 0, "[:3]", "timing items.xml: parse ", "previous"},
        {"--timing title.xsl items.xml items.xml", "", 0, "[:3][:3]",
         "timing items.xml: title.xsl reused\n", "previous"},
        {"-v title.xsl items.xml", "", 0, "[:3]", "items.xml: transforming by title.xsl",
         "previous"},
        {"title.xsl items.xml - items.xml", "<list/>", 0, "[:3][:0][:3]", "", "previous"},
        {"-j 2 title.xsl items.xml - items.xml", "<list/>", 0, "[:3][:0][:3]", "", "previous"},
        {"--jobs=2 title.xsl items.xml broken.xml items.xml", "", 4, "[:3][:3]",
         "prsm-xslt: broken.xml: cannot parse: expected end of tag 'item' (broken.xml, line 1, "
         "column 15)\n",
         "previous"},
        {"title.xsl absent.xml broken.xml items.xml", "", 4, "[:3]", "cannot read absent.xml",
         "previous"},
        {"title.xsl absent.xml items.xml", "", 3, "[:3]", "cannot read absent.xml: No such file",
         "previous"},
        {"-o result.txt title.xsl broken.xml", "", 4, "", "broken.xml: cannot parse", "previous"},
        {"-o result.txt broken.xsl items.xml", "", 4, "",
         "items.xml: transformation by broken.xsl failed: whitespace expected", "previous"},
        {"--stringparam stop yes message.xsl items.xml", "", 4, "", "message.xsl:6: stop here\n",
         "previous"},
        {"-o result.txt title.xsl absent.xml", "", 3, "", "cannot read absent.xml", "previous"},
        {"--nodtd -o result.txt title.xsl -", "<!DOCTYPE list []><list/>", 6, "",
         "(PRSMXslLimits::allowDtd)", "previous"},
        {"lenient.xsl items.xml", "", 0, "[3]",
         "lenient.xsl:6: 'xsl:otherwise' has an attribute 'test' that XSLT 1.0 does not define",
         "previous"},
        {"--strict lenient.xsl items.xml", "", 4, "", "has an invalid 'test' attribute",
         "previous"},
        {"--max-entities 1 title.xsl -", "<!DOCTYPE l [<!ENTITY e ''>]><l>&e;&e;</l>", 6, "",
         "(PRSMXslLimits::maxEntityExpansions)", "previous"},
        // Each source's report is its own, whatever failed before it on the same worker.
        {"-j 1 --stringparam stop yes message.xsl items.xml broken.xml items.xml", "", 4, "",
         "prsm-xslt: broken.xml: cannot parse: expected end of tag 'item' (broken.xml, line 1, "
         "column 15)\n",
         "previous"},
        {"-j 2 --stringparam stop yes message.xsl items.xml broken.xml items.xml", "", 4, "",
         "prsm-xslt: broken.xml: cannot parse: expected end of tag 'item' (broken.xml, line 1, "
         "column 15)\n",
         "previous"},
        {"--timeout soon title.xsl items.xml", "", 2, "", "needs a number of seconds", "previous"},
        {"-o result.txt absent.xsl items.xml", "", 3, "", "cannot read absent.xsl", "previous"},
        {"title.xsl .", "", 3, "", "cannot read .: Is a directory", "previous"},
        {"--xpath '///' items.xml", "", 4, "",
         "prsm-xslt: items.xml: invalid expression '///': An axis or node test was expected.\n",
         "previous"},
        {"--xpath '/a' -", "<a>", 4, "", "standard input: cannot parse", "previous"},
        {"-o result.txt title.xsl", "", 2, "", "missing STYLESHEET or SOURCE", "previous"},
        {"--frobnicate title.xsl items.xml", "", 2, "", "unknown option", "previous"},
        {"title.xsl items.xml --stringparam p", "", 2, "", "needs two values", "previous"},
        {"--stringparam '' v title.xsl items.xml", "", 2, "", "non-empty name", "previous"},
        {"title.xsl items.xml -o", "", 2, "", "-o needs a value", "previous"},
        {"-o - title.xsl items.xml", "", 2, "", "-o needs a file name", "previous"},
        {"--noout=yes title.xsl items.xml", "", 2, "", "takes no value", "previous"},
        {"-j 0 title.xsl items.xml", "", 2, "", "number from 1", "previous"},
        {"--xpath /a --then wrap.xsl items.xml", "", 2, "", "needs a first STYLESHEET", "previous"},
        {"-o result.txt title.xsl ''", "", 2, "", "SOURCE name cannot be empty", "previous"},
        {"title.xsl --then '' items.xml", "", 2, "", "STYLESHEET name cannot", "previous"},
        {"-o result.txt title.xsl items.xml items.xml", "", 2, "", "several sources need -o DIR/",
         "previous"},
        {"-o out/ title.xsl items.xml sub/items.xml", "", 2, "", "would both be written",
         "previous"},
        {"title.xsl - -", "", 2, "", "read only once", "previous"},
        {"--noout -o result.txt title.xsl items.xml", "", 2, "", "exclude each other", "previous"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        freshFolder();
        expectOutcome(run(c.arguments, c.input), c.status, c.out, c.errorPart);
        EXPECT_EQ(readFile(m_dir->path("result.txt")), c.resultFile);
    }
}

// What -o names decides how it is written: a file is replaced on success with its permissions
// kept, anything else is written into; standard output is written without a file in between.
TEST_F(PrsmXslt, WritesWhatTheOutputNames)
{
    const struct
    {
        const char* line;
        int status;
        const char* out;
        const char* errorPart;
    } cases[] = {
        {"umask 027; prsm-xslt -o new.txt title.xsl items.xml && stat -c %a new.txt", 0, "640\n",
         ""},
        {"chmod 604 result.txt; prsm-xslt -o result.txt title.xsl items.xml && stat -c %a "
         "result.txt && cat result.txt",
         0, "604\n[:3]", ""},
        {"ln -s result.txt link; prsm-xslt -o link title.xsl items.xml && stat -c %F link && cat "
         "result.txt",
         0, "symbolic link\n[:3]", ""},
        {"prsm-xslt -o /dev/null title.xsl items.xml && stat -c %F /dev/null", 0,
         "character special file\n", ""},
        {"mkfifo f; cat f & prsm-xslt -o f title.xsl items.xml; s=$?; wait; stat -c %F f; exit $s",
         0, "[:3]fifo\n", ""},
        {"prsm-xslt -o /dev/stdout title.xsl items.xml", 0, "[:3]", ""},
        {"mkfifo f; cat items.xml >f & prsm-xslt title.xsl f", 0, "[:3]", ""},
        {"TMPDIR=missing prsm-xslt title.xsl items.xml", 0, "[:3]", ""},
        {"mkdir out sub && cp items.xml sub/more.xml && prsm-xslt -j 2 -o out/ title.xsl items.xml "
         "sub/more.xml && cat out/items.xml out/more.xml",
         0, "[:3][:3]", ""},
        {"prsm-xslt title.xsl - <&-", 3, "", "cannot read standard input: Bad file descriptor"},
        {"prsm-xslt title.xsl items.xml >&-", 5, "",
         "cannot write to standard output: Bad file descriptor"},
        {"prsm-xslt title.xsl items.xml items.xml >/dev/full", 5, "",
         "cannot write to standard output: No space left on device"},
        {"prsm-xslt -o /dev/full title.xsl items.xml", 5, "", "cannot write /dev/full: No space"},
        {"prsm-xslt -o missing/x.txt title.xsl items.xml", 5, "",
         "cannot write missing/x.txt: No such file or directory"},
        {"mkdir d; prsm-xslt -o d title.xsl items.xml", 5, "", "cannot write d: Is a directory"},
        {"prsm-xslt -o missing/ title.xsl items.xml", 5, "", "cannot write into missing/"},
        {"mkdir -p out/items.xml; prsm-xslt -o out/ title.xsl items.xml wrap.xsl; s=$?; "
         "cat out/wrap.xsl; exit $s",
         5, "[:0]", "cannot write out/items.xml: Is a directory"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.line);
        freshFolder();
        expectOutcome(shell(c.line), c.status, c.out, c.errorPart);
    }
}

TEST_F(PrsmXslt, InterruptRemovesTheFileBeingWritten)
{
    // The source never ends, so the tool is still writing when the signal comes; a run where the
    // file being written never appeared exits 97 instead of testing nothing.
    const int status = shell("mkfifo f; sh -c \"printf '<list>'; exec sleep 60\" >f & w=$!; "
                             "prsm-xslt -o result.txt title.xsl f & p=$!; i=0; "
                             "until ls -A | grep -q '^.prsm-xslt-' || [ $i -ge 600 ]; "
                             "do sleep 0.05; i=$((i+1)); done; "
                             "ls -A | grep -q '^.prsm-xslt-' || { kill $p $w; exit 97; }; "
                             "kill -TERM $p; wait $p; s=$?; kill $w; exit $s");
    expectOutcome(status, 128 + 15, "", "");
    EXPECT_EQ(readFile(m_dir->path("result.txt")), "previous");
}

TEST_F(PrsmXslt, SeveralWorkersKeepTheOrderOfTheSources)
{
    // The first source is a pipe that gets its text only once every other source is done, so the
    // results are finished in the reverse of their order; a run where that never happened exits
    // 97.
    std::string sources;
    std::string expected = "[:0]";
    for (int i = 1; i < 6; ++i)
    {
        std::string items;
        for (int item = 0; item < i; ++item)
            items += "<item/>";
        m_dir->write("s" + std::to_string(i) + ".xml", "<list>" + items + "</list>");
        sources += " s" + std::to_string(i) + ".xml";
        expected += "[:" + std::to_string(i) + "]";
    }
    for (const char* jobs : {"-j 2", "-j 3"})
    {
        SCOPED_TRACE(jobs);
        const int status = shell(std::string("rm -f first progress; mkfifo first; prsm-xslt -v ") +
                                 jobs + " title.xsl first" + sources +
                                 " 2>progress & p=$!; i=0; "
                                 "until grep -qs 's5.xml: done' progress || [ $i -ge 600 ]; "
                                 "do sleep 0.05; i=$((i+1)); done; "
                                 "grep -qs 's5.xml: done' progress || { kill $p; exit 97; }; "
                                 "printf '<list/>' >first; wait $p");
        expectOutcome(status, 0, expected.c_str(), "");
    }
}

// The limits on the routes around the source: each refusal is one line naming the field, and
// comes within the bounds the limits set.
TEST_F(PrsmXslt, LimitsHoldOnStylesheetsEntitiesAndLongSteps)
{
    const std::string exslt = "<xsl:stylesheet version='1.0' "
                              "xmlns:xsl='http://www.w3.org/1999/XSL/Transform' "
                              "xmlns:str='http://exslt.org/strings'><xsl:template match='/'>";
    const struct
    {
        const char* arguments;
        std::string input;
        int status;
        const char* errorPart;
    } cases[] = {
        {"--nodtd dtd.xsl items.xml", "", 6, "(PRSMXslLimits::allowDtd)"},
        {"--allow-dir '' title.xsl items.xml", "", 2, "--allow-dir needs a folder name"},
        {"--timeout 1 --max-memory 100 padding.xsl items.xml", "", 6, "(PRSMXslLimits::"},
        {"--net --timeout 1 network.xsl items.xml", "", 6, "(PRSMXslLimits::timeoutSeconds)"},
        {"--timeout 2 --max-memory 500 nested.xsl deep.xml", "", 6, "(PRSMXslLimits::"},
        {"nested.xsl declarations.xml", "", 6, "(PRSMXslLimits::maxAttributes)"},
        {"--timeout 20 concat.xsl texts.xml", "", 0, ""},
        {"title.xsl -",
         "<!DOCTYPE d [<!ENTITY big '" + std::string(100000, 'x') + "'>]><d a='" +
             []
             {
                 std::string references;
                 for (int i = 0; i < 5000; ++i)
                     references += "&big;";
                 return references;
             }() +
             "'/>",
         6, "(PRSMXslLimits::maxAmplification)"},
    };
    const prsm::test::SilentServer server;
    m_dir->write("nested.xsl", exslt +
                                   "<xsl:apply-templates/></xsl:template><xsl:template match='*'>"
                                   "<xsl:variable name='v'><xsl:copy><xsl:apply-templates/>"
                                   "</xsl:copy></xsl:variable><xsl:copy-of select='$v'/>"
                                   "</xsl:template></xsl:stylesheet>");
    std::string deep;
    for (int i = 0; i < 4900; ++i)
        deep = "<a>" + deep + "</a>";
    m_dir->write("deep.xml", deep);
    std::string declarations = "<d";
    for (int i = 0; i < 50000; ++i)
        declarations += " xmlns:p" + std::to_string(i) + "='urn:" + std::to_string(i) + "'";
    m_dir->write("declarations.xml", declarations + "/>");
    std::string texts = "<d>";
    for (int i = 0; i < 200000; ++i)
        texts += "<i>ab</i>";
    m_dir->write("texts.xml", texts + "</d>");
    m_dir->write("concat.xsl",
                 "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                 "<xsl:output method='text'/><xsl:template match='/'>"
                 "<xsl:if test=\"string-length(concat(/, '')) != 400000\">wrong</xsl:if>"
                 "</xsl:template></xsl:stylesheet>");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        m_dir->write("network.xsl", exslt + "<xsl:value-of select=\"count(document('" +
                                        server.url() +
                                        "d.xml'))\"/></xsl:template></xsl:stylesheet>");
        m_dir->write("dtd.xsl", "<!DOCTYPE xsl:stylesheet [<!ENTITY e 'expanded'>]>" + exslt +
                                    "&e;</xsl:template></xsl:stylesheet>");
        m_dir->write("padding.xsl", exslt +
                                        "<xsl:value-of select=\"str:padding(1000000000, 'a')\"/>"
                                        "</xsl:template></xsl:stylesheet>");
        const auto start = std::chrono::steady_clock::now();
        expectOutcome(run(c.arguments, c.input), c.status, "", c.errorPart);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_LT(elapsed.count(), 15);
        if (c.status == 6)
        {
            EXPECT_EQ(std::count(m_err.begin(), m_err.end(), '\n'), 1) << m_err;
        }
    }
}

TEST_F(PrsmXslt, HelpAndVersionIgnoreTheRestOfTheLine)
{
    EXPECT_EQ(run("--help title.xsl"), 0);
    EXPECT_NE(m_out.find("Exit status:"), std::string::npos) << m_out;
    EXPECT_EQ(run("--version extra words x"), 0);
    EXPECT_EQ(m_out.rfind("prsm-xslt " PRSM_XSLT_VERSION_STRING " (", 0), 0u) << m_out;
}

TEST_F(PrsmXslt, QueryPrintsEveryResultKind)
{
    const struct
    {
        const char* expression;
        const char* out;
    } cases[] = {
        {"count(//p)", "2\n"},
        {"count(//p) > 1", "true\n"},
        {"//p", "<p id=\"a\">one</p>\n<p id=\"b\">two &amp; more</p>\n"},
        {"/*", "<doc><p id=\"a\">one</p><p id=\"b\">two &amp; more</p></doc>\n"},
        {"//@id", "id=\"a\"\nid=\"b\"\n"},
        {"//p/text()", "one\ntwo & more\n"},
        {"//absent", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.expression);
        expectOutcome(run(std::string("--xpath '") + c.expression + "' mixed.xml"), 0, c.out, "");
    }
}

TEST_F(PrsmXslt, ParametersPassAnyValue)
{
    expectOutcome(run("--stringparam title \"it's \\\"so\\\"\" title.xsl items.xml"), 0,
                  "[it's \"so\":3]", "");
    expectOutcome(run("--param title 'concat(\"a\", 1 + 2)' title.xsl items.xml"), 0, "[a3:3]", "");
}

TEST_F(PrsmXslt, ReferencesResolveAgainstTheSource)
{
    expectOutcome(run("follow.xsl refs/list.xml"), 0, "inner", "");
}

// A name with a scheme is read by the library, over the network too, as its own limits say.
TEST_F(PrsmXslt, ReadsSourcesAndStylesheetsNamedByUri)
{
    const std::string folder = "file://" + m_dir->path("");
    expectOutcome(run(folder + "follow.xsl " + folder + "refs/list.xml"), 0, "inner", "");
    expectOutcome(run("follow.xsl " + folder + "refs/none.xml"), 4, "", "none.xml");
    const prsm::test::SilentServer server;
    const auto start = std::chrono::steady_clock::now();
    expectOutcome(run("--timeout 1 follow.xsl " + server.url() + "list.xml"), 6, "",
                  "(PRSMXslLimits::timeoutSeconds)");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(PrsmXslt, WritesTheDocumentsAStylesheetNamesUnlessTold)
{
    std::filesystem::create_directory(m_dir->path("out"));
    expectOutcome(run("-v -o out/r.txt chunks.xsl items.xml"), 0, "", "wrote ");
    EXPECT_EQ(readFile(m_dir->path("out/r.txt")), "main");
    EXPECT_EQ(readFile(m_dir->path("out/chunks/one.txt")), "one");
    EXPECT_EQ(readFile(m_dir->path("out/chunks/two.txt")), "two");
    EXPECT_NE(m_err.find("wrote " + m_dir->path("out/chunks/two.txt") + "\n"), std::string::npos)
        << m_err;

    const struct
    {
        const char* options;
        const char* error;
    } refusals[] = {
        {"--nowrite", "may not write result documents"},
        {"--nomkdir", "may not be created"},
        {"--write-dir refs", "not under a writable folder"},
    };
    for (const auto& refusal : refusals)
    {
        SCOPED_TRACE(refusal.options);
        freshFolder();
        expectOutcome(run(std::string(refusal.options) + " chunks.xsl items.xml"), 4, "",
                      refusal.error);
        EXPECT_FALSE(std::filesystem::exists(m_dir->path("chunks")));
    }
    expectOutcome(run("--nomkdir --write-dir . --write-dir refs chunks.xsl items.xml"), 4, "",
                  "may not be created");
    std::filesystem::create_directory(m_dir->path("chunks"));
    expectOutcome(run("--nomkdir --write-dir . chunks.xsl items.xml"), 0, "main", "");
    EXPECT_EQ(readFile(m_dir->path("chunks/two.txt")), "two");
}

TEST_F(PrsmXslt, MessagesGoToStandardError)
{
    expectOutcome(run("message.xsl items.xml"), 0, "3", "message.xsl:5: counting 3\n");
    expectOutcome(run("--quiet message.xsl items.xml"), 0, "3", "");
    expectOutcome(run("-q --stringparam stop yes message.xsl items.xml"), 4, "",
                  "message.xsl:6: stop here\n");
    EXPECT_EQ(m_err.find("counting"), std::string::npos) << m_err;

    // What compiling a stylesheet reports comes once, whether it is compiled ahead of a lone
    // source or by the worker of a batch.
    m_dir->write("lenient.xsl",
                 "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                 "<xsl:output method='text'/><xsl:template match='/'><xsl:choose><xsl:when "
                 "test='false()'>a</xsl:when><xsl:otherwise test='x'>b</xsl:otherwise>"
                 "</xsl:choose></xsl:template></xsl:stylesheet>");
    const auto count = [&](const std::string& part)
    {
        std::size_t found = 0;
        for (auto at = m_err.find(part); at != std::string::npos; at = m_err.find(part, at + 1))
            ++found;
        return found;
    };
    for (const auto& [sources, failures] :
         {std::pair<std::string, std::size_t>{"items.xml", 1}, {"items.xml items.xml", 2}})
    {
        SCOPED_TRACE(sources);
        EXPECT_EQ(run("lenient.xsl " + sources), 0);
        EXPECT_EQ(count("'test' that XSLT 1.0 does not define"), 1u) << m_err;
        EXPECT_EQ(run("broken.xsl " + sources), 4);
        EXPECT_EQ(count("whitespace expected"), failures) << m_err; // one line per source
    }
}

// A book of several files (XML and text inclusions, an element() pointer, a fallback) comes out
// as xsltproc --xinclude writes it.
TEST_F(PrsmXslt, AssemblesABookWithXInclude)
{
    const std::string book = PRSM_TEST_DATA_DIR "/xinclude-book/";
    EXPECT_EQ(run("--xinclude " + book + "copy.xsl " + book + "book.xml"), 0) << m_err;
    std::string expected = readFile(book + "book.expected");
    expected.pop_back(); // the line end xsltproc puts after the document
    EXPECT_EQ(m_out, expected);
}

TEST_F(PrsmXslt, CatalogOptionsReplaceOrSwitchOffTheSystemCatalogs)
{
    m_dir->write("who.xml", "<doc>local</doc>");
    m_dir->write("catalog.xml", "<catalog xmlns='urn:oasis:names:tc:entity:xmlns:xml:catalog'>"
                                "<uri name='http://example.invalid/who.xml' uri='who.xml'/>"
                                "</catalog>");
    m_dir->write("who.xsl", "<xsl:stylesheet version='1.0' "
                            "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                            "<xsl:output method='text'/><xsl:template match='/'><xsl:value-of "
                            "select=\"document('http://example.invalid/who.xml')\"/>"
                            "</xsl:template></xsl:stylesheet>");
    expectOutcome(run("--catalog catalog.xml who.xsl items.xml"), 0, "local", "");
    expectOutcome(run("-v --catalog missing.xml --catalog catalog.xml who.xsl items.xml"), 0,
                  "local", "XML catalog resolved \"http://example.invalid/who.xml\"");
    EXPECT_NE(m_err.find("missing.xml is missing"), std::string::npos) << m_err;
    // Without catalogs document() of the address is refused, and recovers as an empty node-set.
    expectOutcome(run("--catalog catalog.xml --no-catalogs who.xsl items.xml"), 0, "",
                  "PRSMXslLimits::allowNetwork");
}

TEST_F(PrsmXslt, HostileInputEndsWithItsExitStatus)
{
    m_dir->write("nope.xsl", "<xsl:stylesheet version='1.0' "
                             "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                             "<xsl:template match='/'><xsl:value-of select='$nope'/>"
                             "</xsl:template></xsl:stylesheet>");
    m_dir->write("self.xsl", "<xsl:stylesheet version='1.0' "
                             "xmlns:xsl='http://www.w3.org/1999/XSL/Transform' "
                             "xmlns:dyn='http://exslt.org/dynamic'><xsl:param name='e' "
                             "select=\"'dyn:evaluate($e)'\"/><xsl:template match='/'>"
                             "<xsl:value-of select='dyn:evaluate($e)'/></xsl:template>"
                             "</xsl:stylesheet>");
    const struct
    {
        const char* arguments;
        int status;
        const char* errorPart;
    } cases[] = {
        {"--param title '$q' title.xsl items.xml", 4,
         "the variable 'q', which has not been declared"},
        {"--param title 'concat($zz, 1)' title.xsl items.xml", 4, "variable 'zz'"},
        {"nope.xsl items.xml", 4, "the variable 'nope' has not been declared"},
        {"--xpath '$q' items.xml", 4, "variable 'q'"},
        {"self.xsl items.xml", 6, "PRSMXslLimits::maxCallDepth"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        expectOutcome(run(c.arguments), c.status, "", c.errorPart);
    }

    std::filesystem::create_directory(m_dir->path("a#b%c?d"));
    std::filesystem::copy(m_dir->path("title.xsl"), m_dir->path("a#b%c?d/title.xsl"));
    expectOutcome(run("'a#b%c?d/title.xsl' items.xml"), 0, "[:3]", "");
    expectOutcome(shell("cd 'a#b%c?d' && prsm-xslt title.xsl ../items.xml"), 0, "[:3]", "");

#if !defined(__SANITIZE_ADDRESS__) // the sanitizer's shadow memory needs no address space bound
    m_dir->write("pad.xsl", "<xsl:stylesheet version='1.0' "
                            "xmlns:xsl='http://www.w3.org/1999/XSL/Transform' "
                            "xmlns:str='http://exslt.org/strings'><xsl:template match='/'>"
                            "<xsl:value-of select=\"string-length(str:padding(200000000, 'a'))\"/>"
                            "</xsl:template></xsl:stylesheet>");
    expectOutcome(shell("ulimit -v 400000 && prsm-xslt pad.xsl items.xml"), 7, "", "Out of memory");
#endif
}

} // namespace
