// Which resources that documents name may be read: schemes, hosts, and the allowed folders.
#include "engine/limits/ResourcePolicy.hpp"

#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

TEST(ResourcePolicy, RefusesTheNetworkAndWhatLiesOutsideTheAllowedFolders)
{
    const prsm::test::TempDir dir;
    std::filesystem::create_directories(dir.path("data/sub"));
    std::filesystem::create_symlink("/etc", dir.path("data/escape"));
    const std::string data = dir.path("data");
    const std::string base = "file://" + dir.path("data/doc.xml");
    PRSMXslLimits limits;
    limits.allowedDirectories = {data + "/"};

    const struct
    {
        const char* reference;
        std::string base;
        bool allowed;
    } cases[] = {
        {"http://127.0.0.1:9/x.dtd", base, false},
        {"HTTPS://host/x", "", false},
        {"ftp://host/x", "", false},
        {"x.dtd", "http://host/doc.xml", false}, // relative to a network base
        {"//host/share/x.xml", base, false},
        {"file://host/x.xml", "", false},
        {"sub/x.dtd", base, true},
        {"sub%20dir/../x.dtd", base, true},
        {"../x.dtd", base, false},
        {"escape/passwd", base, false}, // a link that leads out
        {"file:///etc/passwd", base, false},
        {"x.xml", dir.path("data/doc.xml"), true}, // a base written as a path
        {"/etc/passwd", "", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.reference);
        const std::string refusal = prsm::detail::resourceRefusal(limits, c.reference, c.base);
        EXPECT_EQ(refusal.empty(), c.allowed) << refusal;
        if (!c.allowed)
        {
            EXPECT_NE(refusal.find(c.reference), std::string::npos) << refusal;
        }
    }

    // Without folders every local file may be read, and the network only when allowed.
    limits.allowedDirectories.clear();
    EXPECT_EQ(prsm::detail::resourceRefusal(limits, "/etc/passwd", ""), "");
    limits.allowNetwork = true;
    EXPECT_EQ(prsm::detail::resourceRefusal(limits, "http://host/x", ""), "");
}

} // namespace
