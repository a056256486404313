// The alternatives of a union pattern as texts: split at each | that separates two.
#include "engine/xslt/PatternAlternatives.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(PatternAlternatives, SplitOnlyWhereAnAlternativeEnds)
{
    const struct
    {
        std::u16string pattern;
        std::vector<std::u16string> alternatives;
    } cases[] = {
        {u"a", {u"a"}},
        {u"a|b", {u"a", u"b"}},
        {u" a | b[@c] |d/e ", {u" a ", u" b[@c] ", u"d/e "}},
        {u"a[. = '|'] | b[. = \"|\"]", {u"a[. = '|'] ", u" b[. = \"|\"]"}},
        {u"a[count(b | c) = 2]|d", {u"a[count(b | c) = 2]", u"d"}},
        {u"a[f(x[1] | y, ')')]|e", {u"a[f(x[1] | y, ')')]", u"e"}},
        {u"key('k', 'a|b') | id('x')", {u"key('k', 'a|b') ", u" id('x')"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prsm::detail::patternAlternatives(c.pattern), c.alternatives);
}

} // namespace
