// Which catalog files are consulted by default, as xsltproc consults them.
#include "engine/parse/Catalogs.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

TEST(Catalogs, SystemListIsXmlCatalogFilesElseTheSystemCatalog)
{
    const char* before = std::getenv("XML_CATALOG_FILES");
    const std::string kept = before != nullptr ? before : "";

    ::setenv("XML_CATALOG_FILES", " /a/catalog.xml\tfile:///b/c%20d.xml ", 1);
    EXPECT_EQ(prsm::detail::systemCatalogFiles(),
              (std::vector<std::string>{"/a/catalog.xml", "file:///b/c%20d.xml"}));
    ::setenv("XML_CATALOG_FILES", "", 1);
    EXPECT_TRUE(prsm::detail::systemCatalogFiles().empty()); // set but empty: none, as xsltproc

    ::unsetenv("XML_CATALOG_FILES");
    const std::vector<std::string> system = std::filesystem::exists("/etc/xml/catalog")
                                                ? std::vector<std::string>{"/etc/xml/catalog"}
                                                : std::vector<std::string>{};
    EXPECT_EQ(prsm::detail::systemCatalogFiles(), system);

    if (before != nullptr)
        ::setenv("XML_CATALOG_FILES", kept.c_str(), 1);
    EXPECT_EQ(prsm::detail::localFilePath("file:///b/c%20d.xml"), "/b/c d.xml");
    EXPECT_EQ(prsm::detail::localFilePath("file://localhost/x"), "/x");
    EXPECT_EQ(prsm::detail::localFilePath("http://host/x"), "");
    EXPECT_EQ(prsm::detail::localFilePath("rel/x.xml"), "rel/x.xml");
}

} // namespace
