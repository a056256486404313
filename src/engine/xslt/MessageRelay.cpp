// Hands the engine's messages and warnings to a host's sink.
#include "engine/xslt/MessageRelay.hpp"

#include "platform/EngineText.hpp"

#include <xercesc/sax/Locator.hpp>

namespace prsm::detail
{
namespace
{

// The engine counts places unsigned with all bits set for "unknown", which reads as -1 signed.
long long place(xalanc::XalanFileLoc value)
{
    return static_cast<long long>(static_cast<std::make_signed_t<xalanc::XalanFileLoc>>(value));
}

} // namespace

MessageRelay::MessageRelay(xalanc::ProblemListener& inner, const PRSMXslMessageSink& sink)
    : m_inner(inner), m_sink(sink)
{
}

void MessageRelay::setPrintWriter(xalanc::PrintWriter* writer)
{
    m_inner.setPrintWriter(writer);
}

void MessageRelay::problem(eSource source, eClassification classification,
                           const xalanc::XalanNode* sourceNode,
                           const xalanc::ElemTemplateElement* styleNode,
                           const xalanc::XalanDOMString& msg, const XMLCh* uri,
                           xalanc::XalanFileLoc line, xalanc::XalanFileLoc column)
{
    deliver(classification, msg, uri, line, column);
    m_inner.problem(source, classification, sourceNode, styleNode, msg, uri, line, column);
}

void MessageRelay::problem(eSource source, eClassification classification,
                           const xalanc::XalanDOMString& msg, const xercesc::Locator* locator,
                           const xalanc::XalanNode* sourceNode)
{
    if (locator != nullptr)
        deliver(classification, msg, locator->getSystemId(), locator->getLineNumber(),
                locator->getColumnNumber());
    else
        deliver(classification, msg, nullptr, ~xalanc::XalanFileLoc(0), ~xalanc::XalanFileLoc(0));
    m_inner.problem(source, classification, msg, locator, sourceNode);
}

void MessageRelay::problem(eSource source, eClassification classification,
                           const xalanc::XalanDOMString& msg, const xalanc::XalanNode* sourceNode)
{
    deliver(classification, msg, nullptr, ~xalanc::XalanFileLoc(0), ~xalanc::XalanFileLoc(0));
    m_inner.problem(source, classification, msg, sourceNode);
}

void MessageRelay::deliver(eClassification classification, const xalanc::XalanDOMString& msg,
                           const XMLCh* uri, xalanc::XalanFileLoc line,
                           xalanc::XalanFileLoc column) const
{
    if (!m_sink || classification == eError)
        return;
    m_sink(PRSMXslMessage{classification == eMessage ? PRSMXslMessage::Kind::Message
                                                     : PRSMXslMessage::Kind::Warning,
                          utf8Of(msg), utf8Of(uri), place(line), place(column)});
}

} // namespace prsm::detail
