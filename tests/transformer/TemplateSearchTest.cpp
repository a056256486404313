// Which template rule applies to a node: by mode (named, namespaced, none), priority, document
// order, import precedence and xsl:apply-imports, for elements, attributes, text and the root,
// across stylesheets run one after another on one transformer. Expected results are xsltproc's
// (libxslt 1.1.35).
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string stylesheet(const std::string& templates)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:p='urn:m' xmlns:q='urn:m' xmlns:r='urn:other'>"
           "<xsl:import href='imported.xsl'/><xsl:output method='text'/>" +
           templates + "</xsl:stylesheet>";
}

const std::string kSource = "<doc><a n='1'>x</a><b/></doc>";

struct Case
{
    const char* what;
    std::string templates;
    const char* expected;
    std::string imported = "";
};

const Case kCases[] = {
    {"each mode its own rules, the default mode none",
     "<xsl:template match='/'><xsl:apply-templates select='//a' mode='m'/>"
     "<xsl:apply-templates select='//a'/><xsl:apply-templates select='//a' mode='n'/>"
     "</xsl:template><xsl:template match='a' mode='m'>m</xsl:template>"
     "<xsl:template match='a'>default</xsl:template><xsl:template match='*' mode='n'>n*"
     "</xsl:template><xsl:template match='b' mode='n'>nb</xsl:template>",
     "mdefaultn*"},
    {"a mode is its namespace and local name, not its prefix",
     "<xsl:template match='/'><xsl:apply-templates select='//a' mode='q:m'/>"
     "<xsl:apply-templates select='//a' mode='r:m'/><xsl:apply-templates select='//a' mode='m'/>"
     "</xsl:template><xsl:template match='a' mode='p:m'>pm</xsl:template>"
     "<xsl:template match='a' mode='r:m'>rm</xsl:template>"
     "<xsl:template match='a' mode='m'>m</xsl:template>",
     "pmrmm"},
    {"higher priority, then the later rule",
     "<xsl:template match='/'><xsl:apply-templates select='//a' mode='m'/></xsl:template>"
     "<xsl:template match='a' mode='m' priority='2'>high</xsl:template>"
     "<xsl:template match='a[@n]' mode='m' priority='2'>later</xsl:template>"
     "<xsl:template match='*' mode='m' priority='1'>any</xsl:template>"
     "<xsl:template match='a' mode='other' priority='9'>other mode</xsl:template>",
     "later"},
    {"a name before *, the later of equals",
     "<xsl:template match='/'><xsl:apply-templates select='//*' mode='m'/></xsl:template>"
     "<xsl:template match='*' mode='m'>[*<xsl:value-of select='name()'/>]</xsl:template>"
     "<xsl:template match='a' mode='m'>[a1]</xsl:template>"
     "<xsl:template match='a' mode='m'>[a2]</xsl:template>",
     "[*doc][a2][*b]"},
    {"attributes, text and the root in a mode",
     "<xsl:template match='/'><xsl:apply-templates select='/' mode='m'/></xsl:template>"
     "<xsl:template match='/' mode='m'><xsl:apply-templates select='//a/@n|//a/text()'"
     " mode='m'/></xsl:template><xsl:template match='@*' mode='m'>@</xsl:template>"
     "<xsl:template match='text()' mode='m'>t</xsl:template>"
     "<xsl:template match='node()' mode='m'>node</xsl:template>",
     "@node"},
    {"the imported rule where the importing stylesheet has none in the mode",
     "<xsl:template match='/'><xsl:apply-templates select='//a' mode='m'/>"
     "<xsl:apply-templates select='//b' mode='m'/></xsl:template>"
     "<xsl:template match='b'>main default</xsl:template>",
     "imported aimported *",
     "<xsl:template match='a' mode='m'>imported a</xsl:template>"
     "<xsl:template match='*' mode='m'>imported *</xsl:template>"},
    {"apply-imports keeps the mode",
     "<xsl:template match='/'><xsl:apply-templates select='//a' mode='m'/></xsl:template>"
     "<xsl:template match='a' mode='m'>main(<xsl:apply-imports/>)</xsl:template>",
     "main(imported)",
     "<xsl:template match='a'>default</xsl:template>"
     "<xsl:template match='a' mode='m'>imported</xsl:template>"},
    {"built-in rules carry the mode to children",
     "<xsl:template match='/'><xsl:apply-templates mode='m'/></xsl:template>"
     "<xsl:template match='text()' mode='m'>[<xsl:value-of select='.'/>]</xsl:template>",
     "[x]"},
};

class TemplateSearch : public prsm::test::StylesheetTest
{
};

TEST_F(TemplateSearch, FindsTheRuleOfTheModeByPriorityAndPrecedence)
{
    for (int round = 0; round < 2; ++round)
        for (const Case& c : kCases)
        {
            SCOPED_TRACE(c.what);
            m_dir.write("imported.xsl", "<xsl:stylesheet version='1.0'"
                                        " xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>" +
                                            c.imported + "</xsl:stylesheet>");
            EXPECT_EQ(run(stylesheet(c.templates), kSource), c.expected)
                << m_transformer.getLastError();
            EXPECT_EQ(m_status, 0);
        }
}

} // namespace
