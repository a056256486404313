// The document handle: its states, its set-up calls and its serialisation.
#include "Dom2Dom.hpp"

#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace
{

using prsm::test::Handle;
using prsm::test::kLineEndAndNul;

const char* const kDocument = "<doc><title>T</title></doc>";

class Dom2DomTest : public ::testing::Test
{
protected:
    PRSMXslTransformer m_transformer;
    std::ostringstream m_sink; // the stream of stream-output handles
};

// Each state a handle can be brought to, and whether entering it succeeded.
struct State
{
    const char* name;
    std::function<bool(Dom2Dom&, std::ostream&)> enter;
    bool entered;
};

const State kStates[] = {
    {"parsed input", [](Dom2Dom& d, std::ostream&) { return d.InitializeInputSource(kDocument); },
     true},
    {"parsed stream input",
     [](Dom2Dom& d, std::ostream&)
     {
         std::istringstream in(kDocument);
         return d.InitializeInputSource(in, "doc.xml");
     },
     true},
    {"failed input", [](Dom2Dom& d, std::ostream&) { return d.InitializeInputSource("<doc>"); },
     false},
    {"tree output", [](Dom2Dom& d, std::ostream&) { return d.InitializeOutputTarget(); }, true},
    {"stream output", [](Dom2Dom& d, std::ostream& out) { return d.InitializeOutputTarget(out); },
     true},
};

TEST_F(Dom2DomTest, OnlyAFreshHandleAcceptsASetUp)
{
    for (const State& state : kStates)
    {
        for (const State& second : kStates)
        {
            SCOPED_TRACE(std::string(state.name) + " then " + second.name);
            Handle handle(m_transformer);
            ASSERT_EQ(state.enter(*handle, m_sink), state.entered);
            const std::string before = handle.serialized();
            EXPECT_FALSE(second.enter(*handle, m_sink));
            std::istringstream stream(kDocument);
            EXPECT_FALSE(handle->InitializeInputSource(stream, "doc.xml"));
            EXPECT_EQ(handle.serialized(), before);
        }
    }
}

TEST_F(Dom2DomTest, SerializeWritesADeclaredTreeOnlyForATreeOutput)
{
    Handle fresh(m_transformer);
    EXPECT_EQ(fresh.serialized(), kLineEndAndNul);
    for (const State& state : kStates)
    {
        SCOPED_TRACE(state.name);
        Handle handle(m_transformer);
        state.enter(*handle, m_sink);
        const bool isTree = std::string(state.name) == "tree output";
        EXPECT_EQ(handle.serialized(),
                  (isTree ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" : "") + kLineEndAndNul);
    }
    EXPECT_EQ(m_sink.str(), "");
}

TEST_F(Dom2DomTest, SerializeWritesTheRootElementOnlyEachTimeAndClearsTheStreamState)
{
    prsm::test::TempDir dir;
    const std::string stylesheet =
        dir.write("tree.xsl", "<xsl:stylesheet version='1.0' "
                              "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                              "<xsl:template match='/'><xsl:comment>before</xsl:comment>"
                              "<r a='\xC3\xA9'><xsl:copy-of select='doc/title'/></r>"
                              "<xsl:processing-instruction name='after'/></xsl:template>"
                              "</xsl:stylesheet>");
    Handle input(m_transformer);
    Handle output(m_transformer);
    ASSERT_TRUE(input->InitializeInputSource(kDocument));
    ASSERT_TRUE(output->InitializeOutputTarget());
    ASSERT_EQ(m_transformer.doTransform(*input, I18NString(stylesheet.c_str()), *output), 0)
        << m_transformer.getLastError();

    const std::string once = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                             "<r a=\"\xC3\xA9\"><title>T</title></r>" +
                             kLineEndAndNul;
    std::ostringstream out;
    out.setstate(std::ios::failbit);
    output->Serialize(out);
    output->Serialize(out);
    EXPECT_EQ(out.str(), once + once);
    EXPECT_TRUE(out.good());
}

TEST_F(Dom2DomTest, TextIsReadAsBytesWhoseEncodingTheDocumentDeclares)
{
    const struct
    {
        const char* name;
        const char* text;
    } cases[] = {
        {"UTF-8", "<doc>K\xC3\xA4se \xF0\x9D\x84\x9E</doc>"},
        {"Latin-1", "<?xml version='1.0' encoding='ISO-8859-1'?><doc>K\xE4se \xF0</doc>"},
    };
    const std::string expected[] = {"K\xC3\xA4se \xF0\x9D\x84\x9E", "K\xC3\xA4se \xC3\xB0"};
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        SCOPED_TRACE(cases[i].name);
        Handle handle(m_transformer);
        ASSERT_TRUE(handle->InitializeInputSource(cases[i].text));
        std::ostringstream out;
        EXPECT_EQ(m_transformer.doXPath(*handle, I18NString("string(doc)"), out), 0);
        EXPECT_EQ(out.str(), expected[i]);
    }
}

TEST_F(Dom2DomTest, EmptyOrNullTextFailsAndTheHandleAnswersWithTheParseStatus)
{
    const char* const texts[] = {"", nullptr, "<a></b>"};
    for (const char* text : texts)
    {
        SCOPED_TRACE(text == nullptr ? "null" : text);
        // The stream transformation returns the engine's status for the same failed parse.
        std::istringstream same(text == nullptr ? "" : text);
        std::ostringstream ignored;
        const int parseStatus = m_transformer.doTransform(same, I18NString("none.xsl"), ignored);
        ASSERT_NE(parseStatus, 0);

        Handle handle(m_transformer);
        EXPECT_FALSE(handle->InitializeInputSource(text));
        const std::string engineText = m_transformer.getLastError();
        std::ostringstream out;
        EXPECT_EQ(m_transformer.doXPath(*handle, I18NString("/"), out), parseStatus);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(m_transformer.getLastError(), engineText);
    }
}

TEST_F(Dom2DomTest, DestroyNullsThePointerAndAcceptsNull)
{
    Dom2Dom* handle = m_transformer.createDom2Dom();
    ASSERT_NE(handle, nullptr);
    ASSERT_TRUE(handle->InitializeInputSource(kDocument));
    m_transformer.destroyDom2Dom(handle);
    EXPECT_EQ(handle, nullptr);
    m_transformer.destroyDom2Dom(handle);
    EXPECT_EQ(handle, nullptr);
}

} // namespace
