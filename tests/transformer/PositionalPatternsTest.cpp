// Template and count patterns whose steps select by position (*[1][self::b], [position() = last()],
// a predicate of number value) match as xsltproc (libxslt 1.1.35) matches them, under several
// parents, in a node-set made from a tree fragment, and with a variable that changes between
// matches.
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <string>

namespace
{

const std::string kSource = "<r><x><b/><b/><c/></x><y><b/><c/></y><z><c/><b/></z>"
                            "<list><item n='2'/><item n='2'/><item n='1'/><item n='4'/></list></r>";

std::string stylesheet(const std::string& body, const std::string& rule)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:exsl='http://exslt.org/common' exclude-result-prefixes='exsl'>"
           "<xsl:output method='text'/><xsl:template match='/'>" +
           body + "</xsl:template>" + rule +
           "<xsl:template match='*'>.</xsl:template></xsl:stylesheet>";
}

class PositionalPatterns : public prsm::test::StylesheetTest
{
};

TEST_F(PositionalPatterns, MatchTheNodeAtItsPlace)
{
    const struct
    {
        const char* what;
        const char* body;
        const char* rule;
        const char* expected;
    } cases[] = {
        {"the first child, if a b, under each parent", "<xsl:apply-templates select='//b|//c'/>",
         "<xsl:template match='*[1][self::b]'>F</xsl:template>", "F..F..."},
        {"the last", "<xsl:apply-templates select='//item'/>",
         "<xsl:template match='item[position() = last()]'>L</xsl:template>", "...L"},
        {"a predicate of number value", "<xsl:apply-templates select='//item'/>",
         "<xsl:template match='item[number(@n)]'>N</xsl:template>", ".N.N"},
        {"in a node-set made from a tree fragment",
         "<xsl:variable name='t'><p><b/><b/><c/></p><q><c/><b/></q></xsl:variable>"
         "<xsl:apply-templates select='exsl:node-set($t)//*[not(*)]'/>",
         "<xsl:template match='*[1][self::b]'>F</xsl:template>", "F...."},
        {"in a tree fragment made again for each node",
         "<xsl:for-each select='//item'><xsl:variable name='t'><p><xsl:choose>"
         "<xsl:when test='@n = 2'><b/><c/></xsl:when><xsl:otherwise><c/><b/></xsl:otherwise>"
         "</xsl:choose></p></xsl:variable><xsl:apply-templates "
         "select='exsl:node-set($t)/p/*'/></xsl:for-each>",
         "<xsl:template match='*[1][self::b]'>F</xsl:template>", "F.F....."},
        {"a variable that changes from one match to the next",
         "<xsl:for-each select='//item'><xsl:variable name='k' select='number(@n)'/>"
         "[<xsl:number count='item[position() = $k]'/>]</xsl:for-each>",
         "", "[][1][][1]"},
    };
    for (int round = 0; round < 2; ++round)
        for (const auto& c : cases)
        {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(run(stylesheet(c.body, c.rule), kSource), c.expected)
                << m_transformer.getLastError();
            EXPECT_EQ(m_status, 0);
        }
}

} // namespace
