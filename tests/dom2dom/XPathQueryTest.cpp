// XPath queries over a handle's document: what is printed for each kind of result.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

namespace
{

TEST(XPathQuery, PrintsOneNodeAsMarkupAndAStringAsTextAndNothingElse)
{
    const std::tuple<const char*, int, const char*> cases[] = {
        {"/doc/title", 0, "<title lang=\"de\">K\xC3\xA4se</title>"},
        {"doc/title", 0, "<title lang=\"de\">K\xC3\xA4se</title>"},
        // The walker writes the subtree alone, without declarations made above it.
        {"/doc/p:note", 0, "<p:note>n<b/></p:note>"},
        {"string(doc/title)", 0, "K\xC3\xA4se"},
        {"concat(doc/item[2], '\xF0\x9F\x98\x80')", 0, "2\xF0\x9F\x98\x80"},
        {"string(/doc/missing)", 0, ""},
        // A bare literal comes back in the engine's token form, still a string.
        {"'a literal'", 0, "a literal"},
        {"/doc/item", 0, ""},
        {"/doc/none", 0, ""},
        {"count(//item)", 0, ""},
        {"1 = 1", 0, ""},
        {"/doc/[", -1, ""},
    };
    PRSMXslTransformer transformer;
    prsm::test::Handle document(transformer);
    ASSERT_TRUE(document->InitializeInputSource(
        "<?xml version='1.0' encoding='UTF-8'?><!-- beside the root -->"
        "<doc xmlns:p='urn:p'><title lang='de'>K\xC3\xA4se</title>"
        "<item>1</item><item>2</item><p:note>n<b/></p:note></doc>"));
    for (const auto& [expression, status, output] : cases)
    {
        SCOPED_TRACE(expression);
        std::ostringstream out;
        EXPECT_EQ(transformer.doXPath(*document, I18NString(expression), out), status);
        EXPECT_EQ(out.str(), output);
    }
    const std::string report = transformer.getLastError();
    EXPECT_EQ(report.rfind("\nXSLException Type is: XPathParserException\nMessage is: ", 0), 0u)
        << report;
    EXPECT_EQ(report.back(), '\n');

    // Text is read as bytes in the encoding that the document declares.
    prsm::test::Handle latin1(transformer);
    ASSERT_TRUE(latin1->InitializeInputSource(
        "<?xml version='1.0' encoding='ISO-8859-1'?><doc>K\xE4se \xF0</doc>"));
    std::ostringstream out;
    EXPECT_EQ(transformer.doXPath(*latin1, I18NString("string(doc)"), out), 0);
    EXPECT_EQ(out.str(), "K\xC3\xA4se \xC3\xB0");
}

} // namespace
