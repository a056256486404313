// GetLocalizedString: a catalogue message picked by a small index.
#pragma once

#include "QxXsltFunction.hpp"

#include <cstdint>

// GetLocalizedString(index, text): the English text of the catalogue message that the index
// (read like C atol) picks, with `text` inserted. Indices outside 0 to 18 pick message id 0.
// Returns a string object. Not exactly two arguments end the evaluation with the count text;
// an empty first argument raises ZBLAssertError. Nothing is caught.
class FunctionGetLocalizedString : public QxXsltFunction
{
public:
    FunctionGetLocalizedString() = default;
    FunctionGetLocalizedString(const FunctionGetLocalizedString&) = default;

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const XObjectArgVectorType& args,
                               const xercesc::Locator* locator) const override;
    FunctionGetLocalizedString* clone() const override;
    xalanc::XalanDOMString getError() const override;

    // The catalogue id for indices 0 to 18, 0 for every other, negative ones included.
    static std::uint32_t messageIdForIndex(std::int32_t index);
};
