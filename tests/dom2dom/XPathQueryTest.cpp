// XPath queries over a handle's document: what is printed for each kind of result.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace
{

using prsm::test::Handle;

const char* const kDocument = "<?xml version='1.0' encoding='UTF-8'?>"
                              "<!-- beside the root -->"
                              "<doc xmlns:p='urn:p'><title lang='de'>K\xC3\xA4se</title>"
                              "<item>1</item><item>2</item><p:note>n<b/></p:note></doc>";

class XPathQueryTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_document->InitializeInputSource(kDocument)); }

    // Runs the query and returns what it printed; the status goes to `status`.
    std::string query(const char* expression, int& status)
    {
        std::ostringstream out;
        status = m_transformer.doXPath(*m_document, I18NString(expression), out);
        return out.str();
    }

    PRSMXslTransformer m_transformer;
    Handle m_document{m_transformer};
};

struct Printed
{
    const char* expression;
    const char* output;
};

TEST_F(XPathQueryTest, PrintsOneNodeAsMarkupAndAStringAsTextAndNothingElse)
{
    const Printed cases[] = {
        {"/doc/title", "<title lang=\"de\">K\xC3\xA4se</title>"},
        {"doc/title", "<title lang=\"de\">K\xC3\xA4se</title>"},
        // The walker writes the subtree alone, without declarations made above it.
        {"/doc/p:note", "<p:note>n<b/></p:note>"},
        {"//p:note/b", "<b/>"},
        {"string(doc/title)", "K\xC3\xA4se"},
        {"concat(doc/item[2], '\xF0\x9F\x98\x80')", "2\xF0\x9F\x98\x80"},
        {"'a literal'", "a literal"},
        {"string(/doc/missing)", ""},
        {"/doc/item", ""},
        {"/doc/none", ""},
        {"count(//item)", ""},
        {"1 = 1", ""},
    };
    for (const Printed& c : cases)
    {
        SCOPED_TRACE(c.expression);
        int status = -100;
        EXPECT_EQ(query(c.expression, status), c.output);
        EXPECT_EQ(status, 0);
    }
    EXPECT_STREQ(m_transformer.getLastError(), "") << "successes store no report";
}

TEST_F(XPathQueryTest, AnUnparsableExpressionReportsAnXSLExceptionThatOutlivesSuccesses)
{
    int status = 0;
    EXPECT_EQ(query("/doc/[", status), "");
    EXPECT_EQ(status, -1);
    const std::string report = m_transformer.getLastError();
    EXPECT_EQ(report.rfind("\nXSLException Type is: XPathParserException\nMessage is: ", 0), 0u)
        << report;
    EXPECT_EQ(report.back(), '\n');

    EXPECT_EQ(query("string(doc/item)", status), "1");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(m_transformer.getLastError(), report);

    EXPECT_EQ(query("p:undeclared(", status), "");
    EXPECT_EQ(status, -1);
    EXPECT_NE(m_transformer.getLastError(), report) << "a second failure replaces the first";
}

TEST_F(XPathQueryTest, HandlesWithoutADocumentAreRefused)
{
    std::ostringstream sink;
    Handle fresh(m_transformer);
    Handle streamOutput(m_transformer);
    ASSERT_TRUE(streamOutput->InitializeOutputTarget(sink));
    for (Dom2Dom* handle : {&*fresh, &*streamOutput})
    {
        std::ostringstream out;
        EXPECT_EQ(m_transformer.doXPath(*handle, I18NString("/"), out),
                  PRSMXslTransformer::kNoDocumentStatus);
        EXPECT_EQ(out.str(), "");
        EXPECT_STREQ(m_transformer.getLastError(),
                     "The input document handle holds no document: set it up as an input, or "
                     "use an in-memory output handle.\n");
    }
}

} // namespace
