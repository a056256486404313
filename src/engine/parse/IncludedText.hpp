// The characters of a resource that xi:include brings in as text.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xercesc/framework/MemoryManager.hpp>

#include <string>

namespace prsm::detail
{

// Decodes `bytes` from `encoding` (an encoding name the parser knows; empty for UTF-8) without
// a leading byte order mark. Throws std::runtime_error, saying why, for an unknown encoding,
// bytes that are not text in it, or a character that XML does not allow.
std::u16string decodedText(const std::string& bytes, const std::u16string& encoding,
                           xercesc::MemoryManager& manager);

} // namespace prsm::detail
