// GetDateTime: the time of day cut from the core library's time stamp.
#include "functions/QxXsltFunctionDateTime.hpp"

#include "functions/BuiltinCall.hpp"

#include <vector>

namespace
{

// The same text serves as count text and usage text.
constexpr const char* kUsage = "qxfunc:GetDateTime() function takes no arguments!";

const prsm::detail::BuiltinSignature kSignature{0, kUsage, {nullptr, 0}};

} // namespace

namespace prsm::detail
{

I18NString dateTimeText()
{
    const I18NString stamp(ZBLUtSystemInfo::getTimeStamp(0).c_str(), nullptr, -1);
    const I18NString colon(":", nullptr, -1);
    const I18NString dot(".", nullptr, -1);
    return stamp.substring(8, 10) + colon + stamp.substring(10, 12) + colon +
           stamp.substring(12, 14) + dot + stamp.substring(14, 19);
}

} // namespace prsm::detail

xalanc::XObjectPtr FunctionGetDateTime::execute(xalanc::XPathExecutionContext& executionContext,
                                                xalanc::XalanNode* context,
                                                const XObjectArgVectorType& args,
                                                const xercesc::Locator*) const
{
    return prsm::detail::callBuiltin(executionContext, context, args, kSignature,
                                     [](const std::vector<I18NString>&)
                                     { return prsm::detail::dateTimeText(); });
}

FunctionGetDateTime* FunctionGetDateTime::clone() const
{
    return new FunctionGetDateTime(*this);
}

xalanc::XalanDOMString FunctionGetDateTime::getError() const
{
    return xalanc::XalanDOMString(kUsage);
}
