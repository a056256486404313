// URI references as texts: resolving one against a base, and the relative form of one.
#pragma once

#include <string>

namespace prsm::detail
{

// `reference` resolved against `base` by the rules of RFC 3986. `base` may itself be relative
// (an xml:base value), and then so is the result: leading ".." segments of a relative path are
// kept, since they still mean something once the result is resolved further.
std::string resolveUri(const std::string& reference, const std::string& base);

// A reference that leads from `base` to `target` (both absolute, or both relative to one place):
// the path of `target` after the folders they share, behind one "../" for each further folder of
// `base`; `target` itself when their schemes or hosts differ. The form matches the one xsltproc
// writes into xml:base when it includes a document.
std::string relativeUri(const std::string& target, const std::string& base);

// The URL of the current folder, ending in "/": what a relative path is taken from.
std::string currentFolderUri();

} // namespace prsm::detail
