// The one bridge between the library's texts and the engine's UTF-16 strings.
#include "platform/EngineText.hpp"

#include "platform/Utf8.hpp"

#include <string_view>

namespace prsm::detail
{

xalanc::XalanDOMString toEngine(const I18NString& text)
{
    return xalanc::XalanDOMString(text.utf16().c_str());
}

xalanc::XalanDOMString toEngine(const char* utf8)
{
    return toEngine(I18NString(utf8));
}

I18NString fromEngine(const xalanc::XalanDOMString& text)
{
    return I18NString(std::u16string(text.c_str()));
}

std::string utf8Of(const XMLCh* text)
{
    return text == nullptr ? std::string() : utf16ToUtf8(std::u16string_view(text));
}

std::string utf8Of(const xalanc::XalanDOMString& text)
{
    return utf16ToUtf8(std::u16string_view(text.c_str(), text.length()));
}

} // namespace prsm::detail
