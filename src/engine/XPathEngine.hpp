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

// Evaluates `expression` with the document node of `document` as the context and prefixes bound
// as the document declares them, then hands the result to `use` while the engine that made it
// still lives. Problems are never printed: an invalid expression ends the call with the engine's
// XPath parser exception. Lets every exception through.
void evaluateXPath(xalanc::XalanDocument& document, const xalanc::XalanDOMString& expression,
                   FunctionRef<void(const xalanc::XObject&)> use);

} // namespace prsm::detail
