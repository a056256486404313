// XML catalogs: each entry type, the policy over what they resolve, and document() recovery.
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using prsm::test::textStylesheet;

const char kCatalogHead[] = "<catalog xmlns='urn:oasis:names:tc:entity:xmlns:xml:catalog'>";
const char kWeb[] = "http://example.invalid/";

// `text` with each @ standing for the web address that the catalogs map.
std::string onWeb(std::string text)
{
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at))
        text.replace(at, 1, kWeb);
    return text;
}

// A folder with a catalog that maps every kind of identifier to its own local file. Each DTD
// defines the entity `who` as the name of the entry that reached it; each document holds it.
class Catalog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* folder : {"dtd", "docs", "other", "in"})
            std::filesystem::create_directory(m_dir.path(folder));
        for (const char* name :
             {"public", "system", "rewriteSystem", "delegatePublic", "delegateSystem",
              "nextCatalog", "group", "preferPublic", "systemSuffix"})
            m_dir.write(std::string("dtd/") + name + ".dtd",
                        std::string("<!ENTITY who '") + name + "'>");
        for (const char* name : {"uri", "rewriteURI", "delegateURI", "uriSuffix"})
            m_dir.write(std::string("docs/") + name + ".xml",
                        std::string("<doc>") + name + "</doc>");
        m_dir.write("docs/include.xsl", "<xsl:stylesheet version='1.0' "
                                        "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                                        "<xsl:template name='included'>included</xsl:template>"
                                        "</xsl:stylesheet>");
        m_dir.write("other/delegated.xml", onWeb(std::string(kCatalogHead) + R"(
<public publicId='-//T//DTD Delegated//EN' uri='../dtd/delegatePublic.dtd'/>
<public publicId='-//T//DTD System Preferred//EN' uri='../dtd/public.dtd'/>
<system systemId='@ds/d.dtd' uri='../dtd/delegateSystem.dtd'/>
<uri name='@du/d.xml' uri='../docs/delegateURI.xml'/></catalog>)"));
        m_dir.write(
            "other/next.xml",
            onWeb(std::string(kCatalogHead) +
                  "<system systemId='@next.dtd' uri='../dtd/nextCatalog.dtd'/><group "
                  "xml:base='../docs/'>"
                  "<uriSuffix uriSuffix='/uriSuffix.xml' uri='uriSuffix.xml'/></group></catalog>"));
        m_catalog = m_dir.write("catalog.xml", onWeb(std::string(kCatalogHead) + R"(
<public publicId='-//T//DTD Public//EN' uri='dtd/public.dtd'/>
<system systemId='@s.dtd' uri='dtd/system.dtd'/>
<rewriteSystem systemIdStartString='@rw/' rewritePrefix='dtd/'/>
<systemSuffix systemIdSuffix='/systemSuffix.dtd' uri='dtd/systemSuffix.dtd'/>
<delegatePublic publicIdStartString='-//T//DTD Deleg' catalog='other/delegated.xml'/>
<delegateSystem systemIdStartString='@ds/' catalog='other/delegated.xml'/>
<uri name='@u.xml' uri='docs/uri.xml'/>
<uri name='@include.xsl' uri='docs/include.xsl'/>
<uri name='@echo.xsl' uri='docs/echo.xsl'/>
<rewriteURI uriStartString='@ru/' rewritePrefix='docs/'/>
<delegateURI uriStartString='@du/' catalog='other/delegated.xml'/>
<group xml:base='dtd/' prefer='system'>
  <system systemId='@g.dtd' uri='group.dtd'/>
  <delegatePublic publicIdStartString='-//T//DTD System Pref' catalog='../other/delegated.xml'/>
</group>
<group prefer='public'>
  <public publicId='-//T//DTD Public Preferred//EN' uri='dtd/preferPublic.dtd'/>
</group>
<nextCatalog catalog='other/next.xml'/></catalog>)"));
        m_limits.catalogs = PRSMXslLimits::Catalogs::Listed;
        m_limits.catalogFiles = {m_catalog};
    }

    // Transforms the file `source` (written to the folder) with the template body `body`.
    int run(const std::string& source, const std::string& body, std::string& out,
            const std::string& top = "")
    {
        const std::string in = m_dir.write("in/source.xml", source);
        const std::string xsl = m_dir.write("in/t.xsl", textStylesheet(body, top));
        m_transformer.setLimits(m_limits);
        m_transformer.setMessageSink([this](const PRSMXslMessage& m)
                                     { m_warnings.push_back(m.text); });
        const int status =
            m_transformer.doTransform(in.c_str(), xsl.c_str(), m_dir.path("out.txt").c_str());
        out = prsm::test::readFile(m_dir.path("out.txt"));
        return status;
    }

    static std::string doctype(const std::string& external)
    {
        return "<!DOCTYPE doc " + external + "><doc>&who;</doc>";
    }

    int countWarnings(const std::string& part) const
    {
        int count = 0;
        for (const std::string& warning : m_warnings)
            count += warning.find(part) != std::string::npos ? 1 : 0;
        return count;
    }

    prsm::test::TempDir m_dir;
    std::string m_catalog;
    PRSMXslLimits m_limits;
    PRSMXslTransformer m_transformer;
    std::vector<std::string> m_warnings;
};

const std::string kEcho = "<xsl:value-of select='string(/)'/>";

TEST_F(Catalog, EachEntryTypeResolvesToItsLocalFileWithTheNetworkRefused)
{
    m_limits.processXInclude = true;
    const std::string web = kWeb;
    const struct
    {
        const char* entry;
        std::string source;
        std::string body;
        std::string top;
    } cases[] = {
        {"public", doctype("PUBLIC '-//T//DTD Public//EN' '" + web + "none.dtd'"), kEcho, ""},
        {"system", doctype("SYSTEM '" + web + "s.dtd'"), kEcho, ""},
        {"rewriteSystem", doctype("SYSTEM '" + web + "rw/rewriteSystem.dtd'"), kEcho, ""},
        {"delegatePublic", doctype("PUBLIC '-//T//DTD Delegated//EN' '" + web + "none.dtd'"), kEcho,
         ""},
        {"delegateSystem", doctype("SYSTEM '" + web + "ds/d.dtd'"), kEcho, ""},
        {"nextCatalog", doctype("SYSTEM '" + web + "next.dtd'"), kEcho, ""},
        {"group", doctype("SYSTEM '" + web + "g.dtd'"), kEcho, ""},
        {"preferPublic", doctype("PUBLIC '-//T//DTD Public Preferred//EN' '" + web + "none.dtd'"),
         kEcho, ""},
        {"uri", "<doc/>", "<xsl:value-of select=\"document('" + web + "u.xml')\"/>", ""},
        {"uri",
         "<doc><xi:include xmlns:xi='http://www.w3.org/2001/XInclude' href='" + web +
             "u.xml'/></doc>",
         kEcho, ""},
        {"rewriteURI", "<doc/>",
         "<xsl:value-of select=\"document('" + web + "ru/rewriteURI.xml')\"/>", ""},
        {"delegateURI", "<doc/>", "<xsl:value-of select=\"document('" + web + "du/d.xml')\"/>", ""},
        {"systemSuffix", doctype("SYSTEM '" + web + "any/where/systemSuffix.dtd'"), kEcho, ""},
        {"uriSuffix", "<doc/>",
         "<xsl:value-of select=\"document('" + web + "any/uriSuffix.xml')\"/>", ""},
        {"included", "<doc/>", "<xsl:call-template name='included'/>",
         "<xsl:include href='" + web + "include.xsl'/>"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.entry);
        std::string out;
        EXPECT_EQ(run(c.source, c.body, out, c.top), 0) << m_transformer.getLastError();
        EXPECT_EQ(out, c.entry);
    }
    EXPECT_TRUE(m_warnings.empty()) << m_warnings.front();
}

TEST_F(Catalog, PolicyBoundsWhatCatalogsResolve)
{
    const std::string web = kWeb;
    const struct
    {
        const char* name;
        std::string source;
        std::vector<std::string> allowed; // allowedDirectories under the folder
        PRSMXslLimits::Catalogs catalogs;
        const char* errorPart; // null: renders
    } cases[] = {
        {"public id delegated where system ids are preferred",
         doctype("PUBLIC '-//T//DTD System Preferred//EN' '" + web + "none.dtd'"),
         {},
         PRSMXslLimits::Catalogs::Listed,
         "PRSMXslLimits::allowNetwork"},
        {"rewrite that climbs out of its folder",
         doctype("SYSTEM '" + web + "rw/../../../../../../../../etc/passwd'"),
         {},
         PRSMXslLimits::Catalogs::Listed,
         "outside the folder"},
        {"file a public entry names, outside the allowed folders",
         doctype("PUBLIC '-//T//DTD Public//EN' '" + web + "none.dtd'"),
         {"in"},
         PRSMXslLimits::Catalogs::Listed,
         nullptr},
        {"file a rewrite reaches, outside the allowed folders",
         doctype("SYSTEM '" + web + "rw/rewriteSystem.dtd'"),
         {"in"},
         PRSMXslLimits::Catalogs::Listed,
         "PRSMXslLimits::allowedDirectories"},
        {"catalogs switched off",
         doctype("SYSTEM '" + web + "s.dtd'"),
         {},
         PRSMXslLimits::Catalogs::None,
         "PRSMXslLimits::allowNetwork"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_limits.catalogs = c.catalogs;
        m_limits.allowedDirectories.clear();
        for (const std::string& folder : c.allowed)
            m_limits.allowedDirectories.push_back(m_dir.path(folder));
        std::string out;
        const int status = run(c.source, kEcho, out);
        if (c.errorPart == nullptr)
        {
            EXPECT_EQ(status, 0) << m_transformer.getLastError();
        }
        else
        {
            EXPECT_NE(status, 0);
            EXPECT_NE(std::string(m_transformer.getLastError()).find(c.errorPart),
                      std::string::npos)
                << m_transformer.getLastError();
        }
    }
}

TEST_F(Catalog, DocumentThatCannotBeReadWarnsAndGivesAnEmptyNodeSet)
{
    m_limits.allowedDirectories = {m_dir.path("in")};
    for (const std::string& href : {std::string("http://127.0.0.1:9/d.xml"),
                                    m_dir.path("docs/uri.xml"), std::string("missing.xml")})
    {
        SCOPED_TRACE(href);
        m_warnings.clear();
        std::string out;
        EXPECT_EQ(run("<doc/>", "<xsl:value-of select=\"count(document('" + href + "'))\"/>", out),
                  0)
            << m_transformer.getLastError();
        EXPECT_EQ(out, "0");
        EXPECT_FALSE(m_warnings.empty());
    }
    // An include stays an error.
    std::string out;
    EXPECT_NE(run("<doc/>", "", out, "<xsl:include href='http://127.0.0.1:9/i.xsl'/>"), 0);
}

TEST_F(Catalog, BrokenCatalogsWarnOncePerFileAndResolutionGoesOn)
{
    const std::string malformed =
        m_dir.write("malformed.xml", std::string(kCatalogHead) + "<public");
    m_limits.catalogFiles = {m_dir.path("missing.xml"), malformed, m_catalog};
    m_limits.reportCatalogResolutions = true;
    for (int round = 0; round < 2; ++round)
    {
        std::string out;
        EXPECT_EQ(run(doctype(std::string("SYSTEM '") + kWeb + "s.dtd'"), kEcho, out), 0)
            << m_transformer.getLastError();
        EXPECT_EQ(out, "system");
    }
    EXPECT_EQ(countWarnings("missing.xml"), 1);
    EXPECT_EQ(countWarnings("malformed.xml"), 1);
    EXPECT_EQ(countWarnings("XML catalog resolved"), 2);
}

TEST_F(Catalog, SystemCatalogsComeFromXmlCatalogFiles)
{
    m_limits.catalogs = PRSMXslLimits::Catalogs::System;
    const char* before = std::getenv("XML_CATALOG_FILES");
    const std::string kept = before != nullptr ? before : "";
    const std::string listed = m_dir.path("none.xml") + "  file://" + m_catalog;
    ::setenv("XML_CATALOG_FILES", listed.c_str(), 1);
    std::string out;
    EXPECT_EQ(run(doctype(std::string("SYSTEM '") + kWeb + "s.dtd'"), kEcho, out), 0)
        << m_transformer.getLastError();
    EXPECT_EQ(out, "system");
    EXPECT_EQ(countWarnings("none.xml"), 1);
    if (before != nullptr)
        ::setenv("XML_CATALOG_FILES", kept.c_str(), 1);
    else
        ::unsetenv("XML_CATALOG_FILES");
}

TEST_F(Catalog, StylesheetTheHostNamesByAWebAddressIsMapped)
{
    m_dir.write("docs/echo.xsl", textStylesheet(kEcho));
    const std::string in = m_dir.write("in/source.xml", "<doc>mapped</doc>");
    m_transformer.setLimits(m_limits);
    const std::string xsl = std::string(kWeb) + "echo.xsl";
    ASSERT_EQ(m_transformer.doTransform(in.c_str(), xsl.c_str(), m_dir.path("out.txt").c_str()), 0)
        << m_transformer.getLastError();
    EXPECT_EQ(prsm::test::readFile(m_dir.path("out.txt")), "mapped");
}

} // namespace
