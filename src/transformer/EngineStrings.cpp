// Conversions of the transformer's texts into the engine's strings.
#include "transformer/EngineStrings.hpp"

#include "QxXsltFunction.hpp"

namespace prsm::detail
{

// Through UTF-16 rather than the engine's narrow constructor, which reads the local code page
// and would mangle non-ASCII names and values.
xalanc::XalanDOMString engineString(const I18NString& text)
{
    return QxXsltFunction::I18NStringToXalanDOMString(text);
}

xalanc::XalanDOMString engineString(const char* utf8)
{
    return engineString(I18NString(utf8));
}

} // namespace prsm::detail
