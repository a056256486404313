// Where a secondary result document lands on disk, and whether the write policy lets it.
#pragma once

#include <string>
#include <vector>

namespace prsm::detail
{

// `folder` made absolute against the current folder ("" is the current folder itself), with
// "." and ".." resolved by name. Throws std::runtime_error when the current folder is unknown.
std::string absoluteFolder(const std::string& folder);

// `path` with ".", ".." and repeated slashes resolved by name; ".." above the root stays there.
std::string normalPath(const std::string& path);

// The absolute path `href` names: a relative href resolves against `base` (absolute); a
// "file:" URL names its path; a scheme of another name without "//" is part of a relative
// name (Mail::Box.3pm). Sets `isRelative`. Throws std::runtime_error for an empty href, a
// folder name, or a URL of another scheme with an authority (http://).
std::string documentPath(const std::string& href, const std::string& base, bool& isRelative);

// Checks `path` (absolute and normal) against the writable folders: it must lie under one of
// them once the symbolic links of its existing folders are followed, and so must `base` when
// the href was relative. Then creates the folders missing above it when `mayCreate`, each
// checked again once made. Throws std::runtime_error saying why the file may not be written.
void prepareDocumentFolder(const std::string& path, const std::string& base, bool isRelative,
                           const std::vector<std::string>& writableFolders, bool mayCreate);

} // namespace prsm::detail
