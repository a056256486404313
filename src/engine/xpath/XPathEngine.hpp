// The engine of an XPath query over one document.
#pragma once

#include "platform/FunctionRef.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

namespace XALAN_CPP_NAMESPACE
{
class XObject;
class XalanDocument;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class OperationGuard;

// Evaluates `expression` with the document node of `document` as the context and prefixes bound
// as the document declares them, then hands the result to `use` while the engine that made it
// still lives. Problems are never printed: an invalid expression, or one that refers to a
// variable (a query declares none), ends the call with the engine's XPath parser exception, and one
// nested too deep, or an evaluation that passes the guard's bounds, with a LimitException. Lets
// every exception through.
void evaluateXPath(xalanc::XalanDocument& document, const xalanc::XalanDOMString& expression,
                   OperationGuard& guard, FunctionRef<void(const xalanc::XObject&)> use);

} // namespace prsm::detail
