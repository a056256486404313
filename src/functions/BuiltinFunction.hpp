// The built-in extension functions: one descriptor each, one class template for all of them.
#pragma once

#include "QxXsltFunction.hpp"
#include "functions/BuiltinCall.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <cstddef>
#include <vector>

namespace prsm::detail
{

enum class BuiltinId
{
    GetLocalizedString,
    GetDateTime,
    TimerCreate,
    TimerStart,
    TimerStop,
    TimerTotal,
    TimerReset,
    TimerDestroy
};

inline constexpr std::size_t kBuiltinCount = 8;

// Everything that sets one built-in function apart from the others.
struct BuiltinDescriptor
{
    const char* name; // under which every transformer installs it
    BuiltinSignature signature;
    const char* usage; // what getError() returns
    I18NString (*work)(const std::vector<I18NString>& arguments);
    QxXsltFunction* (*make)();
};

// The eight descriptors, in the order of BuiltinId, which is also the order of installation.
const BuiltinDescriptor (&builtinDescriptors())[kBuiltinCount];

// The body every built-in class shares: the calling convention of BuiltinCall around the
// descriptor's work. `Self` is the named class, so a clone keeps its dynamic type.
template <class Self, BuiltinId kId>
class BuiltinFunction : public QxXsltFunction
{
public:
    using QxXsltFunction::execute;

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const XObjectArgVectorType& args,
                               const xercesc::Locator*) const override
    {
        return callBuiltin(executionContext, context, args, descriptor().signature,
                           descriptor().work);
    }

    QxXsltFunction* clone() const override { return new Self(static_cast<const Self&>(*this)); }

    xalanc::XalanDOMString getError() const override
    {
        return xalanc::XalanDOMString(descriptor().usage);
    }

    static const BuiltinDescriptor& descriptor()
    {
        return builtinDescriptors()[static_cast<std::size_t>(kId)];
    }
};

} // namespace prsm::detail
