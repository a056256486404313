// Compiling XPath expressions given as text, measured first and never printed.
#include "engine/xpath/XPathCompiler.hpp"

#include "engine/limits/ExpressionCheck.hpp"
#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/PrefixResolver.hpp>
#include <xalanc/XPath/XPathParserException.hpp>
#include <xalanc/XPath/XPathProcessorImpl.hpp>

namespace prsm::detail
{
namespace
{

// Binds no prefix: a parameter's value is a string literal, which needs none.
class NoPrefixes final : public xalanc::PrefixResolver
{
public:
    explicit NoPrefixes(xalanc::MemoryManager& manager) : m_uri(manager) {}

    const xalanc::XalanDOMString*
    getNamespaceForPrefix(const xalanc::XalanDOMString&) const override
    {
        return nullptr;
    }

    const xalanc::XalanDOMString& getURI() const override { return m_uri; }

private:
    xalanc::XalanDOMString m_uri;
};

} // namespace

CompiledXPath::CompiledXPath(const xalanc::XalanDOMString& expression,
                             const xalanc::PrefixResolver& resolver, OperationGuard& guard,
                             const xercesc::Locator* locator)
    : m_context(engineMemory()), m_xpath(engineMemory(), locator)
{
    const std::string refusal =
        expressionRefusal(expression.c_str(), expression.length(), guard.limits());
    if (!refusal.empty())
    {
        guard.fail(refusal);
        throw LimitException(refusal, nullptr);
    }
    xalanc::XPathProcessorImpl processor(engineMemory());
    processor.initXPath(m_xpath, m_context, expression, resolver, locator);
}

void checkParameter(const I18NString& name, const I18NString& expression, OperationGuard& guard)
{
    const NoPrefixes resolver(engineMemory());
    try
    {
        const CompiledXPath compiled(toEngine(expression), resolver, guard);
    }
    catch (const xalanc::XPathParserException& e)
    {
        xalanc::XalanDOMString message =
            toEngine(("the value of the stylesheet parameter '" + std::string(name.c_str()) +
                      "' does not compile: ")
                         .c_str());
        message += e.getMessage();
        throw xalanc::XPathParserException(message, engineMemory());
    }
}

} // namespace prsm::detail
