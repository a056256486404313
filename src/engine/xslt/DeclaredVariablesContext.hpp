// The execution context that makes a reference to an undeclared variable an error.
#pragma once

#include "engine/xslt/HtmlOutputContext.hpp"

namespace prsm::detail
{

// Corrects StylesheetExecutionContextDefault::getVariable (XSLT/StylesheetExecutionContextDefault
// .cpp), which answers a variable it cannot find with a warning and a value whose string is
// "The variable 'x' is not defined.", so that <xsl:value-of select="$nope"/> writes that text
// into the result and the transformation succeeds. Here the reference ends the transformation
// with an XSLTProcessorException placed at the expression, as xsltproc ends it.
class DeclaredVariablesContext : public HtmlOutputContext
{
public:
    explicit DeclaredVariablesContext(xalanc::MemoryManager& manager);

    const xalanc::XObjectPtr getVariable(const xalanc::XalanQName& name,
                                         const xercesc::Locator* locator) override;

    using HtmlOutputContext::problem;
    void problem(eSource source, eClassification classification,
                 const xalanc::XalanDOMString& message, const xercesc::Locator* locator,
                 const xalanc::XalanNode* sourceNode) override;

private:
    [[noreturn]] void refuse(const xalanc::XalanQName& name, const xercesc::Locator* locator);

    // The variable being looked up, innermost first: looking one up may evaluate another.
    const xalanc::XalanQName* m_lookedUp = nullptr;
};

} // namespace prsm::detail
