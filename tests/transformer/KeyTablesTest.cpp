// key() built one key at a time gives what xsltproc (libxslt 1.1.35) gives: declarations of one
// name together, in document order, on the context's own document (the source, a document() and
// a node-set made from a tree fragment), names compared by namespace; and the engine's refusal
// of a name no xsl:key declares. The source's generated ids do not depend on which documents
// keys were built for before.
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <string>

namespace
{

const std::string kSource = "<doc xmlns:p='urn:m'><b y='1' id='b1'/><a x='1' id='a1'/>"
                            "<a x='1 2' id='a2'/><c><a x='2' id='a3'/></c><p:a x='1'/></doc>";

std::string stylesheet(const std::string& body)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:exsl='http://exslt.org/common' xmlns:p='urn:k' xmlns:q='urn:k'"
           " xmlns:r='urn:other'><xsl:output method='text'/>"
           "<xsl:key name='k' match='a' use='@x'/><xsl:key name='k' match='b' use='@y'/>"
           "<xsl:key name='ids' match='@id' use='.'/><xsl:key name='p:k' match='*' use='name()'/>"
           "<xsl:key name='gid' match='*' use='generate-id()'/>"
           "<xsl:template match='/'>" +
           body + "</xsl:template></xsl:stylesheet>";
}

class KeyTables : public prsm::test::StylesheetTest
{
protected:
    void SetUp() override { m_dir.write("other.xml", "<o><a x='1'/><a x='2'/><b y='1'/></o>"); }
};

TEST_F(KeyTables, GiveEachKeyItsNodesOnTheContextDocument)
{
    const struct
    {
        const char* what;
        const char* body;
        const char* expected;
    } cases[] = {
        {"declarations of one name together, in document order",
         "<xsl:for-each select=\"key('k', '1')\"><xsl:value-of select='@id'/>,</xsl:for-each>",
         "b1,a1,"},
        {"a value of its own", "<xsl:value-of select=\"count(key('k', '2'))\"/>", "1"},
        {"a document() has its own table",
         "<xsl:for-each select=\"document('other.xml')\"><xsl:value-of "
         "select=\"count(key('k', '1'))\"/>,<xsl:value-of select=\"count(key('k', '2'))\"/>"
         "</xsl:for-each>:<xsl:for-each select=\"key('k', '1')\"><xsl:value-of select='@id'/>,"
         "</xsl:for-each>",
         "2,1:b1,a1,"},
        {"a node-set made from a tree fragment",
         "<xsl:variable name='t'><a x='1'/><a x='1'/><a x='3'/></xsl:variable>"
         "<xsl:for-each select='exsl:node-set($t)'><xsl:value-of "
         "select=\"count(key('k', '1'))\"/></xsl:for-each>",
         "2"},
        {"attributes matched", "<xsl:value-of select=\"name(key('ids', 'a2')/..)\"/>", "a"},
        {"a name by its namespace, not its prefix",
         "<xsl:value-of select=\"count(key('q:k', 'a'))\"/>,"
         "<xsl:value-of select=\"count(key('p:k', 'c'))\"/>",
         "3,1"},
        {"a node-set of values", "<xsl:value-of select=\"count(key('k', //a/@x))\"/>", "4"},
        {"a key of generated ids", "<xsl:value-of select=\"count(key('gid', generate-id(//c)))\"/>",
         "1"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(run(stylesheet(c.body), kSource), c.expected) << m_transformer.getLastError();
        EXPECT_EQ(m_status, 0);
    }
}

TEST_F(KeyTables, RefuseANameNoKeyDeclares)
{
    run(stylesheet("<xsl:value-of select=\"count(key('r:k', '1'))\"/>"), kSource);
    EXPECT_NE(m_status, 0);
    EXPECT_NE(std::string(m_transformer.getLastError())
                  .find("There is no xsl:key instruction with the expanded name '{urn:other}k'"),
              std::string::npos)
        << m_transformer.getLastError();
}

TEST_F(KeyTables, LeaveTheSourceIdsAsTheyAre)
{
    const std::string alone = run(stylesheet("<xsl:value-of select='generate-id(//c)'/>"), kSource);
    const std::string after =
        run(stylesheet("<xsl:for-each select=\"document('other.xml')\">"
                       "<xsl:value-of select=\"count(key('gid', 'x'))\"/></xsl:for-each>|"
                       "<xsl:value-of select='generate-id(//c)'/>"),
            kSource);
    EXPECT_EQ("0|" + alone, after);
}

} // namespace
