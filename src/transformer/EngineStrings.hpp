// Conversions of the transformer's texts into the engine's strings.
#pragma once

#include "ZBLCore.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

namespace prsm::detail
{

// The engine's UTF-16 string for `text`. Made on use, never at load time: an engine string needs
// the parser's memory manager, which exists only between start-up and shut-down.
xalanc::XalanDOMString engineString(const I18NString& text);

// The same for 8-bit UTF-8 text.
xalanc::XalanDOMString engineString(const char* utf8);

} // namespace prsm::detail
