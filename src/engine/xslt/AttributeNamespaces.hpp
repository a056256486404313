// An execution context under which an attribute named with a prefix has the prefix declared.
#pragma once

#include <xalanc/XSLT/StylesheetExecutionContextDefault.hpp>

namespace prsm::detail
{

// Corrects the engine's ElemAttribute::startElement (XSLT/ElemAttribute.cpp). For
// <xsl:attribute name="p:a"> without a namespace attribute it asks getResultPrefixForNamespace
// whether the prefix's namespace is declared in the result, and declares nothing when it finds
// any prefix, although the attribute keeps the name p:a; when the namespace is the result's
// default namespace the prefix found is "" and p stays undeclared: the output is not
// namespace-well-formed. Shown by:
//   <package xmlns="urn:o"><xsl:element name="c"><xsl:attribute name="o:a">1</xsl:attribute>
// with xmlns:o="urn:o" on the stylesheet: the engine writes <c o:a="1"/>, xsltproc
// <c xmlns:o="urn:o" o:a="1"/> (DocBook's EPUB package files). The default namespace never
// names an attribute, so here it is no prefix for one: the engine then declares the
// attribute's own. A prefix of another name bound to the same namespace still hides the
// attribute's. The engine's fix: ElemAttribute::startElement declare the attribute's prefix
// unless getResultNamespaceForPrefix of that prefix is the attribute's namespace.
class AttributeNamespaces : public xalanc::StylesheetExecutionContextDefault
{
public:
    explicit AttributeNamespaces(xalanc::MemoryManager& manager);

    const xalanc::XalanDOMString*
    getResultPrefixForNamespace(const xalanc::XalanDOMString& theNamespace) const override;
};

} // namespace prsm::detail
