// UTF-8 and UTF-16 conversions that never fail.
#include "platform/Utf8.hpp"

namespace prsm::detail
{
namespace
{

constexpr char16_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

void appendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000)
    {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80)
    {
        out.push_back(static_cast<char>(cp));
    }
    else if (cp < 0x800)
    {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else if (cp < 0x10000)
    {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else
    {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::u16string utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size())
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80)
        {
            out.push_back(lead);
            ++i;
            continue;
        }
        std::size_t extra = 0;
        char32_t cp = 0;
        char32_t smallest = 0;
        if ((lead & 0xE0) == 0xC0)
        {
            extra = 1, cp = lead & 0x1F, smallest = 0x80;
        }
        else if ((lead & 0xF0) == 0xE0)
        {
            extra = 2, cp = lead & 0x0F, smallest = 0x800;
        }
        else if ((lead & 0xF8) == 0xF0)
        {
            extra = 3, cp = lead & 0x07, smallest = 0x10000;
        }
        else
        {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        while (taken <= extra && i + taken < text.size() &&
               isContinuation(static_cast<unsigned char>(text[i + taken])))
        {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
            ++taken;
        }
        const bool complete = taken == extra + 1;
        if (!complete || cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            out.push_back(kReplacement);
        else
            appendCodePoint(out, cp);
        i += taken;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
        {
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        }
        else if (unit >= 0xD800 && unit <= 0xDFFF)
        {
            appendUtf8(out, kReplacement);
        }
        else
        {
            appendUtf8(out, unit);
        }
    }
    return out;
}

} // namespace prsm::detail
