// The one bridge between the library's texts and the engine's UTF-16 strings.
#pragma once

#include "ZBLCore.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace prsm::detail
{

// The parser's XMLCh is char16_t, so texts cross as they are, without a transcoder.
static_assert(sizeof(XMLCh) == sizeof(char16_t), "XMLCh must be a UTF-16 unit");

// The engine's string for `text`, up to its first NUL. Engine strings take the parser's memory
// manager, which exists only between start-up and shut-down: make them on use, never at load.
xalanc::XalanDOMString toEngine(const I18NString& text);

// The same for UTF-8 text (a null text is empty). Never through the engine's narrow constructor,
// which reads the local code page and would mangle non-ASCII names and values.
xalanc::XalanDOMString toEngine(const char* utf8);

// The engine's string as an I18NString, up to its first NUL.
I18NString fromEngine(const xalanc::XalanDOMString& text);

// A NUL-terminated engine text as UTF-8; null gives the empty string.
std::string utf8Of(const XMLCh* text);

// An engine string as UTF-8, every unit of it.
std::string utf8Of(const xalanc::XalanDOMString& text);

// The units of an engine string, for comparing and hashing without the engine's calls.
inline std::u16string_view viewOf(const xalanc::XalanDOMString& text)
{
    return std::u16string_view(text.c_str(), text.length());
}

// The units of a NUL-terminated parser text; null gives the empty view.
inline std::u16string_view viewOf(const XMLCh* text)
{
    return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

// Whether `c` is white space as XML and XPath read it (S: space, tab, line feed, carriage return).
inline bool isXmlSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Whether two texts have the same units, compared as bytes: the standard comparison of
// char16_t texts goes unit by unit, which namespace names and pooled strings make a loop of dozens.
inline bool isSameText(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

// A hash of the expanded name {uri}local; the namespace, most often none, costs nothing then.
inline std::size_t nameHash(std::u16string_view uri, std::u16string_view local)
{
    const std::hash<std::u16string_view> hash;
    return uri.empty() ? hash(local) : hash(local) ^ (hash(uri) * 31);
}

} // namespace prsm::detail
