// A DTD read once serves the later documents that name it, and never changes what they mean.
#include "PRSMXslLimits.hpp"
#include "support/Stylesheets.hpp"

#include <gtest/gtest.h>

#include <string>

namespace
{

using prsm::test::textStylesheet;

// The entity e, the default of the attribute k, and the entity i of an internal subset.
const std::string kShow = textStylesheet("<xsl:value-of select='concat(/doc, \"|\", /doc/@k)'/>");

const std::string kLaughs = "<!ENTITY l0 'ha'>"
                            "<!ENTITY l1 '&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;'>"
                            "<!ENTITY l2 '&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;'>"
                            "<!ENTITY l3 '&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;'>"
                            "<!ENTITY l4 '&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;'>"
                            "<!ENTITY l5 '&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;'>";

std::string document(const std::string& body, const std::string& internalSubset = "")
{
    return "<!DOCTYPE doc SYSTEM 'd.dtd'" +
           (internalSubset.empty() ? std::string() : " [" + internalSubset + "]") + "><doc>" +
           body + "</doc>";
}

class DtdReuse : public prsm::test::StylesheetTest
{
protected:
    // Transforms `xml`, written beside the DTD, by kShow.
    std::string show(const std::string& xml)
    {
        const std::string source = m_dir.write("in.xml", xml);
        const std::string out = m_dir.path("out.txt");
        m_status = m_transformer.doTransform(I18NString(source.c_str()),
                                             I18NString(m_dir.write("show.xsl", kShow).c_str()),
                                             I18NString(out.c_str()));
        return m_status == 0 ? prsm::test::readFile(out) : m_transformer.getLastError();
    }
};

TEST_F(DtdReuse, FollowsTheDtdFilesAndTheDocumentsOwnDeclarations)
{
    m_dir.write("d.dtd", "<!ENTITY e 'one'><!ATTLIST doc k CDATA 'K1'>");
    EXPECT_EQ(show(document("&e;")), "one|K1");
    EXPECT_EQ(show(document("&e;&e;")), "oneone|K1");
    // A document with an internal subset reads the DTD with it, whatever is kept.
    EXPECT_EQ(show(document("&e;&i;", "<!ENTITY i 'I'><!ATTLIST doc k CDATA 'K2'>")), "oneI|K2");
    EXPECT_EQ(show(document("&e;")), "one|K1");

    // A changed DTD is read again, also when only its size changed.
    m_dir.write("d.dtd", "<!ENTITY e 'two!'><!ATTLIST doc k CDATA 'K1'>");
    EXPECT_EQ(show(document("&e;")), "two!|K1");
    m_dir.write("m.ent", "<!ENTITY e 'three'>");
    m_dir.write("d.dtd", "<!ENTITY % m SYSTEM 'm.ent'>%m;<!ATTLIST doc k CDATA 'K3'>");
    EXPECT_EQ(show(document("&e;")), "three|K3");
    EXPECT_EQ(show(document("&e;")), "three|K3");
    // So is a changed module of it.
    m_dir.write("m.ent", "<!ENTITY e 'four'>");
    EXPECT_EQ(show(document("&e;")), "four|K3");
}

TEST_F(DtdReuse, KeepsEveryLimitPerDocumentAndNoDtdThatFailed)
{
    PRSMXslLimits limits;
    limits.maxEntityExpansions = 1000;
    m_transformer.setLimits(limits);
    m_dir.write("d.dtd", kLaughs + "<!ENTITY e 'x'>");
    EXPECT_EQ(show(document("&l1;")), "hahahahahahahahahaha|");
    EXPECT_NE(show(document("&l5;")), "");
    EXPECT_NE(m_status, 0);
    EXPECT_EQ(show(document("&e;")), "x|");

    m_dir.write("d.dtd", "<!ENTITY e 'broken'");
    for (int i = 0; i < 2; ++i)
    {
        show(document("&e;"));
        EXPECT_NE(m_status, 0) << "a failed DTD served document " << i;
    }
}

} // namespace

namespace
{

// Content models are dropped once read; element content, attribute types and defaults stay.
TEST_F(DtdReuse, KeepsWhatADocumentNeedsOfItsDtd)
{
    m_dir.write("d.dtd", "<!ELEMENT doc (a+, (b | c)*)><!ELEMENT a (#PCDATA | b)*>"
                         "<!ELEMENT b EMPTY><!ELEMENT c ANY>"
                         "<!ATTLIST b k CDATA 'K' id ID #IMPLIED>");
    const std::string source =
        m_dir.write("in.xml", "<!DOCTYPE doc SYSTEM 'd.dtd'>\n<doc>\n <a>x<b id='i1'/> </a>\n"
                              " <b id='i2'/>\n <c> </c>\n</doc>\n");
    const std::string stylesheet = m_dir.write(
        "show.xsl", textStylesheet("<xsl:value-of select=\"concat(count(//text()), '|', "
                                   "count(doc/text()), '|', id('i1')/@k, id('i2')/@k, '|', "
                                   "string(/))\"/>"));
    const std::string out = m_dir.path("out.txt");
    for (const char* read : {"read", "kept"})
    {
        SCOPED_TRACE(read);
        m_status = m_transformer.doTransform(
            I18NString(source.c_str()), I18NString(stylesheet.c_str()), I18NString(out.c_str()));
        EXPECT_EQ(m_status, 0) << m_transformer.getLastError();
        EXPECT_EQ(prsm::test::readFile(out), "7|4|KK|\n x \n \n  \n"); // as xsltproc
    }
}

} // namespace
