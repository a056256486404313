// Secondary result documents (exsl:document) and the write policy that governs them.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "PRSMXslWritePolicy.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using prsm::test::readFile;

// A stylesheet with exsl as an extension element prefix and `body` as its root template.
std::string documentStylesheet(const std::string& body, const std::string& output = "")
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:exsl='http://exslt.org/common' extension-element-prefixes='exsl'>" +
           output + "<xsl:template match='/'>" + body + "</xsl:template></xsl:stylesheet>";
}

// The three transformation paths, each run from the folder's files with relative hrefs
// resolving in the folder: beside the result file, or in the policy's base folder.
enum class Path
{
    File,
    Stream,
    Memory
};

class ResultDocuments : public ::testing::TestWithParam<Path>
{
protected:
    // Runs `xsl` over <doc/> on the parameter's path; returns the status.
    int run(const std::string& xsl, const std::string& source = "<doc><a>1</a><a>2</a></doc>")
    {
        const std::string style = m_dir.write("t.xsl", xsl);
        PRSMXslWritePolicy policy = m_transformer.writePolicy();
        policy.baseFolder = m_dir.path("");
        m_transformer.setWritePolicy(policy);
        if (GetParam() == Path::File)
            return m_transformer.doTransform(m_dir.write("in.xml", source).c_str(), style.c_str(),
                                             m_dir.path("main.out").c_str());
        if (GetParam() == Path::Stream)
        {
            int status = -100;
            m_main = prsm::test::transformStream(m_transformer, style, source, status);
            return status;
        }
        ScopedDom2Dom input(m_transformer), output(m_transformer);
        std::ostringstream out;
        input->InitializeInputSource(source.c_str());
        output->InitializeOutputTarget(out);
        const int status = m_transformer.doTransform(*input, style.c_str(), *output);
        m_main = out.str();
        return status;
    }

    void allow(const std::vector<std::string>& folders)
    {
        PRSMXslWritePolicy policy;
        policy.writableFolders = folders;
        m_transformer.setWritePolicy(policy);
    }

    std::string error() { return m_transformer.getLastError(); }

    prsm::test::TempDir m_dir;
    PRSMXslTransformer m_transformer;
    std::string m_main;
};

TEST_P(ResultDocuments, AreRefusedByDefaultWithTheSettingNamed)
{
    EXPECT_NE(run(documentStylesheet("<exsl:document href='d.xml'><d/></exsl:document>")), 0);
    EXPECT_NE(error().find("PRSMXslWritePolicy::writableFolders"), std::string::npos) << error();
    EXPECT_FALSE(fs::exists(m_dir.path("d.xml")));
}

TEST_P(ResultDocuments, WriteEachDocumentNestedAndInNewFolders)
{
    allow({m_dir.path("")});
    const std::string xsl = documentStylesheet(
        "<main ok='{element-available(\"exsl:document\")}'/>"
        "<xsl:for-each select='doc/a'>"
        "<exsl:document href='sub/deeper/a{.}.xml' omit-xml-declaration='yes'>"
        "<a n='{.}'><exsl:document href='inner.txt' method='text'>in <xsl:value-of select='.'/>"
        "</exsl:document></a><xsl:fallback>never</xsl:fallback></exsl:document>"
        "</xsl:for-each><exsl:foo><xsl:fallback>fell back</xsl:fallback></exsl:foo>",
        "<xsl:output omit-xml-declaration='yes'/>");
    // The same href twice is an error, so the inner document gets one name per outer one.
    EXPECT_NE(run(xsl), 0);
    EXPECT_NE(error().find("inner.txt"), std::string::npos) << error();
    EXPECT_NE(error().find("already a result"), std::string::npos) << error();

    const std::string once = documentStylesheet(
        "<main ok='{element-available(\"exsl:document\")}'/>"
        "<xsl:for-each select='doc/a'>"
        "<exsl:document href='sub/deeper/a{.}.xml' omit-xml-declaration='yes'>"
        "<a n='{.}'><exsl:document href='inner{.}.txt' method='text'>in <xsl:value-of "
        "select='.'/></exsl:document></a><xsl:fallback>never</xsl:fallback></exsl:document>"
        "</xsl:for-each><exsl:foo><xsl:fallback>fell back</xsl:fallback></exsl:foo>",
        "<xsl:output omit-xml-declaration='yes'/>");
    ASSERT_EQ(run(once), 0) << error();
    EXPECT_EQ(readFile(m_dir.path("sub/deeper/a1.xml")), "<a n=\"1\"/>");
    EXPECT_EQ(readFile(m_dir.path("sub/deeper/a2.xml")), "<a n=\"2\"/>");
    // A document inside another resolves against the other's folder.
    EXPECT_EQ(readFile(m_dir.path("sub/deeper/inner2.txt")), "in 2");
    const std::string main = GetParam() == Path::File ? readFile(m_dir.path("main.out")) : m_main;
    EXPECT_NE(main.find("<main ok=\"true\"/>fell back"), std::string::npos) << main;
}

TEST_P(ResultDocuments, RefuseEveryEscapeFromTheWritableFolders)
{
    const prsm::test::TempDir outside;
    fs::create_directory(m_dir.path("w"));
    fs::create_symlink(outside.path(""), m_dir.path("w/link"));
    allow({m_dir.path("w")});
    const struct
    {
        const char* href;
        const char* why;
    } cases[] = {
        {"w/../x.xml", "not under a writable folder"},
        {"w/link/x.xml", "not under a writable folder"},
        {"w/link/new/x.xml", "not under a writable folder"},
        {"http://example.com/x.xml", "only files"},
        {"w/", "folder"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.href);
        EXPECT_NE(run(documentStylesheet("<exsl:document href='" + std::string(c.href) +
                                         "'><d/></exsl:document>")),
                  0);
        EXPECT_NE(error().find(c.why), std::string::npos) << error();
    }
    // The base folder itself is outside the list, so no relative href may land anywhere.
    EXPECT_NE(run(documentStylesheet("<exsl:document href='w/x.xml'><d/></exsl:document>")), 0);
    EXPECT_NE(error().find("base output folder"), std::string::npos) << error();
    // Absolute paths outside are refused; inside they are written.
    EXPECT_NE(run(documentStylesheet("<exsl:document href='" + outside.path("x.xml") +
                                     "'><d/></exsl:document>")),
              0);
    EXPECT_EQ(run(documentStylesheet("<exsl:document href='" + m_dir.path("w/ok.xml") +
                                     "' omit-xml-declaration='yes'><d/></exsl:document>")),
              0)
        << error();
    EXPECT_EQ(readFile(m_dir.path("w/ok.xml")), "<d/>");
    // A name that only looks like a URL, as a Perl module's man page, is a file name.
    allow({m_dir.path("")});
    EXPECT_EQ(run(documentStylesheet("<exsl:document href='Mail::Box.3pm' method='text'>m"
                                     "</exsl:document>")),
              0)
        << error();
    EXPECT_EQ(readFile(m_dir.path("Mail::Box.3pm")), "m");
    EXPECT_TRUE(fs::is_empty(outside.path("")));

    PRSMXslWritePolicy policy;
    policy.writableFolders = {m_dir.path("")};
    policy.mayCreateFolders = false;
    m_transformer.setWritePolicy(policy);
    EXPECT_NE(run(documentStylesheet("<exsl:document href='new/x.xml'><d/></exsl:document>")), 0);
    EXPECT_NE(error().find("may not be created"), std::string::npos) << error();
    EXPECT_FALSE(fs::exists(m_dir.path("new")));
}

TEST_P(ResultDocuments, KeepFinishedFilesWhenALaterOneFails)
{
    allow({m_dir.path("")});
    const mode_t mask = ::umask(027);
    const int status = run(documentStylesheet(
        "<exsl:document href='first.xml'><f/></exsl:document>"
        "<exsl:document href='second.xml'><s><xsl:message terminate='yes'>stop</xsl:message>"
        "</s></exsl:document>"));
    ::umask(mask);
    EXPECT_NE(status, 0);
    EXPECT_EQ(readFile(m_dir.path("first.xml")), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><f/>");
    EXPECT_EQ(fs::status(m_dir.path("first.xml")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Nothing of the document that failed is left, not even its temporary file.
    for (const auto& entry : fs::directory_iterator(m_dir.path("")))
        EXPECT_EQ(entry.path().filename().string().find("second"), std::string::npos)
            << entry.path();
}

TEST_P(ResultDocuments, GoToTheHostsHandlerInOrder)
{
    std::map<std::string, std::unique_ptr<std::ostringstream>> streams;
    std::vector<std::string> completed;
    PRSMXslWritePolicy policy;
    policy.handler = [&](const PRSMXslResultDocument& document) -> std::ostream*
    {
        if (document.href == "refused.xml")
            return nullptr;
        auto& stream = streams[document.href];
        stream = std::make_unique<std::ostringstream>();
        if (document.href == "broken.xml")
            stream->setstate(std::ios::badbit);
        return stream.get();
    };
    policy.observer = [&](const PRSMXslResultDocument& document)
    { completed.push_back(document.href + " " + document.method); };
    m_transformer.setWritePolicy(policy);
    ASSERT_EQ(run(documentStylesheet("<exsl:document href='a.html'><html><p>x</p></html>"
                                     "<exsl:document href='t.txt' method='text'>t</exsl:document>"
                                     "</exsl:document>")),
              0)
        << error();
    EXPECT_EQ(completed, (std::vector<std::string>{"t.txt text", "a.html html"}));
    EXPECT_EQ(streams["t.txt"]->str(), "t");
    EXPECT_EQ(streams["a.html"]->str(), "<html>\n<p>x</p>\n</html>\n");
    EXPECT_FALSE(fs::exists(m_dir.path("a.html")));

    for (const char* href : {"refused.xml", "broken.xml"})
    {
        SCOPED_TRACE(href);
        EXPECT_NE(run(documentStylesheet("<exsl:document href='" + std::string(href) +
                                         "'><d/></exsl:document>")),
                  0);
        EXPECT_NE(error().find(href), std::string::npos) << error();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, ResultDocuments,
                         ::testing::Values(Path::File, Path::Stream, Path::Memory));

// A transformer that may write in its own folder, where relative hrefs resolve.
class ResultDocumentFormat : public ::testing::Test
{
protected:
    ResultDocumentFormat()
    {
        PRSMXslWritePolicy policy;
        policy.writableFolders = {m_dir.path("")};
        policy.baseFolder = m_dir.path("");
        m_transformer.setWritePolicy(policy);
    }

    const prsm::test::TempDir m_dir;
    PRSMXslTransformer m_transformer;
};

// Each output attribute of exsl:document, as an attribute value template, and the bytes it gives.
TEST_F(ResultDocumentFormat, FollowsEveryOutputAttribute)
{
    const struct
    {
        const char* name;
        const char* attributes;
        const char* content;
        const char* expected;
    } cases[] = {
        {"xml by default", "", "<r>\xC3\xA9</r>",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xC3\xA9</r>"},
        {"html when the first element is html", "", "<HTML><br/></HTML>",
         "<HTML>\n<br>\n</HTML>\n"},
        {"method as a template", "method='{concat(\"te\", \"xt\")}'", "<r>a<b>c</b></r>", "ac"},
        {"html", "method='html' indent='no' media-type='text/x'", "<html><head/><p>&lt;</p></html>",
         // The engine's HTML writer names text/html whatever the media type.
         "<html><head><META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
         "</head><p>&lt;</p></html>"},
        {"encoding, standalone, doctype",
         "encoding='ISO-8859-1' standalone='yes' doctype-public='-//P' doctype-system='s.dtd'",
         "<r>\xC3\xA9</r>",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n"
         "<!DOCTYPE r PUBLIC \"-//P\" \"s.dtd\">\n<r>\xE9</r>"},
        {"omitted declaration, indent", "omit-xml-declaration='yes' indent='yes'",
         "<r><s>t</s></r>", "<r>\n  <s>t</s>\n</r>\n"},
        {"version", "version='1.1'", "<r/>", "<?xml version=\"1.1\" encoding=\"UTF-8\"?><r/>"},
        {"cdata sections of its own list",
         "omit-xml-declaration='yes' "
         "cdata-section-elements='c q:c'",
         "<r xmlns:p='urn:q'><c>a&lt;b</c><p:c>x</p:c><d>e</d></r>",
         // urn:q is excluded, so the engine declares it only where an element needs it.
         "<r><c><![CDATA[a<b]]></c><p:c xmlns:p=\"urn:q\"><![CDATA[x]]></p:c><d>e</d></r>"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string xsl =
            "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
            " xmlns:exsl='http://exslt.org/common' xmlns:q='urn:q'"
            " extension-element-prefixes='exsl' exclude-result-prefixes='q'><xsl:template "
            "match='/'>"
            "<exsl:document href='out' " +
            std::string(c.attributes) + ">" + c.content +
            "</exsl:document></xsl:template></xsl:stylesheet>";
        int status = -100;
        prsm::test::transformStream(m_transformer, m_dir.write("f.xsl", xsl), "<doc/>", status);
        ASSERT_EQ(status, 0) << m_transformer.getLastError();
        EXPECT_EQ(readFile(m_dir.path("out")), c.expected);
        fs::remove(m_dir.path("out"));
    }
}

// An enclosing result element's namespace declarations are not in a document of its own.
TEST_F(ResultDocumentFormat, DeclaresTheNamespacesItUses)
{
    const std::string xsl = m_dir.write(
        "n.xsl", documentStylesheet("<main xmlns='urn:d' xmlns:p='urn:p'>"
                                    "<exsl:document href='n.xml' omit-xml-declaration='yes'>"
                                    "<r p:a='1'><p:x/></r></exsl:document></main>"));
    int status = -100;
    prsm::test::transformStream(m_transformer, xsl, "<doc/>", status);
    ASSERT_EQ(status, 0) << m_transformer.getLastError();
    EXPECT_EQ(readFile(m_dir.path("n.xml")),
              "<r xmlns=\"urn:d\" xmlns:p=\"urn:p\" p:a=\"1\"><p:x/></r>");
}

// xsl:apply-imports in a named template of an imported stylesheet applies the rules imported
// by the stylesheet of the current template rule, not the built-in ones.
TEST(ApplyImports, WorksFromTheCurrentTemplateRuleThroughANamedTemplate)
{
    const prsm::test::TempDir dir;
    dir.write("imported.xsl", "<xsl:stylesheet version='1.0' "
                              "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                              "<xsl:template match='doc'>imported</xsl:template>"
                              "</xsl:stylesheet>");
    dir.write("named.xsl", "<xsl:stylesheet version='1.0' "
                           "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                           "<xsl:template name='t'><xsl:apply-imports/></xsl:template>"
                           "</xsl:stylesheet>");
    const std::string main = dir.write(
        "main.xsl", "<xsl:stylesheet version='1.0' "
                    "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                    "<xsl:import href='imported.xsl'/><xsl:import href='named.xsl'/>"
                    "<xsl:output method='text'/>"
                    "<xsl:template match='doc'><xsl:call-template name='t'/></xsl:template>"
                    "</xsl:stylesheet>");
    PRSMXslTransformer transformer;
    int status = -100;
    EXPECT_EQ(prsm::test::transformStream(transformer, main, "<doc>built-in</doc>", status),
              "imported");
}

} // namespace
