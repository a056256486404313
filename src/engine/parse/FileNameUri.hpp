// The system identifier by which the engine opens a file the host names.
#pragma once

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <string>

namespace prsm::detail
{

// The system identifier for `name` (UTF-8), a stylesheet, source or document name a host gives.
// A name that is not a URI is a file name, whatever characters it holds, but the engine and the
// parser read every identifier as a URI, so a '#' starts a fragment, a '?' a query and a '%' an
// escape, and a file in a folder "a#b" cannot be opened. Such a name, or a relative one in such
// a folder, becomes the file: URL of its absolute path with those characters escaped; relative
// references inside the document then resolve against it as URIs. Any other name, a URI
// included, is given as it is.
xalanc::XalanDOMString systemIdOfName(const std::string& name);
xalanc::XalanDOMString systemIdOfName(const xalanc::XalanDOMString& name);

} // namespace prsm::detail
