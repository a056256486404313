// Stylesheets that the engine alone gets wrong and xsltproc gets right, each reduced to a minimum:
// the results are xsltproc's (libxslt 1.1.35) except where a row says otherwise.
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const std::string kOpen = "<xsl:stylesheet version='1.0'"
                          " xmlns:xsl='http://www.w3.org/1999/XSL/Transform'";
const std::string kOutput = "<xsl:output omit-xml-declaration='yes'/>";

struct Case
{
    const char* fault;
    std::string stylesheet;
    std::string module; // written as mod.xsl beside the stylesheet; empty for none
    const char* expected;
    const char* source = "<doc><e>e</e></doc>";
};

const Case kCases[] = {
    // Every alternative of a union matched with the whole union, under its own priority.
    {"the alternatives of a union pattern, each under its own priority",
     kOpen + ">" + kOutput +
         "<xsl:template match='/'><r><xsl:apply-templates select='//s'/></r></xsl:template>"
         "<xsl:template match='s[@t=\"i\"]'>i</xsl:template>"
         "<xsl:template match='s | s[@t=\"v\"] | x[contains(., \"|\")]'>v</xsl:template>"
         "<xsl:template match='s[@t=\"h\"] | w' priority='-1'>h</xsl:template>"
         "</xsl:stylesheet>",
     "", "<r>ivvv</r>", "<d><s t='i'/><s t='h'/><s t='v'/><s/></d>"},
    // The engine spelled the pattern of an attribute's name with '&' and failed to compile it.
    {"xsl:number without count on an attribute",
     kOpen + ">" + kOutput +
         "<xsl:template match='/'><r><xsl:for-each select='//@x'><xsl:number/>,"
         "<xsl:number level='any'/>,<xsl:number level='multiple'/>;</xsl:for-each></r>"
         "</xsl:template></xsl:stylesheet>",
     "", "<r>1,1,1;1,1,1;</r>", "<d><e x='1'/><e x='2'/></d>"},
    // The engine matched the from pattern against the parent of the fragment's root, which is none.
    {"xsl:number level='any' with a from pattern in a tree fragment",
     kOpen + " xmlns:exsl='http://exslt.org/common' exclude-result-prefixes='exsl'>" + kOutput +
         "<xsl:template match='/'><xsl:variable name='f'><s><b/><e/><e/></s><s><e/></s>"
         "</xsl:variable><r><xsl:for-each select='exsl:node-set($f)//e'>"
         "<xsl:number from='b' count='e' level='any'/>,</xsl:for-each></r></xsl:template>"
         "</xsl:stylesheet>",
     "", "<r>1,2,3,</r>"},
    {"an included module's excluded prefixes",
     kOpen + ">" + kOutput +
         "<xsl:include href='mod.xsl'/><xsl:template match='/'><r><xsl:call-template name='t'/>"
         "</r></xsl:template></xsl:stylesheet>",
     kOpen + " xmlns:x='urn:x' xmlns:e='urn:e' exclude-result-prefixes='x'"
             " extension-element-prefixes='e'><xsl:template name='t'><p><q/></p><p/>"
             "</xsl:template></xsl:stylesheet>",
     "<r><p><q/></p><p/></r>"},
    {"an included module's prefixes next to the element's own",
     kOpen + ">" + kOutput +
         "<xsl:include href='mod.xsl'/><xsl:template match='/'><xsl:call-template name='t'/>"
         "</xsl:template></xsl:stylesheet>",
     kOpen + " xmlns:x='urn:x' xmlns:y='urn:y' xmlns:z='urn:z' exclude-result-prefixes='x'>"
             "<xsl:template name='t'><p xsl:exclude-result-prefixes='y'/></xsl:template>"
             "</xsl:stylesheet>",
     "<p xmlns:z=\"urn:z\"/>"}, // xsltproc keeps xmlns:y, which XSLT 1.0 (7.1.1) excludes
    {"the parameters of a template called from an attribute set",
     kOpen + ">" + kOutput +
         "<xsl:variable name='g' select=\"'G'\"/>"
         "<xsl:attribute-set name='as'><xsl:attribute name='a'><xsl:call-template name='t'/>"
         "</xsl:attribute><xsl:attribute name='b'><xsl:apply-templates select='*' mode='m'>"
         "<xsl:with-param name='p' select='$g'/></xsl:apply-templates></xsl:attribute>"
         "</xsl:attribute-set>"
         "<xsl:template name='t'><xsl:param name='p' select='false()'/><xsl:variable name='v'>"
         "<xsl:if test='not($p)'>x</xsl:if></xsl:variable><xsl:value-of select='concat($v, $g)'/>"
         "</xsl:template>"
         "<xsl:template match='*' mode='m'><xsl:param name='p'/><xsl:value-of select='$p'/>"
         "</xsl:template>"
         "<xsl:template match='/'><xsl:variable name='local' select='1'/>"
         "<out xsl:use-attribute-sets='as'><in xsl:use-attribute-sets='as'/>"
         "<xsl:value-of select='$local'/></out></xsl:template></xsl:stylesheet>",
     "", "<out a=\"xG\" b=\"G\"><in a=\"xG\" b=\"G\"/>1</out>"},
    {"an empty reference resolved against a node",
     kOpen + ">" + kOutput +
         "<xsl:template match='/'><r><xsl:value-of select=\"name(document('', /*)/*)\"/>|"
         "<xsl:value-of select=\"count(document(/doc/none, /*))\"/>|"
         "<xsl:value-of select=\"name(document('')/*)\"/></r></xsl:template></xsl:stylesheet>",
     "", "<r>doc|0|xsl:stylesheet</r>"},
    {"the root in a union, in document order",
     kOpen + ">" + kOutput +
         "<xsl:template match='/'><r><xsl:for-each select='//e'>"
         "<xsl:value-of select='name((ancestor::doc|/)[last()])'/>|"
         "<xsl:value-of select='count((ancestor::doc|/)[1]/doc)'/>|"
         "<xsl:value-of select=\"count(/ | //e) + count(//e[/ = /])\"/>|"
         "<xsl:for-each select='ancestor::doc|/|.'><xsl:value-of select='name()'/>,</xsl:for-each>"
         "</xsl:for-each></r></xsl:template></xsl:stylesheet>",
     "", "<r>doc|1|3|,doc,e,</r>"},
    {"elements copied into a fragment made inside an attribute or comment",
     kOpen + ">" + kOutput +
         "<xsl:variable name='rtf'>a<b>b<i>c</i></b></xsl:variable>"
         "<xsl:template name='t'><xsl:variable name='v'><xsl:copy-of select='$rtf'/>"
         "<xsl:copy-of select='/doc/e'/></xsl:variable><xsl:value-of select='$v'/>"
         "</xsl:template>"
         "<xsl:template match='/'><r><xsl:attribute name='a'><xsl:call-template name='t'/>"
         "</xsl:attribute><xsl:comment><xsl:call-template name='t'/></xsl:comment>"
         "<xsl:call-template name='t'/></r></xsl:template></xsl:stylesheet>",
     "", "<r a=\"abce\"><!--abce-->abce</r>"},
    {"a prefixed attribute in the result's default namespace",
     kOpen + " xmlns:o='urn:o' exclude-result-prefixes='o'>" + kOutput +
         "<xsl:template match='/'><p xmlns='urn:o'><xsl:element name='c'>"
         "<xsl:attribute name='o:a'>1</xsl:attribute></xsl:element>"
         "<d><xsl:attribute name='o:b' namespace='urn:o'>2</xsl:attribute></d></p>"
         "</xsl:template></xsl:stylesheet>",
     "", "<p xmlns=\"urn:o\"><c xmlns:o=\"urn:o\" o:a=\"1\"/><d xmlns:o=\"urn:o\" o:b=\"2\"/></p>"},
    {"a copied attribute's prefix", // xsltproc names the second prefix x_1
     kOpen + " xmlns:x='urn:2' exclude-result-prefixes='x'>" + kOutput +
         "<x:data x:a='1'/><xsl:template match='/'><r>"
         "<xsl:for-each select=\"document('')/*/x:data/@x:a\"><xsl:element name='c'>"
         "<xsl:copy-of select='.'/></xsl:element><y:e xmlns:y='urn:1'><xsl:copy/></y:e>"
         "<x:e xmlns:x='urn:1'><xsl:copy/></x:e></xsl:for-each></r></xsl:template>"
         "</xsl:stylesheet>",
     "",
     "<r><c xmlns:x=\"urn:2\" x:a=\"1\"/><y:e xmlns:y=\"urn:1\" xmlns:x=\"urn:2\" x:a=\"1\"/>"
     "<x:e xmlns:x=\"urn:1\" xmlns:ns0=\"urn:2\" ns0:a=\"1\"/></r>"},
    {"an alias to the null namespace, declared after its use",
     kOpen + " xmlns:h='urn:h'>" + kOutput +
         "<xsl:template match='/'><h:r h:a='1' b='2'><h:p><q/></h:p></h:r></xsl:template>"
         "<xsl:namespace-alias stylesheet-prefix='h' result-prefix='#default'/></xsl:stylesheet>",
     "", "<r a=\"1\" b=\"2\"><p><q/></p></r>"}, // xsltproc drops the attributes
    {"an alias to the null namespace inside a default namespace",
     kOpen + " xmlns:h='urn:h'>" + kOutput +
         "<xsl:namespace-alias stylesheet-prefix='h' result-prefix='#default'/>"
         "<xsl:template match='/' xmlns='urn:d'><h:r><q/><h:p xmlns:h='urn:o'/></h:r>"
         "</xsl:template></xsl:stylesheet>",
     "", "<r><q xmlns=\"urn:d\"/><h:p xmlns:h=\"urn:o\"/></r>"}, // xsltproc: <r xmlns="urn:d">
    {"position() along node lists in every order",
     kOpen + " xmlns:d='urn:d' exclude-result-prefixes='d'>" + kOutput +
         "<d:l><i>1</i><i>2</i><i>3</i><i>4</i><i>5</i><i>6</i></d:l>"
         "<xsl:variable name='l' select=\"document('')/*/d:l/*\"/><xsl:template match='/'><r>"
         "<xsl:for-each select='$l[position() mod 2 = 0]'><xsl:value-of "
         "select='.'/></xsl:for-each>|"
         "<xsl:for-each select='$l'><xsl:sort order='descending'/>"
         "<xsl:value-of select=\"concat(position(), '=', ., ',')\"/></xsl:for-each>|"
         "<xsl:for-each select='$l[last()]/preceding-sibling::*[position() = 1 or position() = 3]'>"
         "<xsl:value-of select='.'/></xsl:for-each>|"
         "<xsl:value-of select='count($l[position() = 2 or position() = 3 and position() &lt; "
         "last()])'/>|"
         "<xsl:value-of select=\"$l[../*[position() = 2] = '2'][position() = 4]\"/>|"
         "<xsl:value-of select='$l[position() &gt; 1][position() = 1]'/></r></xsl:template>"
         "</xsl:stylesheet>",
     "", "<r>246|1=6,2=5,3=4,4=3,5=2,6=1,|35|2|4|2</r>"},
    {"conflicts between a name's patterns and those of any element, merged into its list",
     kOpen + ">" + kOutput +
         "<xsl:template match='*'>*</xsl:template><xsl:include href='mod.xsl'/>"
         "<xsl:template match='a'>a</xsl:template><xsl:template match='b' priority='-1'>b"
         "</xsl:template><xsl:template match='*[@y]'>y</xsl:template><xsl:template "
         "match='node()'>n</xsl:template><xsl:template match='@x'>x</xsl:template>"
         "<xsl:template match='d' mode='m'>d</xsl:template><xsl:template match='/'><r>"
         "<xsl:apply-templates select='doc/*|doc/*/@*'/>|<xsl:apply-templates select='doc/*' "
         "mode='m'/></r></xsl:template></xsl:stylesheet>",
     kOpen + "><xsl:template match='c' priority='-0.5'>C</xsl:template><xsl:template "
             "match='node()' mode='m'>n</xsl:template><xsl:template match='*' mode='m'>s"
             "</xsl:template><xsl:template match='@*'>A</xsl:template></xsl:stylesheet>",
     "<r>annnyAaxA|sssdss</r>", "<doc><a/><b/><c/><d/><e y='1'/><a x='1' z='2'/></doc>"},
    {"sibling steps with a numbered predicate",
     kOpen + " xmlns:d='urn:d' exclude-result-prefixes='d'>" + kOutput +
         "<d:l><i>1</i>t<i>2</i><i>3</i><i>4</i><i>5</i><i>6</i></d:l>"
         "<xsl:variable name='l' select=\"document('')/*/d:l/*\"/><xsl:template match='/'><r>"
         "<xsl:value-of select=\"concat($l[3]/following-sibling::*[2], "
         "$l[3]/preceding-sibling::*[2],"
         " count($l[3]/following-sibling::*[9]), $l[1]/following-sibling::*[. &gt; 3][1],"
         " $l[6]/preceding-sibling::*[1][. = 5], count($l[6]/preceding-sibling::*[1.5]),"
         " count($l[6]/preceding-sibling::*[2]/following-sibling::*),"
         " $l[2]/preceding-sibling::node()[1])\"/></r></xsl:template></xsl:stylesheet>",
     "", "<r>5104502t</r>"},
};

class EngineFaults : public prsm::test::StylesheetTest
{
};

TEST_F(EngineFaults, AreCorrected)
{
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.fault);
        if (!c.module.empty())
            m_dir.write("mod.xsl", c.module);
        EXPECT_EQ(run(c.stylesheet, c.source), c.expected) << m_transformer.getLastError();
        EXPECT_EQ(m_status, 0);
    }
}

} // namespace

namespace
{

// xsltproc ignores an attribute that XSLT does not define on an XSLT element; the engine stops.
const std::string kUndefinedAttribute =
    kOpen + ">" + kOutput +
    "<xsl:template match='/'><r><xsl:choose><xsl:when test='false()'>a</xsl:when>"
    "<xsl:otherwise test='true()'>b</xsl:otherwise></xsl:choose></r></xsl:template>"
    "</xsl:stylesheet>";

TEST_F(EngineFaults, UndefinedAttributesStopTheEngineUnlessXsltprocCompatible)
{
    std::vector<std::string> warnings;
    m_transformer.setMessageSink(
        [&](const PRSMXslMessage& message)
        {
            if (message.kind == PRSMXslMessage::Kind::Warning)
                warnings.push_back(message.text);
        });
    EXPECT_EQ(run(kUndefinedAttribute), "");
    EXPECT_NE(m_status, 0);
    EXPECT_NE(std::string(m_transformer.getLastError()).find("test"), std::string::npos);

    // The lenient compilation is kept apart from the strict one.
    m_transformer.setXsltprocCompatible(true);
    EXPECT_EQ(run(kUndefinedAttribute), "<r>b</r>") << m_transformer.getLastError();
    EXPECT_EQ(m_status, 0);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("'test'"), std::string::npos) << warnings[0];

    m_transformer.setXsltprocCompatible(false);
    EXPECT_EQ(run(kUndefinedAttribute), "");
    EXPECT_NE(m_status, 0);
}

} // namespace

namespace
{

// Numbers and sort keys without a language, as the engine writes and orders them and as
// xsltproc does.
const std::string kNumbersAndOrder =
    kOpen + ">" + kOutput +
    "<xsl:template match='/'><r><xsl:value-of select='10 * 2.0736'/>|"
    "<xsl:for-each select='//w'><xsl:sort select='.'/><xsl:value-of select='.'/>,</xsl:for-each>"
    "</r></xsl:template></xsl:stylesheet>";
const std::string kWords = "<d><w>b</w><w>@a</w><w>&lt;c</w><w>B</w></d>";

TEST_F(EngineFaults, NumbersAndOrderAreXsltprocsWhenCompatible)
{
    EXPECT_EQ(run(kNumbersAndOrder, kWords), "<r>20.735999999999997|@a,&lt;c,b,B,</r>");
    m_transformer.setXsltprocCompatible(true);
    EXPECT_EQ(run(kNumbersAndOrder, kWords), "<r>20.736|&lt;c,@a,B,b,</r>");
    m_transformer.setXsltprocCompatible(false);
    EXPECT_EQ(run(kNumbersAndOrder, kWords), "<r>20.735999999999997|@a,&lt;c,b,B,</r>");
}

} // namespace

namespace
{

// xsltproc carries a module's exclusions on to the modules included after it.
TEST_F(EngineFaults, ExclusionsCarryOnToLaterModulesWhenCompatible)
{
    m_dir.write("a.xsl", kOpen + " xmlns:x='urn:x' exclude-result-prefixes='x'>"
                                 "<xsl:template name='a'><a/></xsl:template></xsl:stylesheet>");
    m_dir.write("b.xsl", kOpen + " xmlns:x='urn:x'>"
                                 "<xsl:template name='b'><b/></xsl:template></xsl:stylesheet>");
    const std::string stylesheet =
        kOpen + ">" + kOutput +
        "<xsl:include href='a.xsl'/><xsl:include href='b.xsl'/><xsl:template match='/'><r>"
        "<xsl:call-template name='a'/><xsl:call-template name='b'/></r></xsl:template>"
        "</xsl:stylesheet>";
    EXPECT_EQ(run(stylesheet), "<r><a/><b xmlns:x=\"urn:x\"/></r>"); // XSLT 1.0 (7.1.1)
    m_transformer.setXsltprocCompatible(true);
    EXPECT_EQ(run(stylesheet), "<r><a/><b/></r>");
}

// Whitespace between the tags of a template, where the engine's stylesheet handler keeps it:
// after text that an xsl:sort leaves as its parent's last child, under xml:space, in xsl:text,
// around processing instructions. Whitespace it drops is never handed to it; these results are
// the engine's own, which the dropping must not change.
TEST_F(EngineFaults, WhitespaceBetweenTagsIsKeptWhereTheEngineKeepsIt)
{
    const std::string stylesheet =
        kOpen + "><xsl:output method='text'/>\n<xsl:template match='/'>"
                "[<xsl:for-each select='doc/e'>a<xsl:sort select='.' order='descending'/>  "
                "<xsl:value-of select='.'/></xsl:for-each>]\n"
                "[<xsl:text>b</xsl:text>  <xsl:value-of select=\"'c'\"/>  ]\n"
                "[<b xml:space='preserve'>  <xsl:value-of select=\"'d'\"/>  </b>]\n"
                "[e<?pi x?>  <xsl:value-of select=\"'f'\"/>  <?pi?>  ]\n"
                "[<xsl:if test='1'>  <xsl:text/>  g  </xsl:if>]\n"
                "[<xsl:for-each select='doc/e'>h<xsl:sort/> <?pi?> </xsl:for-each>]\n"
                "</xsl:template></xsl:stylesheet>";
    EXPECT_EQ(run(stylesheet, "<doc><e>1</e><e>2</e></doc>"),
              "[a  2a  1]\n[bc  ]\n[  d  ]\n[e  f  ]\n[  g  ]\n[h h ]\n")
        << m_transformer.getLastError();
}

} // namespace
