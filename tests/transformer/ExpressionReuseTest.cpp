// An expression that a stylesheet repeats means what it means where it stands: the namespaces its
// prefixes have there, whether variables and key() are allowed there, and its own place in the
// failure texts. Expected results are xsltproc's (libxslt 1.1.35), the refusals the engine's.
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <string>

namespace
{

const std::string kSource =
    "<r xmlns:p='urn:one' xmlns:q='urn:two'><p:e n='a:e'/><p:e/><q:e/><q:e/><q:e/></r>";

std::string stylesheet(const std::string& body)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:a='urn:one'>\n<xsl:output method='text'/>\n<xsl:template match='/'>\n" +
           body + "\n</xsl:template>\n</xsl:stylesheet>";
}

struct Case
{
    const char* what;
    std::string body;
    const char* expected;
};

const Case kCases[] = {
    {"a prefix bound again names the other namespace",
     "<xsl:value-of select='count(//a:e)'/>"
     "<xsl:for-each select='*' xmlns:a='urn:two'><xsl:value-of select='count(//a:e)'/>"
     "</xsl:for-each><xsl:value-of select='count(//a:e)'/>",
     "232"},
    {"after an axis",
     "<xsl:value-of select='count(/*/child::a:e)'/>"
     "<xsl:for-each select='*' xmlns:a='urn:two'><xsl:value-of select='count(/*/child::a:e)'/>"
     "</xsl:for-each>",
     "23"},
    {"a literal that looks like a name is no prefix",
     "<xsl:value-of select=\"count(//a:e[@n = 'a:e'])\"/>"
     "<xsl:for-each select='*' xmlns:a='urn:two'>"
     "<xsl:value-of select=\"count(//a:e[@n = 'a:e'])\"/></xsl:for-each>",
     "10"},
    {"a prefix bound to the same namespace under another name",
     "<xsl:value-of select='count(//a:e)'/>"
     "<xsl:for-each select='*' xmlns:b='urn:one'><xsl:value-of select='count(//b:e)'/>"
     "</xsl:for-each>",
     "22"},
};

class ExpressionReuse : public prsm::test::StylesheetTest
{
};

TEST_F(ExpressionReuse, ResolvesEachOccurrenceWhereItStands)
{
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(run(stylesheet(c.body), kSource), c.expected) << m_transformer.getLastError();
        EXPECT_EQ(m_status, 0);
    }
}

TEST_F(ExpressionReuse, RefusesWhatTheContextForbidsAfterAnAllowedOccurrence)
{
    const struct
    {
        const char* what;
        const char* key;
        const char* refusal;
    } refused[] = {
        {"a variable in a key", "<xsl:key name='j' match='*' use='$v'/>", "variable reference"},
        {"key() in a key", "<xsl:key name='j' match='*' use=\"count(key('k', 'r'))\"/>",
         "key() function"},
    };
    for (const auto& r : refused)
    {
        SCOPED_TRACE(r.what);
        run("<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
            "<xsl:variable name='v' select='1'/><xsl:key name='k' match='*' use='name()'/>"
            "<xsl:template match='/'><xsl:value-of select='$v'/>"
            "<xsl:value-of select=\"count(key('k', 'r'))\"/></xsl:template>" +
                std::string(r.key) + "</xsl:stylesheet>",
            kSource);
        EXPECT_NE(m_status, 0);
        EXPECT_NE(std::string(m_transformer.getLastError()).find(r.refusal), std::string::npos)
            << m_transformer.getLastError();
    }
}

TEST_F(ExpressionReuse, PlacesAFailureAtTheOccurrenceThatRan)
{
    run(stylesheet("<xsl:if test='false()'><xsl:value-of select='a:missing(1)'/></xsl:if>\n"
                   "<xsl:value-of select='a:missing(1)'/>"),
        kSource);
    EXPECT_NE(m_status, 0);
    EXPECT_NE(std::string(m_transformer.getLastError()).find("line 5"), std::string::npos)
        << m_transformer.getLastError();
}

} // namespace
