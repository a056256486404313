// dyn:map, the EXSLT dynamic function the engine lacks, and the dynamic evaluation the engine
// runs without limits.
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
//
// dyn:evaluate(string): evaluates the argument as an XPath expression at the context node, with
// prefixes resolved as dyn:map resolves them; an expression that does not parse, the empty one
// included, gives an empty node-set.
//
// Both replace or complete the engine's functions (XalanEXSLT/XalanEXSLTDynamic.cpp,
// XalanEXSLTFunctionEvaluate::execute), which recurse without bound, so that an expression that
// evaluates itself or nests 100,000 parentheses overflows the stack, and which turn every engine
// exception, a limit's included, into an empty node-set. Each compiles and runs its expression
// one level of DynamicEvaluationScope deeper; errors other than parsing end the evaluation.
const ExsltModule& exsltDynamicModule();

// xalan:evaluate(string) in http://xml.apache.org/xalan, in place of the engine's
// (XalanExtensions/FunctionEvaluate.cpp, FunctionEvaluate::execute), which recurses as
// dyn:evaluate does: as dyn:evaluate, but an expression that does not parse ends the evaluation
// with the engine's XPath exception.
const ExsltModule& xalanEvaluateModule();

} // namespace prsm::detail
