// Reading the text of an XPath expression outside its string literals.
#pragma once

#include <cstddef>
#include <string_view>

namespace prsm::detail
{

// Whether `c` may be part of a name (an NCName), read generously: every unit past ASCII is taken.
inline bool isNameUnit(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'-' || c == u'.' || c >= 0x80;
}

// Calls `visit(i)` with the index of each unit of `text` outside its string literals (the quotes
// left out) until `visit` returns false; returns whether it went through the whole text.
template <class Visit>
bool visitOutsideLiterals(std::u16string_view text, Visit visit)
{
    char16_t quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char16_t c = text[i];
        if (quote != 0)
            quote = c == quote ? 0 : quote;
        else if (c == u'\'' || c == u'"')
            quote = c;
        else if (!visit(i))
            return false;
    }
    return true;
}

// Calls `visit(alternative)` with each alternative of the pattern `text`, split at each | outside
// string literals, brackets and parentheses; once with the whole text when it has one.
template <class Visit>
void visitPatternAlternatives(std::u16string_view text, Visit visit)
{
    std::size_t depth = 0;
    std::size_t start = 0;
    visitOutsideLiterals(text,
                         [&](std::size_t i)
                         {
                             const char16_t c = text[i];
                             if (c == u'(' || c == u'[')
                                 ++depth;
                             else if ((c == u')' || c == u']') && depth > 0)
                                 --depth;
                             else if (c == u'|' && depth == 0)
                             {
                                 visit(text.substr(start, i - start));
                                 start = i + 1;
                             }
                             return true;
                         });
    visit(text.substr(start));
}

} // namespace prsm::detail
