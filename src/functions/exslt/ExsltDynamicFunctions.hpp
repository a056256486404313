// dyn:map, the EXSLT dynamic function the engine lacks.
#pragma once

#include "functions/exslt/ExsltModule.hpp"

namespace prsm::detail
{

// dyn:map in http://exslt.org/dynamic.
//
// dyn:map(node-set, string): evaluates the second argument as an XPath expression once for each
// node of the first, in document order, with that node as context node, its position as context
// position and the number of nodes as context size; prefixes resolve as in the calling
// expression. Returns a node-set: the union of the node-set results, and for each other result
// an element in http://exslt.org/common holding its string value: exsl:number (Infinity and
// -Infinity become the largest and the smallest double), exsl:boolean ('true' or empty) or
// exsl:string. An expression that does not parse, the empty one included, gives an empty
// node-set; errors while evaluating end the evaluation as the engine's own errors do, and so do
// a first argument that is not a node-set and a wrong argument count.
const ExsltModule& exsltDynamicModule();

} // namespace prsm::detail
