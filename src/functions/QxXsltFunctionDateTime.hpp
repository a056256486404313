// GetDateTime: the time of day from the core library's clock.
#pragma once

#include "QxXsltFunction.hpp"
#include "ZBLCore.hpp"

// GetDateTime(): the time of day as "hh:mm:ss.mmm", without a date. Returns a string object.
// Any argument ends the evaluation with the count text. Nothing is caught.
class FunctionGetDateTime : public QxXsltFunction
{
public:
    FunctionGetDateTime() = default;
    FunctionGetDateTime(const FunctionGetDateTime&) = default;

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const XObjectArgVectorType& args,
                               const xercesc::Locator* locator) const override;
    FunctionGetDateTime* clone() const override;
    xalanc::XalanDOMString getError() const override;
};

namespace prsm::detail
{

// The time of day of ZBLUtSystemInfo::getTimeStamp(0): hour, minute and second of the stamp
// joined by ':', then '.' and up to five digits of its fraction ("09:05:03.042").
I18NString dateTimeText();

} // namespace prsm::detail
