// Names on the command line that are URIs rather than file names.
#pragma once

#include <cctype>
#include <string>

namespace prsm::cli
{

// Whether `name` is an absolute URI with an authority, such as http://host/a.xml or
// file:///a.xml: the library reads those itself. Anything else is a file name, "a:b" included.
inline bool isUriName(const std::string& name)
{
    const std::size_t colon = name.find("://");
    if (colon == std::string::npos || colon < 2 ||
        !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    for (std::size_t i = 1; i < colon; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

} // namespace prsm::cli
