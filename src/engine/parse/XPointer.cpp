// The pointers of xi:include that select one element: shorthand names and the element() scheme.
#include "engine/parse/XPointer.hpp"

#include "platform/EngineText.hpp"

#include <optional>
#include <string_view>
#include <utility>

namespace prsm::detail
{

using namespace std::string_view_literals;

namespace
{

// Names are checked loosely: what no ID can equal simply selects nothing.
bool isName(std::u16string_view text)
{
    if (text.empty() || (text[0] >= u'0' && text[0] <= u'9') || text[0] == u'-' || text[0] == u'.')
        return false;
    for (char16_t c : text)
        if (isXmlSpace(c) || c == u'(' || c == u')' || c == u'/' || c == u'^' || c == u':')
            return false;
    return true;
}

// The data of element(): a name, a child sequence ("/1/2"), or a name then a child sequence.
std::optional<ElementPointer> elementScheme(std::u16string_view data)
{
    ElementPointer pointer;
    const std::size_t slash = data.find(u'/');
    pointer.id = std::u16string(data.substr(0, slash));
    if (!pointer.id.empty() && !isName(pointer.id))
        return std::nullopt;
    if (slash == std::u16string_view::npos)
    {
        if (pointer.id.empty())
            return std::nullopt;
        return pointer;
    }
    std::size_t number = 0;
    bool hasDigits = false;
    for (std::size_t at = slash + 1; at <= data.size(); ++at)
    {
        if (at == data.size() || data[at] == u'/')
        {
            if (!hasDigits || number == 0)
                return std::nullopt;
            pointer.steps.push_back(number);
            number = 0;
            hasDigits = false;
        }
        else if (data[at] >= u'0' && data[at] <= u'9' && number < 100000000)
        {
            number = number * 10 + static_cast<std::size_t>(data[at] - u'0');
            hasDigits = true;
        }
        else
        {
            return std::nullopt;
        }
    }
    return pointer;
}

} // namespace

bool ElementPointer::matches(const std::vector<std::u16string>& ids,
                             const std::vector<std::size_t>& positions) const
{
    const std::size_t depth = positions.size();
    if (depth < steps.size() + (id.empty() ? 0 : 1) || (id.empty() && depth != steps.size()))
        return false;
    const std::size_t first = depth - steps.size();
    if (!id.empty() && ids[first - 1] != id)
        return false;
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (positions[first + i] != steps[i])
            return false;
    return true;
}

std::vector<ElementPointer> elementPointers(std::u16string_view pointer)
{
    while (!pointer.empty() && isXmlSpace(pointer.front()))
        pointer.remove_prefix(1);
    while (!pointer.empty() && isXmlSpace(pointer.back()))
        pointer.remove_suffix(1);
    if (pointer.find(u'(') == std::u16string_view::npos)
    {
        std::vector<ElementPointer> parts;
        if (isName(pointer))
            parts.push_back(ElementPointer{std::u16string(pointer), {}});
        return parts;
    }
    std::vector<ElementPointer> parts;
    std::size_t at = 0;
    while (at < pointer.size())
    {
        if (isXmlSpace(pointer[at]))
        {
            ++at;
            continue;
        }
        const std::size_t open = pointer.find(u'(', at);
        if (open == std::u16string_view::npos)
            return {};
        const std::u16string_view scheme = pointer.substr(at, open - at);
        // The data runs to the parenthesis that balances the opening one; "^" escapes the
        // next parenthesis or circumflex.
        std::u16string data;
        int depth = 1;
        at = open + 1;
        for (; at < pointer.size() && depth > 0; ++at)
        {
            char16_t c = pointer[at];
            if (c == u'^')
            {
                if (++at == pointer.size())
                    return {};
                c = pointer[at];
                if (c != u'(' && c != u')' && c != u'^')
                    return {};
            }
            else if (c == u'(')
            {
                ++depth;
            }
            else if (c == u')' && --depth == 0)
            {
                break;
            }
            data += c;
        }
        if (depth != 0)
            return {};
        ++at;
        if (scheme == u"element"sv)
        {
            std::optional<ElementPointer> part = elementScheme(data);
            if (!part)
                return {};
            parts.push_back(std::move(*part));
        }
        else if (!isName(scheme) && scheme.find(u':') == std::u16string_view::npos)
        {
            return {};
        }
    }
    return parts;
}

} // namespace prsm::detail
