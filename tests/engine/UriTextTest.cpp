// URI references as texts: resolved against bases, and made relative as xsltproc does.
#include "engine/parse/UriText.hpp"

#include <gtest/gtest.h>

namespace
{

using prsm::detail::relativeUri;
using prsm::detail::resolveUri;

TEST(UriText, ResolvesAgainstAbsoluteAndRelativeBases)
{
    const struct
    {
        const char* reference;
        const char* base;
        const char* resolved;
    } cases[] = {
        {"b.xml", "file:///doc/a.xml", "file:///doc/b.xml"},
        {"../x/./b.xml", "file:///doc/sub/a.xml", "file:///doc/x/b.xml"},
        {"../../../b.xml", "file:///doc/a.xml", "file:///b.xml"},
        {"/etc/b.xml", "file:///doc/a.xml", "file:///etc/b.xml"},
        {"http://h/b.xml", "file:///doc/a.xml", "http://h/b.xml"},
        {"", "file:///doc/a.xml", "file:///doc/a.xml"},
        {"sub/", "main.xml", "sub/"},
        {"deeper/", "sub/c.xml", "sub/deeper/"},
        {"../a.xml", "other/", "a.xml"},
        {"../../a.xml", "x/", "../a.xml"},
        {"b.xml", "", "b.xml"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(resolveUri(c.reference, c.base), c.resolved) << c.reference << " on " << c.base;
}

TEST(UriText, MakesTheRelativeFormXsltprocWrites)
{
    const struct
    {
        const char* target;
        const char* base;
        const char* relative;
    } cases[] = {
        {"file:///doc/b.xml", "file:///doc/a.xml", "b.xml"},
        {"file:///doc/sub/b.xml", "file:///doc/a.xml", "sub/b.xml"},
        {"file:///doc/b.xml", "file:///doc/sub/a.xml", "../b.xml"},
        {"a2.xml", "other/", "../a2.xml"},
        {"/usr/x.xml", "main.xml", "/usr/x.xml"},
        {"http://h/b.xml", "file:///doc/a.xml", "http://h/b.xml"},
        {"file:///doc/a.xml", "file:///doc/a.xml", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(relativeUri(c.target, c.base), c.relative) << c.target << " from " << c.base;
}

} // namespace
