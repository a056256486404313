// exsl:node-set, in place of the engine's, which warns about a node-set and refuses other values.
#pragma once

#include "functions/exslt/ExsltModule.hpp"

namespace prsm::detail
{

// exsl:node-set in http://exslt.org/common, replacing the engine's XalanEXSLTFunctionNodeSet
// (XalanExtensions/FunctionNodeSet.cpp, FunctionNodeSet::execute). The engine returns a node-set
// argument as it is but reports "Invalid argument type" for it, a warning that a host reading
// warnings as faults takes for a failure, and returns a number or a boolean unconverted, so the
// caller's count() or path then fails ("The expression does not evaluate to a node-set"). EXSLT
// and xsltproc: a node-set comes back as it is, silently; a result tree fragment becomes the
// node-set of its root; any other value becomes a node-set of one text node holding its string
// value. Shown by count(exsl:node-set(/*)) and count(exsl:node-set(1)), both 1. The engine's fix:
// FunctionNodeSet::execute return a node-set argument without the warning and convert every
// non-node-set value to a string first.
const ExsltModule& exsltCommonModule();

} // namespace prsm::detail
