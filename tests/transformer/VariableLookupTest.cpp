// Which declaration a variable reference reads: local over top-level, the importing stylesheet
// over the imported one, namespace URIs over prefixes, passed parameters over defaults, among
// many top-level variables, and across stylesheets run one after another on one transformer.
// Expected results are xsltproc's (libxslt 1.1.35).
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string stylesheet(const std::string& topLevel, const std::string& body)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:p='urn:x' xmlns:q='urn:x'>"
           "<xsl:import href='imported.xsl'/><xsl:output method='text'/>" +
           topLevel + "<xsl:template match='/'>" + body + "</xsl:template></xsl:stylesheet>";
}

std::string variable(const std::string& name, const std::string& value)
{
    return "<xsl:variable name='" + name + "' select=\"'" + value + "'\"/>";
}

// `count` top-level variables v0, v1, ... whose values are their numbers.
std::string numbered(int count)
{
    std::string variables;
    for (int i = 0; i < count; ++i)
        variables += variable("v" + std::to_string(i), std::to_string(i));
    return variables;
}

struct Case
{
    const char* what;
    std::string topLevel;
    std::string body;
    const char* expected;
    std::string imported = "";
};

const Case kCases[] = {
    {"a top-level variable", variable("v", "top"), "<xsl:value-of select='$v'/>", "top"},
    {"a local variable hides a top-level one", variable("v", "top"),
     variable("v", "local") + "<xsl:value-of select='$v'/>", "local"},
    {"the importing stylesheet's variable hides the imported one", variable("v", "main"),
     "<xsl:value-of select='$v'/>", "main", variable("v", "imported")},
    {"an imported variable alone", "", "<xsl:value-of select='$w'/>", "imported",
     variable("w", "imported")},
    {"top-level variables read each other in any order",
     "<xsl:variable name='b' select=\"concat($a, 'b')\"/>" + variable("a", "a"),
     "<xsl:value-of select='$b'/>", "ab"},
    {"a template called for a top-level variable reads its own and top-level ones",
     "<xsl:variable name='g'><xsl:call-template name='t'/></xsl:variable>" + variable("h", "H") +
         "<xsl:template name='t'>" + variable("l", "L") +
         "<xsl:value-of select='concat($l, $h)'/></xsl:template>",
     "<xsl:value-of select='$g'/>", "LH"},
    {"the namespace URI names a variable, not its prefix",
     variable("p:v", "pv") + variable("v", "v"), "<xsl:value-of select='concat($q:v, $v, $p:v)'/>",
     "pvvpv"},
    {"a passed parameter, else the default, over a top-level one",
     "<xsl:param name='g' select=\"'top'\"/><xsl:template name='t'>"
     "<xsl:param name='g' select=\"'default'\"/><xsl:value-of select='$g'/></xsl:template>",
     "<xsl:call-template name='t'><xsl:with-param name='g' select=\"'passed'\"/>"
     "</xsl:call-template><xsl:call-template name='t'/><xsl:value-of select='$g'/>",
     "passeddefaulttop"},
    {"the first and the last of 1,000 top-level variables", numbered(1000),
     "<xsl:value-of select='concat($v0, \"-\", $v999, \"-\", $v500)'/>", "0-999-500"},
    // The same number of top-level variables as the case before, in the other order: what the
    // transformer learnt of the positions of that run must not be taken for this one's.
    {"the same names at other positions, on the same transformer",
     variable("v999", "a") + numbered(999).substr(variable("v0", "0").size()) + variable("v0", "z"),
     "<xsl:value-of select='concat($v0, $v999, $v1)'/>", "za1"},
};

class VariableLookup : public prsm::test::StylesheetTest
{
};

TEST_F(VariableLookup, ReadsTheDeclarationInScope)
{
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.what);
        m_dir.write("imported.xsl", "<xsl:stylesheet version='1.0'"
                                    " xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>" +
                                        c.imported + "</xsl:stylesheet>");
        EXPECT_EQ(run(stylesheet(c.topLevel, c.body)), c.expected) << m_transformer.getLastError();
        EXPECT_EQ(m_status, 0);
    }
}

} // namespace
