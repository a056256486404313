// Base class of every extension function a transformer installs, the host's and the built-in ones.
#pragma once

#include "PRSMExport.hpp"
#include "ZBLCore.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XPath/Function.hpp>

// An XSLT extension function working in I18NString. Derived classes implement execute(), clone()
// and getError(); the engine's own copies are made and destroyed by this class, so a host-written
// function needs nothing of the engine's memory management.
class PRSM_XSLT_API QxXsltFunction : public xalanc::Function
{
public:
    using Function::execute;

    QxXsltFunction() = default;
    QxXsltFunction(const QxXsltFunction&) = default;
    ~QxXsltFunction() override;

    // Called by the engine when a stylesheet calls the function; `args` in call order.
    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const XObjectArgVectorType& args,
                               const xercesc::Locator* locator) const override = 0;

    // A new heap copy of the same dynamic type; the caller owns it and deletes it.
    virtual QxXsltFunction* clone() const = 0;

    // The function's usage text.
    virtual xalanc::XalanDOMString getError() const = 0;

    // Engine bridge: a copy allocated by `manager` that forwards to a clone() of this function.
    // The engine destroys it through the same manager.
    xalanc::Function* clone(xalanc::MemoryManager& manager) const final;

    // The text as the engine's string. Throws only allocation failures.
    static xalanc::XalanDOMString I18NStringToXalanDOMString(const I18NString& text);

    // The engine's string as an I18NString. Throws only allocation failures.
    static I18NString XalanDOMStringToI18NString(const xalanc::XalanDOMString& text);

protected:
    // Engine bridge to getError().
    const xalanc::XalanDOMString& getError(xalanc::XalanDOMString& buffer) const final;

private:
    QxXsltFunction& operator=(const QxXsltFunction&) = delete;
};
