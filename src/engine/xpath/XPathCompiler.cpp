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

bool isVariableNameChar(xalanc::XalanDOMChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'-' || c == u'.' || c == u':' || c > 0x7F;
}

} // namespace

void refuseVariableReferences(const std::string& what, const xalanc::XalanDOMString& expression)
{
    const xalanc::XalanDOMString::size_type length = expression.length();
    for (xalanc::XalanDOMString::size_type at = 0; at < length; ++at)
    {
        const xalanc::XalanDOMChar c = expression[at];
        if (c == u'\'' || c == u'"')
        {
            while (at + 1 < length && expression[at + 1] != c)
                ++at;
            ++at;
        }
        else if (c == u'$')
        {
            ++at;
            while (at < length && (expression[at] == u' ' || expression[at] == u'\t' ||
                                   expression[at] == u'\n' || expression[at] == u'\r'))
                ++at;
            const auto start = at;
            while (at < length && isVariableNameChar(expression[at]))
                ++at;
            const xalanc::XalanDOMString name(expression.c_str() + start, engineMemory(),
                                              at - start);
            throw xalanc::XPathParserException(
                toEngine((what + " refers to the variable '" + utf8Of(name) +
                          "', which has not been declared")
                             .c_str()),
                engineMemory());
        }
    }
}

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
    const std::string what =
        "the value of the stylesheet parameter '" + std::string(name.c_str()) + "'";
    const xalanc::XalanDOMString text = toEngine(expression);
    try
    {
        const CompiledXPath compiled(text, resolver, guard);
    }
    catch (const xalanc::XPathParserException& e)
    {
        xalanc::XalanDOMString message = toEngine((what + " does not compile: ").c_str());
        message += e.getMessage();
        throw xalanc::XPathParserException(message, engineMemory());
    }
    refuseVariableReferences(what, text);
}

} // namespace prsm::detail
