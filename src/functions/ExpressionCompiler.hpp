// Compiling expressions given as text, for the functions that evaluate one (dyn:map).
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class PrefixResolver;
class XPath;
} // namespace XALAN_CPP_NAMESPACE

XERCES_CPP_NAMESPACE_BEGIN
class Locator;
XERCES_CPP_NAMESPACE_END

namespace prsm::detail
{

// An expression compiled for one evaluation or more, with whatever its compiled form refers to.
class CompiledExpression
{
public:
    virtual ~CompiledExpression() = default;
    virtual const xalanc::XPath& xpath() const = 0;
};

// Offered by the execution contexts of the engine layer, which compiles every expression: the
// functions reach it through the context they are called with, and so compile as the engine's
// own expressions compile, under the same limits, without printing anything.
class ExpressionCompiler
{
public:
    // `expression` compiled with prefixes bound by `resolver`; `locator` places the errors of
    // its evaluation. An invalid expression ends the call with the engine's XPathParserException,
    // one that the operation's limits refuse with a LimitException.
    virtual std::unique_ptr<CompiledExpression>
    compileExpression(const xalanc::XalanDOMString& expression,
                      const xalanc::PrefixResolver& resolver, const xercesc::Locator* locator) = 0;

protected:
    ~ExpressionCompiler() = default;
};

// The compiler `context` offers, or null for a context made outside the engine layer.
inline ExpressionCompiler* expressionCompilerOf(xalanc::XPathExecutionContext& context)
{
    return dynamic_cast<ExpressionCompiler*>(&context);
}

} // namespace prsm::detail
