// An XPath construction context that throws on errors without writing them anywhere.
#include "engine/xpath/QuietConstructionContext.hpp"

#include <xalanc/XPath/XPathParserException.hpp>

namespace prsm::detail
{

void QuietConstructionContext::problem(eSource, eClassification classification,
                                       const xalanc::XalanDOMString& message,
                                       const xercesc::Locator* locator, const xalanc::XalanNode*)
{
    if (classification == eError)
        throw xalanc::XPathParserException(message, getMemoryManager(), locator);
}

void QuietConstructionContext::problem(eSource, eClassification classification,
                                       const xalanc::XalanDOMString& message,
                                       const xalanc::XalanNode*)
{
    if (classification == eError)
        throw xalanc::XPathParserException(message, getMemoryManager());
}

} // namespace prsm::detail
