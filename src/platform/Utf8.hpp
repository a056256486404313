// UTF-8 and UTF-16 conversions that never fail: what cannot be decoded becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace prsm::detail
{

// Each malformed, overlong, surrogate-encoding or truncated sequence becomes one U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);

// Each unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

} // namespace prsm::detail
