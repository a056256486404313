// The transformer object: its engine, its parameter and function tables, its failure text.
#include "PRSMXslTransformer.hpp"

#include "QxXsltFunction.hpp"
#include "transformer/BuiltinFunctionSet.hpp"
#include "transformer/EngineStrings.hpp"
#include "transformer/QuietErrorHandler.hpp"

#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <stdexcept>

PRSMXslTransformer::PRSMXslTransformer()
    : m_xalanTransformer(std::make_unique<xalanc::XalanTransformer>())
{
    // The library keeps no log: failures are reported through statuses and getLastError(), and
    // the engine's default of echoing warnings and xsl:message output to stderr would write into
    // the host's own error stream.
    m_xalanTransformer->setWarningStream(nullptr);
    // For the same reason: the parser's own handler prints each parse error before failing.
    m_xalanTransformer->setErrorHandler(&prsm::detail::quietErrorHandler());
    prsm::detail::installBuiltinFunctions(*this);
}

PRSMXslTransformer::~PRSMXslTransformer()
{
    // The engine goes first: its own copies of the functions came from the table.
    m_xalanTransformer.reset();
}

const char* PRSMXslTransformer::getLastError()
{
    if (m_lastError.empty())
        return m_xalanTransformer->getLastError();
    return m_lastError.c_str();
}

void PRSMXslTransformer::installExternalFunction(const I18NString& name,
                                                 const QxXsltFunction& function)
{
    std::unique_ptr<QxXsltFunction> copy(function.clone());
    // A null copy would only fail later, inside a transformation, far from the faulty class.
    if (!copy)
        throw std::invalid_argument("installExternalFunction: clone() returned null");
    m_externalFunctions[name] = std::move(copy);
}

void PRSMXslTransformer::setStylesheetParam(const I18NString& name, const I18NString& value)
{
    // The engine reads a parameter as an XPath expression; the apostrophes make it a string
    // literal. Nothing inside is escaped, as documented in the header.
    I18NString quoted = I18NString("'") + value;
    quoted += I18NString("'");
    m_xalanTransformer->setStylesheetParam(prsm::detail::engineString(name),
                                           prsm::detail::engineString(quoted));
    m_stylesheetParams[name] = quoted;
}
