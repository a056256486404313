// set:distinct, set:leading and set:trailing, built in linear time between checks of the limits.
#pragma once

#include "functions/exslt/ExsltModule.hpp"

namespace prsm::detail
{

// In http://exslt.org/sets, in place of the engine's own, which add each node of the result in
// document order by searching the result so far, in time quadratic in its size and without a
// pause to check the operation's limits (XalanEXSLTSet.cpp, findNodes; FunctionDistinct.cpp,
// FunctionDistinct::execute). The results are the engine's:
//
// set:distinct(node-set): the first node of the argument with each string value, in document
// order.
// set:leading(node-set, node-set) and set:trailing(node-set, node-set): the nodes of the first
// that come before (after) the first node of the second, in document order; the first argument
// when either is empty, the empty node-set when the first does not hold that node.
const ExsltModule& exsltSetsModule();

} // namespace prsm::detail
