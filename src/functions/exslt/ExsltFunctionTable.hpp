// What an EXSLT module of this library adds to the engine: its namespace and its functions.
#pragma once

#include <xalanc/XPath/Function.hpp>

#include <vector>

namespace prsm::detail
{

// One function under its local name; the engine installs a clone of `function`.
struct ExsltFunctionEntry
{
    const char* name;
    const xalanc::Function& function;
};

struct ExsltModule
{
    const char* namespaceUri;
    std::vector<ExsltFunctionEntry> functions;
};

} // namespace prsm::detail
