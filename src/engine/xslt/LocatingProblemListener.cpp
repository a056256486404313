// The engine's problem listener, keeping the place of the last problem it was told.
#include "engine/xslt/LocatingProblemListener.hpp"

#include "platform/EngineText.hpp"

#include <xercesc/sax/Locator.hpp>

namespace prsm::detail
{
namespace
{

// The engine counts places unsigned, with all bits set for "unknown".
long long signedPlace(xalanc::XalanFileLoc place)
{
    return static_cast<long long>(place);
}

} // namespace

LocatingProblemListener::LocatingProblemListener(xalanc::MemoryManager& manager,
                                                 xalanc::PrintWriter* errors, ProblemPlace& place)
    : xalanc::XalanTransformerProblemListener(manager, nullptr, errors), m_place(place)
{
}

void LocatingProblemListener::problem(eSource source, eClassification classification,
                                      const xalanc::XalanNode* sourceNode,
                                      const xalanc::ElemTemplateElement* styleNode,
                                      const xalanc::XalanDOMString& msg,
                                      const xalanc::XalanDOMChar* uri, xalanc::XalanFileLoc lineNo,
                                      xalanc::XalanFileLoc charOffset)
{
    keep(classification, uri, lineNo, charOffset);
    XalanTransformerProblemListener::problem(source, classification, sourceNode, styleNode, msg,
                                             uri, lineNo, charOffset);
}

void LocatingProblemListener::problem(eSource source, eClassification classification,
                                      const xalanc::XalanDOMString& msg,
                                      const xercesc::Locator* locator,
                                      const xalanc::XalanNode* sourceNode)
{
    if (locator != nullptr)
        keep(classification, locator->getSystemId(), locator->getLineNumber(),
             locator->getColumnNumber());
    XalanTransformerProblemListener::problem(source, classification, msg, locator, sourceNode);
}

void LocatingProblemListener::problem(eSource source, eClassification classification,
                                      const xalanc::XalanDOMString& msg,
                                      const xalanc::XalanNode* sourceNode)
{
    XalanTransformerProblemListener::problem(source, classification, msg, sourceNode);
}

void LocatingProblemListener::keep(eClassification classification, const xalanc::XalanDOMChar* uri,
                                   xalanc::XalanFileLoc line, xalanc::XalanFileLoc column)
{
    if (classification == eWarning)
        return;
    m_place.uri = utf8Of(uri);
    m_place.line = signedPlace(line);
    m_place.column = signedPlace(column);
}

} // namespace prsm::detail
