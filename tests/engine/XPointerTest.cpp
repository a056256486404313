// The pointers of xi:include: which parts are read, and which elements they select.
#include "engine/parse/XPointer.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{

using prsm::detail::elementPointers;

TEST(XPointer, ReadsShorthandsAndElementParts)
{
    const struct
    {
        const char16_t* pointer;
        std::vector<std::pair<std::u16string, std::vector<std::size_t>>> parts;
    } cases[] = {
        {u"intro", {{u"intro", {}}}},
        {u" element(/1/3) ", {{u"", {1, 3}}}},
        {u"element(intro/2)", {{u"intro", {2}}}},
        {u"xpointer(//a[b^)]) element(x) other(^^)", {{u"x", {}}}},
        {u"xmlns(a=urn:a) element(/1)element(/2)", {{u"", {1}}, {u"", {2}}}},
        {u"", {}},
        {u"two words", {}},
        {u"element(/0)", {}},
        {u"element(/1/x)", {}},
        {u"element(/1", {}},
        {u"element()", {}},
    };
    for (const auto& c : cases)
    {
        const auto parts = elementPointers(c.pointer);
        std::vector<std::pair<std::u16string, std::vector<std::size_t>>> read;
        for (const auto& part : parts)
            read.emplace_back(part.id, part.steps);
        EXPECT_EQ(read, c.parts) << std::string(
            c.pointer, c.pointer + std::char_traits<char16_t>::length(c.pointer));
    }
}

TEST(XPointer, MatchesByIdAndPosition)
{
    // The chain of an element: the IDs and positions of the document element down to it.
    const std::vector<std::u16string> ids = {u"", u"ch", u""};
    const std::vector<std::size_t> positions = {1, 3, 2};
    EXPECT_TRUE((prsm::detail::ElementPointer{u"", {1, 3, 2}}.matches(ids, positions)));
    EXPECT_TRUE((prsm::detail::ElementPointer{u"ch", {2}}.matches(ids, positions)));
    EXPECT_FALSE((prsm::detail::ElementPointer{u"ch", {}}.matches(ids, positions)));
    EXPECT_FALSE((prsm::detail::ElementPointer{u"", {3, 2}}.matches(ids, positions)));
    EXPECT_FALSE((prsm::detail::ElementPointer{u"ch", {1}}.matches(ids, positions)));
}

} // namespace
