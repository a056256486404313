// The transformer object: its tables, its failure text and its handles.
#include "PRSMXslTransformer.hpp"

#include "PRSMXslLimits.hpp"
#include "PRSMXslWritePolicy.hpp"
#include "QxXsltFunction.hpp"
#include "dom2dom/HandleAccess.hpp"
#include "engine/xslt/EngineStartup.hpp"
#include "transformer/BuiltinFunctionSet.hpp"
#include "transformer/TransformerImpl.hpp"

#include <stdexcept>
#include <string>

namespace
{

// `text` as an XPath expression whose value is exactly `text`: a literal in whichever quotes it
// does not contain, else a concat() of apostrophe-free pieces and quoted apostrophes.
std::string stringLiteral(const std::string& text)
{
    if (text.find('\'') == std::string::npos)
        return "'" + text + "'";
    if (text.find('"') == std::string::npos)
        return "\"" + text + "\"";
    std::string expression = "concat(''";
    std::string::size_type start = 0;
    for (std::string::size_type quote; (quote = text.find('\'', start)) != std::string::npos;
         start = quote + 1)
        expression += ", '" + text.substr(start, quote - start) + "', \"'\"";
    return expression + ", '" + text.substr(start) + "')";
}

} // namespace

PRSMXslTransformer::PRSMXslTransformer() : m_impl(std::make_unique<Impl>())
{
    prsm::detail::installBuiltinFunctions(m_impl->m_externalFunctions);
    m_impl->m_functionsRevision = prsm::detail::nextFunctionsRevision();
}

PRSMXslTransformer::~PRSMXslTransformer() = default;

const char* PRSMXslTransformer::getLastError()
{
    if (m_impl->m_lastError.empty())
        return m_impl->m_xalanTransformer->lastError().c_str();
    return m_impl->m_lastError.c_str();
}

PRSMXslFailure PRSMXslTransformer::lastFailure() const
{
    return m_impl->m_xalanTransformer->lastFailure();
}

void PRSMXslTransformer::installExternalFunction(const I18NString& name,
                                                 const QxXsltFunction& function)
{
    std::unique_ptr<QxXsltFunction> copy(function.clone());
    // A null copy would only fail later, inside a transformation, far from the faulty class.
    if (!copy)
        throw std::invalid_argument("installExternalFunction: clone() returned null");
    m_impl->m_externalFunctions[name] = std::move(copy);
    m_impl->m_functionsRevision = prsm::detail::nextFunctionsRevision();
}

void PRSMXslTransformer::setStylesheetParam(const I18NString& name, const I18NString& value)
{
    // The engine would take an empty name for a parameter no stylesheet can declare, and fail
    // every later transformation over it.
    if (name.empty())
        throw std::invalid_argument("setStylesheetParam: the parameter name is empty");
    // The engine reads a parameter as an XPath expression; the apostrophes make it a string
    // literal. Nothing inside is escaped, as documented in the header.
    I18NString quoted = I18NString("'") + value;
    quoted += I18NString("'");
    m_impl->m_stylesheetParams[name] = quoted;
}

void PRSMXslTransformer::setStylesheetParamString(const I18NString& name, const I18NString& value)
{
    if (name.empty())
        throw std::invalid_argument("setStylesheetParamString: the parameter name is empty");
    m_impl->m_stylesheetParams[name] = I18NString(stringLiteral(value.c_str()).c_str());
}

void PRSMXslTransformer::setStylesheetParamExpression(const I18NString& name,
                                                      const I18NString& expression)
{
    m_impl->m_stylesheetParams[name] = expression;
}

void PRSMXslTransformer::setMessageSink(PRSMXslMessageSink sink)
{
    m_impl->m_xalanTransformer->setMessageSink(std::move(sink));
}

PRSMXslStylesheetUse PRSMXslTransformer::lastStylesheetUse() const
{
    return m_impl->m_xalanTransformer->lastStylesheetUse();
}

void PRSMXslTransformer::setLimits(const PRSMXslLimits& limits)
{
    m_impl->m_xalanTransformer->setLimits(limits);
}

const PRSMXslLimits& PRSMXslTransformer::limits() const
{
    return m_impl->m_xalanTransformer->limits();
}

void PRSMXslTransformer::setWritePolicy(const PRSMXslWritePolicy& policy)
{
    m_impl->m_xalanTransformer->setWritePolicy(policy);
}

const PRSMXslWritePolicy& PRSMXslTransformer::writePolicy() const
{
    return m_impl->m_xalanTransformer->writePolicy();
}

Dom2Dom* PRSMXslTransformer::createDom2Dom()
{
    prsm::detail::requireEngine("PRSMXslTransformer::createDom2Dom");
    return prsm::detail::HandleAccess::create(m_impl->m_xalanTransformer);
}

void PRSMXslTransformer::destroyDom2Dom(Dom2Dom*& document)
{
    prsm::detail::HandleAccess::destroy(document);
    document = nullptr;
}
