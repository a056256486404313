// What a transformer hands to each engine it runs: its parameters and its extension functions.
#pragma once

#include "QxXsltFunction.hpp"
#include "ZBLCore.hpp"

#include <map>
#include <memory>

namespace prsm::detail
{

// Parameter name to the XPath expression that gives its value.
using ParameterTable = std::map<I18NString, I18NString>;

// Function name to the transformer's own copy of the function.
using FunctionTable = std::map<I18NString, std::unique_ptr<QxXsltFunction>>;

// Both tables are read in ascending name order and must outlive the engine that reads them.
struct EngineTables
{
    const ParameterTable& parameters;
    const FunctionTable& functions;
};

} // namespace prsm::detail
