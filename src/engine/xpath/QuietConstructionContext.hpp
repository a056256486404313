// An XPath construction context that throws on errors without writing them anywhere.
#pragma once

#include <xalanc/XPath/XPathConstructionContextDefault.hpp>

namespace prsm::detail
{

// The engine's construction context writes each problem with the expression to std::cerr before
// throwing. This one throws the same exception, an XPathParserException, for an error and passes
// over everything else.
class QuietConstructionContext final : public xalanc::XPathConstructionContextDefault
{
public:
    using XPathConstructionContextDefault::XPathConstructionContextDefault;

    void problem(eSource source, eClassification classification,
                 const xalanc::XalanDOMString& message, const xercesc::Locator* locator,
                 const xalanc::XalanNode* sourceNode) override;

    void problem(eSource source, eClassification classification,
                 const xalanc::XalanDOMString& message,
                 const xalanc::XalanNode* sourceNode) override;
};

} // namespace prsm::detail
