// Which resources that documents and stylesheets name may be read.
#pragma once

#include "PRSMXslLimits.hpp"

#include <optional>
#include <string>

namespace prsm::detail
{

// Why the resource `reference` (a URL or a path, UTF-8), resolved against `base` (the URL or
// path of the document that names it; empty for none, then a relative path is taken from the
// current folder), may not be read under `limits`; empty when it may. A reference whose scheme
// is not file: is a network resource, and so is a file: URL naming another host. Local paths are
// compared with the allowed folders after ".." and symbolic links are resolved.
std::string resourceRefusal(const PRSMXslLimits& limits, const std::string& reference,
                            const std::string& base);

// `text` with every %XX replaced by the byte it encodes; a '%' without two hex digits stays.
std::string percentDecoded(const std::string& text);

// The local path a file: URL or an absolute path names, or none (another scheme or host, a
// relative path).
std::optional<std::string> localPathOf(const std::string& reference);

} // namespace prsm::detail
