// Calls an extension function's execute() directly, with an execution context of its own.
#pragma once

#include "QxXsltFunction.hpp"

#include <xalanc/DOMSupport/DOMSupportDefault.hpp>
#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPathEnvSupportDefault.hpp>
#include <xalanc/XPath/XPathExecutionContextDefault.hpp>

#include <string>
#include <variant>
#include <vector>

namespace prsm::test
{

// One argument: a string or an empty object pointer.
struct NullArgument
{
};
using Argument = std::variant<std::string, NullArgument>;

// An engine execution context without a stylesheet, enough for functions that only read their
// arguments' string values and make string results. Needs the library initialised.
class FunctionCall
{
public:
    FunctionCall() : m_context(m_envSupport, m_domSupport, m_factory) {}

    // The result's string value as UTF-8. Lets the function's exceptions through.
    std::string operator()(const QxXsltFunction& function, const std::vector<Argument>& arguments)
    {
        xalanc::Function::XObjectArgVectorType args(m_context.getMemoryManager());
        for (const Argument& argument : arguments)
            args.push_back(makeObject(argument));
        const xalanc::XObjectPtr result = function.execute(m_context, nullptr, args, nullptr);
        return QxXsltFunction::XalanDOMStringToI18NString(result->str(m_context)).c_str();
    }

private:
    xalanc::XObjectPtr makeObject(const Argument& argument)
    {
        if (const auto* text = std::get_if<std::string>(&argument))
            return m_factory.createString(
                QxXsltFunction::I18NStringToXalanDOMString(I18NString(text->c_str())));
        return xalanc::XObjectPtr();
    }

    xalanc::XPathEnvSupportDefault m_envSupport;
    xalanc::DOMSupportDefault m_domSupport;
    xalanc::XObjectFactoryDefault m_factory;
    xalanc::XPathExecutionContextDefault m_context;
};

} // namespace prsm::test
