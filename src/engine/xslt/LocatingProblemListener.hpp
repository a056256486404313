// The engine's problem listener, keeping the place of the last problem it was told.
#pragma once

#include <xalanc/XalanTransformer/XalanTransformerProblemListener.hpp>

#include <string>

namespace prsm::detail
{

// Where in which stylesheet or document the engine last reported a problem; -1 when unknown.
struct ProblemPlace
{
    std::string uri;
    long long line = -1;
    long long column = -1;
};

// Writes errors as the engine's own transformer does (to `errors`, warnings nowhere) and keeps
// the place of every error or message in `place`: the engine often throws its exception without
// the place it has just reported.
class LocatingProblemListener final : public xalanc::XalanTransformerProblemListener
{
public:
    LocatingProblemListener(xalanc::MemoryManager& manager, xalanc::PrintWriter* errors,
                            ProblemPlace& place);

    void problem(eSource source, eClassification classification,
                 const xalanc::XalanNode* sourceNode, const xalanc::ElemTemplateElement* styleNode,
                 const xalanc::XalanDOMString& msg, const xalanc::XalanDOMChar* uri,
                 xalanc::XalanFileLoc lineNo, xalanc::XalanFileLoc charOffset) override;
    void problem(eSource source, eClassification classification, const xalanc::XalanDOMString& msg,
                 const xercesc::Locator* locator, const xalanc::XalanNode* sourceNode) override;
    void problem(eSource source, eClassification classification, const xalanc::XalanDOMString& msg,
                 const xalanc::XalanNode* sourceNode) override;

private:
    void keep(eClassification classification, const xalanc::XalanDOMChar* uri,
              xalanc::XalanFileLoc line, xalanc::XalanFileLoc column);

    ProblemPlace& m_place;
};

} // namespace prsm::detail
