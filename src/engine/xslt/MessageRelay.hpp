// Hands the engine's messages and warnings to a host's sink.
#pragma once

#include "PRSMXslTransformer.hpp"

#include <xalanc/XSLT/ProblemListener.hpp>

namespace prsm::detail
{

// Passes every problem on to `inner` (which keeps the error texts) and, when `sink` is set, also
// gives it each message and warning. Both must outlive the relay.
class MessageRelay final : public xalanc::ProblemListener
{
public:
    MessageRelay(xalanc::ProblemListener& inner, const PRSMXslMessageSink& sink);

    void setPrintWriter(xalanc::PrintWriter* writer) override;
    void problem(eSource source, eClassification classification,
                 const xalanc::XalanNode* sourceNode, const xalanc::ElemTemplateElement* styleNode,
                 const xalanc::XalanDOMString& msg, const XMLCh* uri, xalanc::XalanFileLoc line,
                 xalanc::XalanFileLoc column) override;
    void problem(eSource source, eClassification classification, const xalanc::XalanDOMString& msg,
                 const xercesc::Locator* locator, const xalanc::XalanNode* sourceNode) override;
    void problem(eSource source, eClassification classification, const xalanc::XalanDOMString& msg,
                 const xalanc::XalanNode* sourceNode) override;

private:
    void deliver(eClassification classification, const xalanc::XalanDOMString& msg,
                 const XMLCh* uri, xalanc::XalanFileLoc line, xalanc::XalanFileLoc column) const;

    xalanc::ProblemListener& m_inner;
    const PRSMXslMessageSink& m_sink;
};

} // namespace prsm::detail
