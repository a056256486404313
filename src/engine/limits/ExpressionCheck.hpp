// A measure of an XPath expression's nesting, taken before the engine's recursive compiler sees it.
#pragma once

#include "PRSMXslLimits.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <cstddef>
#include <string>

namespace prsm::detail
{

// Why `expression` (`length` UTF-16 units) may not be compiled under `limits`: its parentheses
// and predicates nest deeper than maxExpressionDepth, or its nesting and operator chains would
// need more stack than this thread has left. Empty when it may. Reads the text once; string
// literals do not count.
std::string expressionRefusal(const xalanc::XalanDOMChar* expression, std::size_t length,
                              const PRSMXslLimits& limits);

} // namespace prsm::detail
