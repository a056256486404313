// What an EXSLT module of this library adds to the engine: its namespace and its functions.
#pragma once

#include "functions/exslt/ExsltFunction.hpp"

#include <vector>

namespace prsm::detail
{

// The engine installs a clone of each function under the function's name.
struct ExsltModule
{
    const char* namespaceUri;
    std::vector<ExsltFunction> functions;
};

} // namespace prsm::detail
