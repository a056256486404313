// The engine's result-tree-fragment builder, with a step of the operation at each node it adds.
#pragma once

#include <xalanc/PlatformSupport/FormatterListener.hpp>

namespace prsm::detail
{

class WorkCheck;

// Stands in front of the FormatterToSourceTree that StylesheetExecutionContextDefault::
// beginCreateXResultTreeFrag (XSLT/StylesheetExecutionContextDefault.cpp) builds a variable's
// tree with. XSLTEngineImpl::outputResultTreeFragment and cloneToResultTree
// (XSLT/XSLTEngineImpl.cpp) copy a whole tree in one step of the engine, and for each element
// copyNamespaceAttributes walks every ancestor: fragments that copy nested fragments over a
// deep document cost the cube of its depth in time and the square in memory, with no place
// where the engine checks anything. Every node the copy adds passes here, and gives the running
// operation a step, so its time and memory bounds hold. Everything else goes to the builder.
class GuardedTreeBuilder final : public xalanc::FormatterListener
{
public:
    GuardedTreeBuilder(xalanc::FormatterListener& builder, WorkCheck& check);

    xalanc::FormatterListener& builder() const { return m_builder; }

    void charactersRaw(const XMLCh* const chars, const size_type length) override;
    void comment(const XMLCh* const data) override;
    void cdata(const XMLCh* const ch, const size_type length) override;
    void entityReference(const XMLCh* const name) override;
    void characters(const XMLCh* const chars, const size_type length) override;
    void endDocument() override;
    void endElement(const XMLCh* const name) override;
    void ignorableWhitespace(const XMLCh* const chars, const size_type length) override;
    void processingInstruction(const XMLCh* const target, const XMLCh* const data) override;
    void resetDocument() override;
    void setDocumentLocator(const xercesc::Locator* const locator) override;
    void startDocument() override;
    void startElement(const XMLCh* const name, xercesc::AttributeList& attrs) override;

    xalanc::Writer* getWriter() const override;
    const xalanc::XalanDOMString& getDoctypeSystem() const override;
    const xalanc::XalanDOMString& getDoctypePublic() const override;
    const xalanc::XalanDOMString& getEncoding() const override;
    const xalanc::XalanDOMString& getMediaType() const override;
    int getIndent() const override;

private:
    xalanc::FormatterListener& m_builder;
    WorkCheck& m_check;
};

} // namespace prsm::detail
