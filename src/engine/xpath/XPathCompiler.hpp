// Compiling XPath expressions given as text, measured first and never printed.
#pragma once

#include "ZBLCore.hpp"
#include "engine/xpath/QuietConstructionContext.hpp"
#include "functions/ExpressionCompiler.hpp"

#include <xalanc/XPath/XPath.hpp>

#include <string>

namespace XALAN_CPP_NAMESPACE
{
class PrefixResolver;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class OperationGuard;

// An expression compiled as the engine's XPath evaluator compiles one, with the construction
// context that holds the strings the compiled expression refers to.
class CompiledXPath final : public CompiledExpression
{
public:
    // Compiles `expression` with prefixes bound by `resolver`. One nested too deep for the
    // guard's limits ends the call with a LimitException before the engine's recursive compiler
    // sees it; an invalid one with the engine's XPathParserException. Nothing is printed.
    // `locator` places the errors of its evaluation.
    CompiledXPath(const xalanc::XalanDOMString& expression, const xalanc::PrefixResolver& resolver,
                  OperationGuard& guard, const xercesc::Locator* locator = nullptr);
    CompiledXPath(const CompiledXPath&) = delete;
    CompiledXPath& operator=(const CompiledXPath&) = delete;

    const xalanc::XPath& xpath() const override { return m_xpath; }

private:
    QuietConstructionContext m_context;
    xalanc::XPath m_xpath;
};

// Refuses `expression`, which compiles, with the engine's XPath parser exception when it refers
// to a variable: where it is evaluated (a query, a stylesheet parameter's value) none is
// declared, and the engine would read its variable stack without a frame. Outside string
// literals a '$' always starts a variable reference, so the text alone tells. `what` names the
// expression in the message.
void refuseVariableReferences(const std::string& what, const xalanc::XalanDOMString& expression);

// Compiles the expression of the stylesheet parameter `name` as CompiledXPath does, with no
// prefix bound, so that one that does not compile fails before the engine, which would print its
// complaint, compiles it; one that refers to a variable is refused, as xsltproc refuses it. The
// message names the parameter.
void checkParameter(const I18NString& name, const I18NString& expression, OperationGuard& guard);

} // namespace prsm::detail
