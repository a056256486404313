// What a transformer hands to each engine it runs: its parameters, its extension functions and
// how strictly stylesheets are read.
#pragma once

#include "QxXsltFunction.hpp"
#include "ZBLCore.hpp"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>

namespace prsm::detail
{

// Parameter name to the XPath expression that gives its value.
using ParameterTable = std::map<I18NString, I18NString>;

// Function name to the transformer's own copy of the function.
using FunctionTable = std::map<I18NString, std::unique_ptr<QxXsltFunction>>;

// A number no other state of any function table in the process has had: the engine installs
// the functions again only when the number changes.
inline std::uint64_t nextFunctionsRevision()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

// Both tables are read in ascending name order and must outlive the engine that reads them.
struct EngineTables
{
    const ParameterTable& parameters;
    const FunctionTable& functions;
    // Changes whenever `functions` does; never 0.
    std::uint64_t functionsRevision;
    // Stylesheets are read leniently, as xsltproc reads them (StylesheetFilter).
    bool lenient = false;
};

} // namespace prsm::detail
