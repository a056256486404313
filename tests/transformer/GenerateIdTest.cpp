// generate-id() is the same in every run, on every path and with every transformer, and unique.
#include "support/Handles.hpp"
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace
{

using prsm::test::Handle;
using prsm::test::textStylesheet;

// Every node and attribute of the source, of a document() and of a node-set made from a tree
// fragment, by id, one a line.
const std::string kIds =
    textStylesheet("<xsl:for-each select='//node() | //@* | document(\"other.xml\")//node()'>"
                   "<xsl:value-of select='generate-id()'/><xsl:text>&#10;</xsl:text></xsl:for-each>"
                   "<xsl:variable name='f'><a><b/></a></xsl:variable>"
                   "<xsl:for-each select='xalan:nodeset($f)//node()'>"
                   "<xsl:value-of select='generate-id()'/><xsl:text>&#10;</xsl:text></xsl:for-each>"
                   "<xsl:value-of select='generate-id(/)'/>");

std::string largeDocument()
{
    std::string xml = "<doc>";
    for (int i = 0; i < 2000; ++i)
        xml += "<e n='" + std::to_string(i) + "'>t<!--c--><?p d?></e>";
    return xml + "</doc>";
}

class GenerateId : public prsm::test::StylesheetTest
{
protected:
    void SetUp() override
    {
        m_dir.write("other.xml", "<o><p q='1'/></o>");
        m_xsl = m_dir.write("ids.xsl", kIds);
        m_source = m_dir.write("in.xml", largeDocument());
    }

    std::string viaFile(PRSMXslTransformer& transformer)
    {
        const std::string out = m_dir.path("out.txt");
        EXPECT_EQ(transformer.doTransform(I18NString(m_source.c_str()), I18NString(m_xsl.c_str()),
                                          I18NString(out.c_str())),
                  0)
            << transformer.getLastError();
        std::ifstream in(out);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string viaStream(PRSMXslTransformer& transformer)
    {
        int status = -100;
        std::string text = prsm::test::transformStream(transformer, m_xsl, largeDocument(), status);
        EXPECT_EQ(status, 0) << transformer.getLastError();
        return text;
    }

    std::string viaHandles(PRSMXslTransformer& transformer)
    {
        Handle input(transformer);
        Handle output(transformer);
        std::istringstream text(largeDocument());
        EXPECT_TRUE(input->InitializeInputSource(text, m_source.c_str()));
        std::ostringstream sink;
        EXPECT_TRUE(output->InitializeOutputTarget(sink));
        EXPECT_EQ(transformer.doTransform(*input, I18NString(m_xsl.c_str()), *output), 0)
            << transformer.getLastError();
        std::string result = sink.str();
        if (!result.empty() && result.back() == '\0')
            result.pop_back();
        return result;
    }

    std::string m_xsl;
    std::string m_source;
};

TEST_F(GenerateId, IsTheSameOnEveryPathAndTransformerAndUniqueAmongNames)
{
    PRSMXslTransformer other;
    const std::string ids = viaFile(m_transformer);
    EXPECT_EQ(viaFile(other), ids);
    EXPECT_EQ(viaFile(m_transformer), ids);
    EXPECT_EQ(viaStream(other), ids);
    EXPECT_EQ(viaHandles(m_transformer), ids);

    std::istringstream lines(ids);
    std::set<std::string> seen;
    const std::regex name("[A-Za-z_][A-Za-z0-9_.-]*");
    std::size_t count = 0;
    for (std::string id; std::getline(lines, id); ++count)
    {
        EXPECT_TRUE(std::regex_match(id, name)) << id;
        EXPECT_TRUE(seen.insert(id).second) << "repeated: " << id;
    }
    // 1 + 2000 x 5 of the source, 2 of the other document, 2 of the fragment, the root.
    EXPECT_EQ(count, 10006u);
}

} // namespace
