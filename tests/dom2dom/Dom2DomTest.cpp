// The document handle: its states, its set-up calls, its serialisation, what a query prints of
// its document, and transformations from one handle into another.
#include "Dom2Dom.hpp"

#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"
#include "support/HostFunction.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

namespace
{

using prsm::test::Handle;
using prsm::test::kLineEndAndNul;

const std::string kEmptyTree = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + kLineEndAndNul;

class Dom2DomTest : public ::testing::Test
{
protected:
    PRSMXslTransformer m_transformer;
    std::ostringstream m_sink; // the stream of stream-output handles
};

TEST_F(Dom2DomTest, OnlyAFreshHandleAcceptsASetUpAndEachStateSerializesExactly)
{
    const char* const states[] = {"input", "stream input", "failed input", "tree output",
                                  "stream output"};
    for (const std::string state : states)
    {
        for (const char* second : states)
        {
            SCOPED_TRACE(state + " then " + second);
            const std::string expected = state == "tree output" ? kEmptyTree : kLineEndAndNul;
            Handle handle(m_transformer);
            EXPECT_EQ(prsm::test::serialized(handle), kLineEndAndNul);
            ASSERT_EQ(prsm::test::setUpAs(*handle, state, m_sink), state != "failed input");
            EXPECT_EQ(prsm::test::serialized(handle), expected);
            EXPECT_FALSE(prsm::test::setUpAs(*handle, second, m_sink));
            EXPECT_EQ(prsm::test::serialized(handle), expected);
        }
    }
    EXPECT_EQ(m_sink.str(), "");
}

TEST_F(Dom2DomTest, AFailedInputAnswersWithItsParseStatusAndChangesNothing)
{
    Handle fresh(m_transformer);
    Handle output(m_transformer);
    ASSERT_TRUE(output->InitializeOutputTarget());
    m_transformer.doTransform(*fresh, I18NString("none.xsl"), *output); // stores a report
    const std::string report = m_transformer.getLastError();
    for (const char* text : {"", static_cast<const char*>(nullptr), "<a></b>"})
    {
        SCOPED_TRACE(text == nullptr ? "null" : text);
        Handle input(m_transformer);
        EXPECT_FALSE(input->InitializeInputSource(text));
        std::ostringstream out;
        // -2, as the stream transformation answers for a source that does not parse.
        EXPECT_EQ(m_transformer.doXPath(*input, I18NString("/"), out), -2);
        EXPECT_EQ(m_transformer.doTransform(*input, I18NString("none.xsl"), *output), -2);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(prsm::test::serialized(output), kEmptyTree);
        EXPECT_EQ(m_transformer.getLastError(), report);
    }

    Dom2Dom* handle = m_transformer.createDom2Dom();
    m_transformer.destroyDom2Dom(handle);
    EXPECT_EQ(handle, nullptr);
    m_transformer.destroyDom2Dom(handle); // null is allowed
}

TEST_F(Dom2DomTest, AQueryPrintsOneNodeAsMarkupAndAStringAsTextAndNothingElse)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/doc/title", "<title lang=\"de\">K\xC3\xA4se</title>"},
        {"doc/title", "<title lang=\"de\">K\xC3\xA4se</title>"},
        // The walker writes the subtree alone, without declarations made above it.
        {"/doc/p:note", "<p:note>n<b/></p:note>"},
        {"string(doc/title)", "K\xC3\xA4se"},
        {"concat(doc/item[2], '\xF0\x9F\x98\x80')", "2\xF0\x9F\x98\x80"},
        {"string(/doc/missing)", ""},
        // A bare literal comes back in the engine's token form, still a string.
        {"'a literal'", "a literal"},
        {"/doc/item", ""},
        {"/doc/none", ""},
        {"count(//item)", ""},
        {"1 = 1", ""},
    };
    Handle document(m_transformer);
    ASSERT_TRUE(document->InitializeInputSource(
        "<?xml version='1.0' encoding='UTF-8'?><!-- beside the root -->"
        "<doc xmlns:p='urn:p'><title lang='de'>K\xC3\xA4se</title>"
        "<item>1</item><item>2</item><p:note>n<b/></p:note></doc>"));
    for (const auto& [expression, output] : cases)
    {
        SCOPED_TRACE(expression);
        std::ostringstream out;
        EXPECT_EQ(m_transformer.doXPath(*document, I18NString(expression), out), 0);
        EXPECT_EQ(out.str(), output);
    }

    // Text is read as bytes in the encoding that the document declares.
    Handle latin1(m_transformer);
    ASSERT_TRUE(latin1->InitializeInputSource(
        "<?xml version='1.0' encoding='ISO-8859-1'?><doc>K\xE4se \xF0</doc>"));
    std::ostringstream out;
    EXPECT_EQ(m_transformer.doXPath(*latin1, I18NString("string(doc)"), out), 0);
    EXPECT_EQ(out.str(), "K\xC3\xA4se \xC3\xB0");
}

// One transformer reads its documents one after the other with the same parser: nothing a
// document declared, and no limit of an earlier parse, may reach the next one.
TEST_F(Dom2DomTest, EachParseStartsFromNothingThatAnEarlierOneDeclaredOrWasLimitedBy)
{
    const std::string entities = "<!DOCTYPE doc [<!ENTITY e 'ee'>]><doc>&e;&e;&e;</doc>";
    const std::string moreEntities = "<!DOCTYPE doc [<!ENTITY e 'e'>]><doc>&e;&e;&e;&e;&e;</doc>";
    const std::string defaulted = "<!DOCTYPE doc [<!ATTLIST doc x CDATA 'dflt'>]><doc/>";
    struct Case
    {
        std::string document;
        std::size_t maxEntityExpansions;
        std::string expression;
        std::string answer; // empty: the parse fails
    };
    const Case cases[] = {
        {defaulted, 10, "string(doc/@x)", "dflt"},
        {"<doc/>", 10, "concat('[', doc/@x, ']')", "[]"},
        {entities, 2, "", ""},
        {"<doc>&e;</doc>", 10000, "", ""},
        {entities, 3, "string(doc)", "eeeeee"},
        {moreEntities, 0, "string(doc)", "eeeee"},
        {entities, 2, "", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.document + " with " + std::to_string(c.maxEntityExpansions));
        PRSMXslLimits limits;
        limits.maxEntityExpansions = c.maxEntityExpansions;
        m_transformer.setLimits(limits);
        Handle document(m_transformer);
        const bool isParsed = document->InitializeInputSource(c.document.c_str());
        ASSERT_EQ(isParsed, !c.answer.empty());
        if (!isParsed)
            continue;
        std::ostringstream out;
        EXPECT_EQ(m_transformer.doXPath(*document, I18NString(c.expression.c_str()), out), 0);
        EXPECT_EQ(out.str(), c.answer);
    }
}

TEST_F(Dom2DomTest, ChainsTwoTransformationsSerializesAndQueriesTheFirstResult)
{
    Handle source(m_transformer);
    Handle first(m_transformer);
    Handle second(m_transformer);
    ASSERT_TRUE(source->InitializeInputSource("<doc><v>\xC3\xA9</v><v>b</v></doc>"));
    ASSERT_TRUE(first->InitializeOutputTarget());
    ASSERT_TRUE(second->InitializeOutputTarget());
    ASSERT_EQ(m_transformer.doTransform(*source, PRSM_TEST_DATA_DIR "/list-items.xsl", *first), 0);
    ASSERT_EQ(m_transformer.doTransform(*first, PRSM_TEST_DATA_DIR "/count-items.xsl", *second), 0);

    // Serialize writes the root element alone, each time, whatever the stream's state.
    const std::string once = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><list a=\"\xC3\xA9\">"
                             "<i>\xC3\xA9</i><i>b</i></list>" +
                             kLineEndAndNul;
    std::ostringstream out;
    out.setstate(std::ios::failbit);
    first->Serialize(out);
    first->Serialize(out);
    EXPECT_EQ(out.str(), once + once);
    EXPECT_EQ(prsm::test::serialized(second),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><n>2</n>" + kLineEndAndNul);
    std::ostringstream firstItem;
    EXPECT_EQ(m_transformer.doXPath(*first, I18NString("list/i[1]"), firstItem), 0);
    EXPECT_EQ(firstItem.str(), "<i>\xC3\xA9</i>");

    // The source is used where it lies, so it feeds any number of transformations.
    Handle again(m_transformer);
    ASSERT_TRUE(again->InitializeOutputTarget());
    ASSERT_EQ(m_transformer.doTransform(*source, PRSM_TEST_DATA_DIR "/list-items.xsl", *again), 0);
    EXPECT_EQ(prsm::test::serialized(again), once);
    EXPECT_STREQ(m_transformer.getLastError(), "");
}

// The text is read during the call, not kept; the handle shares its transformer's engine state,
// not the transformer, so it works on and is destroyed after the transformer is gone.
TEST_F(Dom2DomTest, AHandleNeedsNeitherItsTextNorItsTransformerAfterwards)
{
    auto maker = std::make_unique<PRSMXslTransformer>();
    Dom2Dom* input = maker->createDom2Dom();
    Dom2Dom* output = maker->createDom2Dom();
    {
        std::string text = "<doc><v>kept</v></doc>";
        ASSERT_TRUE(input->InitializeInputSource(text.c_str()));
        text.assign(text.size(), 'x');
    }
    maker.reset();
    ASSERT_TRUE(output->InitializeOutputTarget());
    ASSERT_EQ(m_transformer.doTransform(*input, PRSM_TEST_DATA_DIR "/list-items.xsl", *output), 0)
        << m_transformer.getLastError();
    std::ostringstream out;
    EXPECT_EQ(m_transformer.doXPath(*input, I18NString("string(doc/v)"), out), 0);
    EXPECT_EQ(out.str(), "kept");
    std::ostringstream serialized;
    output->Serialize(serialized);
    EXPECT_NE(serialized.str().find("<i>kept</i>"), std::string::npos) << serialized.str();
    m_transformer.destroyDom2Dom(input);
    m_transformer.destroyDom2Dom(output);
}

// A stylesheet file in `dir` with `templateBody` as the body of the root template.
std::string stylesheetFile(const prsm::test::TempDir& dir, const std::string& name,
                           const std::string& top, const std::string& templateBody)
{
    return dir.write(name, "<xsl:stylesheet version='1.0' "
                           "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>" +
                               top + "<xsl:template match='/'>" + templateBody +
                               "</xsl:template></xsl:stylesheet>");
}

TEST_F(Dom2DomTest, AResultATreeCannotHoldFailsCleanlyAndTheHandleStaysUsable)
{
    prsm::test::TempDir dir;
    const std::string copy =
        stylesheetFile(dir, "copy.xsl", "", "<c><xsl:copy-of select='/'/></c>");
    const struct
    {
        const char* name;
        std::string top;
        std::string body;
        const char* kept; // what the tree holds after the failure, serialised; null: nothing
    } cases[] = {
        {"text output", "<xsl:output method='text'/>", "hello", nullptr},
        {"text at the top", "", "text<a/>", nullptr},
        {"two top-level elements", "", "<a/><b/>", "<a/>"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Handle source(m_transformer), tree(m_transformer), chained(m_transformer);
        ASSERT_TRUE(source->InitializeInputSource("<doc/>"));
        ASSERT_TRUE(tree->InitializeOutputTarget());
        ASSERT_TRUE(chained->InitializeOutputTarget());
        const std::string xsl = stylesheetFile(dir, "t.xsl", c.top, c.body);
        EXPECT_EQ(m_transformer.doTransform(*source, xsl.c_str(), *tree), -4);
        EXPECT_EQ(m_transformer.lastFailure().kind, PRSMXslFailureKind::Output);

        const int empty = c.kept == nullptr ? PRSMXslTransformer::kNoDocumentStatus : 0;
        for (const char* expression : {"/", "count(//*)", "string(/)"})
        {
            std::ostringstream out;
            EXPECT_EQ(m_transformer.doXPath(*tree, expression, out), empty) << expression;
            EXPECT_EQ(m_transformer.doXPathAll(*tree, expression, out), empty) << expression;
        }
        EXPECT_EQ(m_transformer.doTransform(*tree, copy.c_str(), *chained), empty);
        const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
        EXPECT_EQ(prsm::test::serialized(tree),
                  declaration + (c.kept ? c.kept : "") + kLineEndAndNul);
        // A second transformation into the same handle fails in the same way.
        EXPECT_EQ(m_transformer.doTransform(*source, xsl.c_str(), *tree), -4);
    }
}

TEST_F(Dom2DomTest, TreeOutputKeepsAttributeOrder)
{
    prsm::test::TempDir dir;
    const std::string xsl = stylesheetFile(
        dir, "t.xsl", "", "<r a='1' b='2' c='3'><xsl:attribute name='d'>4</xsl:attribute></r>");
    const std::string copy = stylesheetFile(dir, "copy.xsl", "", "<xsl:copy-of select='/'/>");
    Handle source(m_transformer), tree(m_transformer), chained(m_transformer);
    ASSERT_TRUE(source->InitializeInputSource("<doc/>"));
    ASSERT_TRUE(tree->InitializeOutputTarget());
    ASSERT_TRUE(chained->InitializeOutputTarget());
    ASSERT_EQ(m_transformer.doTransform(*source, xsl.c_str(), *tree), 0);
    ASSERT_EQ(m_transformer.doTransform(*tree, copy.c_str(), *chained), 0);
    const std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                 "<r a=\"1\" b=\"2\" c=\"3\" d=\"4\"/>" +
                                 kLineEndAndNul;
    EXPECT_EQ(prsm::test::serialized(tree), expected);
    EXPECT_EQ(prsm::test::serialized(chained), expected);
    std::ostringstream element, attributes;
    EXPECT_EQ(m_transformer.doXPath(*tree, "/r", element), 0);
    EXPECT_EQ(element.str(), "<r a=\"1\" b=\"2\" c=\"3\" d=\"4\"/>");
    EXPECT_EQ(m_transformer.doXPathAll(*tree, "/r/@*", attributes), 0);
    EXPECT_EQ(attributes.str(), "a=\"1\"\nb=\"2\"\nc=\"3\"\nd=\"4\"\n");
}

TEST_F(Dom2DomTest, ATreeWithLineEndsAndTabsInAttributesSerializes)
{
    const prsm::test::TempDir dir;
    const std::string xsl = dir.write(
        "t.xsl", "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                 "<xsl:template match='/'><out a='x&#10;y&#9;z&#13;'/></xsl:template>"
                 "</xsl:stylesheet>");
    Handle source(m_transformer), tree(m_transformer);
    ASSERT_TRUE(source->InitializeInputSource("<doc/>"));
    ASSERT_TRUE(tree->InitializeOutputTarget());
    ASSERT_EQ(m_transformer.doTransform(*source, xsl.c_str(), *tree), 0);
    EXPECT_EQ(prsm::test::serialized(tree), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                            "<out a=\"x&#10;y&#9;z&#13;\"/>" +
                                                kLineEndAndNul);
}

TEST_F(Dom2DomTest, MisusedHandlesAreRefusedWithAReport)
{
    const char* const noDocument = "The input document handle holds no document: set it up as an "
                                   "input, or use an in-memory output handle.\n";
    const char* const noTarget = "The output document handle is not set up as an output.\n";
    // Each row's report differs from the one before, so each row sees its own report stored.
    const std::tuple<const char*, const char*, int, const char*> cases[] = {
        {"fresh", "tree output", PRSMXslTransformer::kNoDocumentStatus, noDocument},
        {"input", "fresh", PRSMXslTransformer::kNoTargetStatus, noTarget},
        {"stream output", "tree output", PRSMXslTransformer::kNoDocumentStatus, noDocument},
        {"input", "input", PRSMXslTransformer::kNoTargetStatus, noTarget},
        {"tree output", "same", PRSMXslTransformer::kNoTargetStatus, // "same": the input again
         "The output document handle is the input document handle; use two handles.\n"},
    };
    for (const auto& [inputState, outputState, status, report] : cases)
    {
        SCOPED_TRACE(std::string(inputState) + " into " + outputState);
        Handle input(m_transformer);
        Handle output(m_transformer);
        prsm::test::setUpAs(*input, inputState, m_sink);
        prsm::test::setUpAs(*output, outputState, m_sink);
        Dom2Dom& target = std::string(outputState) == "same" ? *input : *output;
        EXPECT_EQ(m_transformer.doTransform(*input, PRSM_TEST_DATA_DIR "/count-items.xsl", target),
                  status);
        EXPECT_STREQ(m_transformer.getLastError(), report);
        if (status == PRSMXslTransformer::kNoDocumentStatus)
        {
            PRSMXslTransformer other; // no report yet
            Handle document(other);
            prsm::test::setUpAs(*document, inputState, m_sink);
            EXPECT_EQ(other.doXPath(*document, I18NString("/"), m_sink), status);
            EXPECT_STREQ(other.getLastError(), report);
        }
        EXPECT_EQ(m_sink.str(), "");
    }
}

TEST_F(Dom2DomTest, GivesTheFileTransformationsResultUnderNonAsciiNames)
{
    // tests/data/features under a non-ASCII name: the stylesheet includes a sibling, the source
    // names a neighbour and an unparsed entity relative to itself, in a folder of its own.
    const prsm::test::TempDir dir;
    const std::string root = dir.path("d\xC3\xA9j\xC3\xA0");
    std::filesystem::copy(PRSM_TEST_DATA_DIR "/features", root,
                          std::filesystem::copy_options::recursive);
    const std::string xsl = root + "/xsl/engine-features.xsl";
    const std::string source = root + "/data/source.xml";
    const std::string result = dir.path("r\xC3\xA9sultat.txt");
    m_transformer.setStylesheetParam("p", "K\xC3\xA4se");
    m_transformer.installExternalFunction("tag", prsm::test::TaggedFunction("t:"));
    ASSERT_EQ(m_transformer.doTransform(source.c_str(), xsl.c_str(), result.c_str()), 0)
        << m_transformer.getLastError();
    const std::string expected = prsm::test::readFile(result);
    EXPECT_EQ(expected, "\xC3\xA4hnlich,\xC3\x84pfel,apple,Birne,Zebra,|1,234.50|25.6%|"
                        "K\xC3\xA4se|t:Zebra|2|\xE2\x82\xAC|neighbour|pic.png");

    std::istringstream in(prsm::test::readFile(source));
    Handle input(m_transformer);
    Handle output(m_transformer);
    std::ostringstream out;
    ASSERT_TRUE(input->InitializeInputSource(in, source.c_str()));
    ASSERT_TRUE(output->InitializeOutputTarget(out));
    ASSERT_EQ(m_transformer.doTransform(*input, xsl.c_str(), *output), 0)
        << m_transformer.getLastError();
    EXPECT_EQ(out.str(), expected);
}

} // namespace
