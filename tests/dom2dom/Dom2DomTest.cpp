// The document handle: its states, its set-up calls, its serialisation and what a query prints of
// its document.
#include "Dom2Dom.hpp"

#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
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

} // namespace
