// Stylesheet modules parsed ahead on another thread: a replay gives the compilation what the
// parser would have, event for event and position for position, and the prefetch hands over
// exactly the modules it may.
#include "engine/stylesheets/ModulePrefetch.hpp"

#include "engine/parse/ModuleRecording.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"
#include "support/TempDir.hpp"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/sax/AttributeList.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/XMLURL.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using prsm::detail::FileVersion;
using prsm::detail::ModulePrefetch;
using prsm::detail::ModuleRecording;
using prsm::detail::utf8Of;

// Every event a document handler is given, with where its locator stands, as lines of text; and
// every problem reported to it as an error handler. Throws the parser's kind of exception at an
// element named "boom".
class Transcript final : public xercesc::HandlerBase
{
public:
    std::string text;

    void resetDocument() override { note("reset"); }
    void setDocumentLocator(const xercesc::Locator* const locator) override
    {
        m_locator = locator;
        note("locator " + utf8Of(locator->getSystemId()) + " " + utf8Of(locator->getPublicId()));
    }
    void startDocument() override { note("start"); }
    void endDocument() override { note("end"); }
    void startElement(const XMLCh* const name, xercesc::AttributeList& attrs) override
    {
        std::string line = "<" + utf8Of(name);
        for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
            line += " " + utf8Of(attrs.getName(i)) + ":" + utf8Of(attrs.getType(i)) + "=" +
                    utf8Of(attrs.getValue(i)) + "|" + utf8Of(attrs.getValue(attrs.getName(i)));
        note(line + " byName=" + utf8Of(attrs.getValue("a")));
        if (utf8Of(name) == "boom")
            throw xercesc::MalformedURLException(__FILE__, __LINE__,
                                                 xercesc::XMLExcepts::URL_MalformedURL);
    }
    void endElement(const XMLCh* const name) override { note("</" + utf8Of(name)); }
    void characters(const XMLCh* const chars, const XMLSize_t length) override
    {
        note("text " + utf8Of(std::u16string(chars, length).c_str()));
    }
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length) override
    {
        note("space " + std::to_string(length) + " " +
             utf8Of(std::u16string(chars, length).c_str()));
    }
    void processingInstruction(const XMLCh* const target, const XMLCh* const data) override
    {
        note("pi " + utf8Of(target) + " " + utf8Of(data));
    }
    void error(const xercesc::SAXParseException& problem) override { report("error", problem); }
    void fatalError(const xercesc::SAXParseException& problem) override
    {
        report("fatal", problem);
    }

private:
    void note(const std::string& event)
    {
        text += event;
        if (m_locator != nullptr)
            text += " @" + std::to_string(m_locator->getLineNumber()) + ":" +
                    std::to_string(m_locator->getColumnNumber());
        text += "\n";
    }
    void report(const char* kind, const xercesc::SAXParseException& problem)
    {
        text += std::string(kind) + " " + utf8Of(problem.getMessage()) + " " +
                utf8Of(problem.getSystemId()) + " @" + std::to_string(problem.getLineNumber()) +
                ":" + std::to_string(problem.getColumnNumber()) + "\n";
    }

    const xercesc::Locator* m_locator = nullptr;
};

const char kSystemId[] = "file:///modules/m.xsl";

// What the compilation's parser gives for `bytes`: no validation, no namespace processing.
std::string parsed(const std::string& bytes)
{
    Transcript transcript;
    xercesc::SAXParser parser(nullptr, &prsm::detail::engineMemory());
    parser.setValidationScheme(xercesc::SAXParser::Val_Never);
    parser.setDoNamespaces(false);
    parser.setDocumentHandler(&transcript);
    parser.setErrorHandler(&transcript);
    const xalanc::XalanDOMString id = prsm::detail::toEngine(kSystemId);
    xercesc::MemBufInputSource input(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(),
                                     id.c_str(), false, &prsm::detail::engineMemory());
    input.setPublicId(u"-//public");
    parser.parse(input);
    return transcript.text;
}

std::string replayed(const ModuleRecording& recording)
{
    Transcript transcript;
    const xalanc::XalanDOMString id = prsm::detail::toEngine(kSystemId);
    recording.replay(transcript, transcript, id.c_str(), u"-//public");
    return transcript.text;
}

const char* const kModules[] = {
    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>\n"
    "  <xsl:template match='/' a=\"x &lt; &#x41;&amp;\">\n"
    "    <r b='1'\n c = '2'>t&#233;xt<![CDATA[<raw>]]><!-- gone --><?pi data here?></r>\n"
    "  </xsl:template>\n</xsl:stylesheet>\n",
    "<?xml version='1.0' encoding='UTF-8'?>\r\n<?top level?><x:s xmlns:x='urn:x'>"
    "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC<e/>\t\r\n<e a='v'/></x:s>",
    "<?xml version='1.0' encoding='ISO-8859-1'?><s a='\xE9'>\xE9</s>",
    "<s>one<boom/>never</s>",
};

TEST(ModuleRecording, ReplaysWhatTheParserGives)
{
    for (const char* module : kModules)
    {
        SCOPED_TRACE(module);
        const auto recording = ModuleRecording::of(module, kSystemId);
        ASSERT_NE(recording, nullptr);
        EXPECT_EQ(replayed(*recording), parsed(module));
    }
}

TEST(ModuleRecording, RecordsNothingOfAParseWithProblems)
{
    for (const char* module :
         {"<s><unclosed></s>", "<s a='1' a='2'/>", "", "<s/><t/>", "<s>&undeclared;</s>"})
        EXPECT_EQ(ModuleRecording::of(module, kSystemId), nullptr) << module;
}

TEST(ModuleRecording, NamesTheTopLevelIncludesAndImportsInOrder)
{
    const std::string xsl = "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'";
    const struct
    {
        std::string module;
        std::vector<std::string> references;
    } cases[] = {
        {"<xsl:stylesheet " + xsl +
             "><xsl:import href='a.xsl'/><xsl:include href='b/c.xsl'/>"
             "<xsl:template match='/'><xsl:include href='no.xsl'/>"
             "</xsl:template><xsl:include/></xsl:stylesheet>",
         {"a.xsl", "b/c.xsl"}},
        {"<t:transform xmlns:t='http://www.w3.org/1999/XSL/Transform' xmlns:xsl='urn:other'>"
         "<xsl:include href='not-xslt.xsl'/><t:include href='d.xsl'/></t:transform>",
         {"d.xsl"}},
        {"<transform xmlns='http://www.w3.org/1999/XSL/Transform'><import href='e.xsl'/>"
         "<x:include xmlns:x='http://www.w3.org/1999/XSL/Transform' href='f.xsl'/></transform>",
         {"e.xsl", "f.xsl"}},
        {"<xsl:include " + xsl + " href='root.xsl'/>", {}},
    };
    for (const auto& c : cases)
    {
        const auto recording = ModuleRecording::of(c.module, kSystemId);
        ASSERT_NE(recording, nullptr) << c.module;
        EXPECT_EQ(recording->moduleReferences(), c.references) << c.module;
    }
}

std::string stylesheet(const std::string& body)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>" +
           body + "</xsl:stylesheet>";
}

FileVersion versionOf(const std::string& path)
{
    return FileVersion::of(path).value();
}

TEST(ModulePrefetch, HandsEachModuleItMayReadOverOnce)
{
    prsm::test::TempDir dir;
    const std::string main = dir.write(
        "main.xsl", stylesheet("<xsl:import href='sub/b.xsl'/><xsl:include href='a.xsl'/>"
                               "<xsl:include href='doctype.xsl'/><xsl:include href='broken.xsl'/>"
                               "<xsl:include href='alias.xsl'/><xsl:include href='gone.xsl'/>"
                               "<xsl:include href='early.xsl'/><xsl:include href='main.xsl'/>"));
    std::filesystem::create_directory(dir.path("sub"));
    const std::string b = dir.write("sub/b.xsl", stylesheet("<xsl:include href='c.xsl'/>"));
    const std::string c = dir.write("sub/c.xsl", stylesheet("<xsl:include href='../a.xsl'/>"));
    const std::string a = dir.write("a.xsl", stylesheet(""));
    const std::string doctype =
        dir.write("doctype.xsl", "<!DOCTYPE xsl:stylesheet []>" + stylesheet(""));
    const std::string broken = dir.write("broken.xsl", stylesheet("<xsl:template>"));
    const std::string alias = dir.write(
        "alias.xsl", stylesheet("<xsl:namespace-alias stylesheet-prefix='a' result-prefix='b'/>"));
    const std::string early = dir.write("early.xsl", stylesheet(""));

    ModulePrefetch prefetch(main);
    // A module the compilation has already read is not recorded for it.
    EXPECT_EQ(prefetch.take(versionOf(early)), nullptr);
    prefetch.help();
    for (const std::string& module : {main, b, c, a})
    {
        EXPECT_NE(prefetch.take(versionOf(module)), nullptr) << module;
        EXPECT_EQ(prefetch.take(versionOf(module)), nullptr) << module;
    }
    for (const std::string& module : {doctype, broken, alias, early})
        EXPECT_EQ(prefetch.take(versionOf(module)), nullptr) << module;
}

TEST(ModulePrefetch, GivesNoModuleThatChangedOrOnceTheCompilationEnded)
{
    prsm::test::TempDir dir;
    const std::string main =
        dir.write("main.xsl", stylesheet("<xsl:include href='a.xsl'/><xsl:include href='b.xsl'/>"));
    const std::string a = dir.write("a.xsl", stylesheet(""));
    const std::string b = dir.write("b.xsl", stylesheet(""));
    ModulePrefetch prefetch(main);
    prefetch.help();
    dir.write("a.xsl", stylesheet("<xsl:variable name='v'/>"));
    EXPECT_EQ(prefetch.take(versionOf(a)), nullptr);
    prefetch.close();
    EXPECT_EQ(prefetch.take(versionOf(b)), nullptr);

    ModulePrefetch closed(main);
    closed.close();
    closed.help();
    EXPECT_EQ(closed.take(versionOf(main)), nullptr);
}

TEST(ModulePrefetch, RecordsWhileThereIsRoomAheadAndGoesOnWhereItStopped)
{
    prsm::test::TempDir dir;
    const std::string main = dir.write(
        "main.xsl", stylesheet("<xsl:include href='big.xsl'/><xsl:include href='next.xsl'/>"
                               "<xsl:include href='last.xsl'/>"));
    // Recorded, more than a compilation may have waiting ahead of it.
    std::string variables;
    for (int i = 0; i < 20000; ++i)
        variables +=
            "<xsl:variable name='v" + std::to_string(i) + "' select='" + std::to_string(i) + "'/>";
    const std::string big = dir.write("big.xsl", stylesheet(variables));
    const std::string next = dir.write("next.xsl", stylesheet(""));
    const std::string last = dir.write("last.xsl", stylesheet(""));

    ModulePrefetch prefetch(main);
    prefetch.help(ModulePrefetch::Help::WhileRoomAhead);
    EXPECT_EQ(prefetch.take(versionOf(next)), nullptr);
    EXPECT_NE(prefetch.take(versionOf(main)), nullptr);
    EXPECT_NE(prefetch.take(versionOf(big)), nullptr);
    prefetch.help(ModulePrefetch::Help::WhileRoomAhead);
    EXPECT_NE(prefetch.take(versionOf(last)), nullptr);
}

} // namespace
