// Which whitespace-only text nodes of the source xsl:strip-space removes and xsl:preserve-space
// keeps, by name, namespace, wildcard, priority and import precedence. Expected results are
// xsltproc's (libxslt 1.1.35).
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <string>

namespace
{

// Each element of the source with the number of its text children, e.g. "a0 b1".
std::string countingStylesheet(const std::string& declarations)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:p='urn:p' xmlns:q='urn:q' xmlns:exsl='http://exslt.org/common'"
           " exclude-result-prefixes='p q exsl'>"
           "<xsl:import href='imported.xsl'/><xsl:output method='text'/>" +
           declarations +
           "<xsl:template match='/'><xsl:for-each select='//*'>"
           "<xsl:value-of select='concat(name(), count(text()))'/>"
           "<xsl:if test='position() != last()'><xsl:text> </xsl:text></xsl:if></xsl:for-each>"
           "<xsl:variable name='space'><xsl:text> </xsl:text></xsl:variable>"
           "<xsl:value-of select='concat(\" rtf\", count(exsl:node-set($space)/text()))'/>"
           "</xsl:template></xsl:stylesheet>";
}

std::string importedStylesheet(const std::string& declarations)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:p='urn:p'>" +
           declarations + "</xsl:stylesheet>";
}

// Some 200 names that match nothing in the sources below, as DocBook lists its elements.
std::string manyNames()
{
    std::string names;
    for (int i = 0; i < 200; ++i)
        names += "e" + std::to_string(i) + " ";
    return names;
}

// 100 names, each element twice, the even ones stripped: more names than the decisions kept.
std::string namesTwice()
{
    std::string elements;
    for (int i = 0; i < 100; ++i)
        elements += " <e" + std::to_string(i) + "> </e" + std::to_string(i) + ">";
    return "<r>" + elements + elements + " </r>";
}
std::string evenNames()
{
    std::string names;
    for (int i = 0; i < 100; i += 2)
        names += "e" + std::to_string(i) + " ";
    return "<xsl:strip-space elements='" + names + "'/>";
}
std::string namesTwiceCounted()
{
    std::string counts;
    for (int i = 0; i < 100; ++i)
        counts += " e" + std::to_string(i) + (i % 2 == 0 ? "0" : "1");
    return "r201" + counts + counts + " rtf1";
}

const std::string kPlain = "<r> <a> </a> <b> </b> <c> <a> </a> </c> </r>";
const std::string kSpaced = "<r xmlns:x='urn:p' xmlns:y='urn:q'> <a> </a> <x:a> </x:a> <y:a> </y:a>"
                            " <x:b> </x:b> <d xmlns='urn:p'> </d> </r>";

struct Case
{
    const char* what;
    std::string declarations;
    std::string imported;
    std::string source;
    std::string expected;
};

const Case kCases[] = {
    {"nothing declared keeps every node", "", "", kPlain, "r4 a1 b1 c2 a1 rtf1"},
    {"names strip their own elements", "<xsl:strip-space elements='a b'/>", "", kPlain,
     "r4 a0 b0 c2 a0 rtf1"},
    {"* strips all, a name preserves",
     "<xsl:strip-space elements='*'/>"
     "<xsl:preserve-space elements='c'/>",
     "", kPlain, "r0 a0 b0 c2 a0 rtf1"},
    {"a preserved name among many stripped ones, last",
     "<xsl:preserve-space elements='*'/><xsl:strip-space elements='" + manyNames() + "c'/>", "",
     kPlain, "r4 a1 b1 c0 a1 rtf1"},
    {"a name without prefix matches no namespaced element", "<xsl:strip-space elements='a d'/>", "",
     kSpaced, "r6 a0 x:a1 y:a1 x:b1 d1 rtf1"},
    {"a prefixed name matches that namespace only", "<xsl:strip-space elements='p:a'/>", "",
     kSpaced, "r6 a1 x:a0 y:a1 x:b1 d1 rtf1"},
    {"a prefix's * matches its namespace, default namespace too",
     "<xsl:strip-space elements='p:*'/>", "", kSpaced, "r6 a1 x:a0 y:a1 x:b0 d0 rtf1"},
    {"a prefix's * goes before *, a name before a prefix's *",
     "<xsl:strip-space elements='* p:a'/><xsl:preserve-space elements='p:*'/>", "", kSpaced,
     "r0 a0 x:a0 y:a0 x:b1 d1 rtf1"},
    {"the importing stylesheet goes before an imported name", "<xsl:preserve-space elements='*'/>",
     "<xsl:strip-space elements='a p:b'/>", kSpaced, "r6 a1 x:a1 y:a1 x:b1 d1 rtf1"},
    {"an imported declaration applies where the importer says nothing",
     "<xsl:strip-space elements='r'/>", "<xsl:strip-space elements='p:*'/>", kSpaced,
     "r0 a1 x:a0 y:a1 x:b0 d0 rtf1"},
    {"names met again, more of them than answers are kept", evenNames(), "", namesTwice(),
     namesTwiceCounted()},
};

class SpaceStripping : public prsm::test::StylesheetTest
{
};

TEST_F(SpaceStripping, FollowsTheDeclarationsThatMatchFirst)
{
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.what);
        m_dir.write("imported.xsl", importedStylesheet(c.imported));
        EXPECT_EQ(run(countingStylesheet(c.declarations), c.source), c.expected)
            << m_transformer.getLastError();
        EXPECT_EQ(m_status, 0);
    }
}

} // namespace

namespace
{

// Only documents are stripped: the tree of a result tree fragment keeps its whitespace, whether
// walked by a step or by xsl:apply-templates.
TEST_F(SpaceStripping, LeavesTreeFragmentsAlone)
{
    const std::string stylesheet =
        "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
        " xmlns:exsl='http://exslt.org/common' exclude-result-prefixes='exsl'>"
        "<xsl:output method='text'/><xsl:strip-space elements='*'/>"
        "<xsl:template match='/'><xsl:variable name='f'><p><xsl:text> </xsl:text><i/>"
        "<xsl:text> </xsl:text></p></xsl:variable>"
        "<xsl:for-each select='exsl:node-set($f)/p/node()'>[<xsl:value-of select='.'/>]"
        "</xsl:for-each><xsl:apply-templates select='exsl:node-set($f)/p | /d/p'/></xsl:template>"
        "<xsl:template match='p'><xsl:apply-templates/>|</xsl:template>"
        "<xsl:template match='text()'>{<xsl:value-of select='.'/>}</xsl:template>"
        "</xsl:stylesheet>";
    EXPECT_EQ(run(stylesheet, "<d><p> <i/> </p></d>"), "[ ][][ ]{ }{ }||")
        << m_transformer.getLastError();
}

} // namespace
