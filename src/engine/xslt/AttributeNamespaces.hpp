// An execution context under which an attribute written with a prefix has the prefix declared.
#pragma once

#include <xalanc/XSLT/StylesheetExecutionContextDefault.hpp>

namespace prsm::detail
{

// Corrects two places where the engine writes a prefixed attribute without declaring its
// prefix, so that the output is not namespace-well-formed:
//
// - ElemAttribute::startElement (XSLT/ElemAttribute.cpp). For <xsl:attribute name="p:a">
//   without a namespace attribute it asks getResultPrefixForNamespace whether the prefix's
//   namespace is declared in the result and declares nothing when it finds any prefix; when the
//   namespace is the result's default namespace the prefix found is "" and p stays undeclared.
//   Shown by <package xmlns="urn:o"><xsl:element name="c"><xsl:attribute name="o:a">, with
//   xmlns:o="urn:o" on the stylesheet: the engine writes <c o:a="1"/>, xsltproc
//   <c xmlns:o="urn:o" o:a="1"/> (DocBook's EPUB package files). The default namespace never
//   names an attribute, so here it is no prefix for one and the engine declares the attribute's
//   own. A prefix of another name bound to the same namespace still hides the attribute's. The
//   engine's fix: declare the attribute's prefix unless getResultNamespaceForPrefix of that
//   prefix is the attribute's namespace.
// - XSLTEngineImpl::cloneToResultTree (XSLT/XSLTEngineImpl.cpp), the case ATTRIBUTE_NODE, which
//   xsl:copy-of and xsl:copy of an attribute reach: it adds the attribute by its name and
//   declares nothing. Shown by <xsl:element name="a"><xsl:copy-of select="@*"/> over an
//   attribute xlink:type: the engine writes <a xlink:type="simple"/>, xsltproc
//   <a xmlns:xlink="..." xlink:type="simple"/> (DocBook's XHTML5 pages). Here the prefix is
//   declared on the pending element first, or, where it is bound there to another namespace,
//   the attribute gets a prefix of its own. The engine's fix: that case declare the prefix as
//   ElemAttribute does.
class AttributeNamespaces : public xalanc::StylesheetExecutionContextDefault
{
public:
    explicit AttributeNamespaces(xalanc::MemoryManager& manager);

    const xalanc::XalanDOMString*
    getResultPrefixForNamespace(const xalanc::XalanDOMString& theNamespace) const override;

    void cloneToResultTree(const xalanc::XalanNode& node, const xercesc::Locator* locator) override;
    void cloneToResultTree(const xalanc::XalanNode& node, xalanc::XalanNode::NodeType nodeType,
                           bool overrideStrip, bool shouldCloneAttributes,
                           const xercesc::Locator* locator) override;

private:
    // Declares the namespace of `node` if it is an attribute about to be copied whose prefix is
    // not bound to it; true when the attribute was copied here under a prefix of its own.
    bool copiedWithDeclaration(const xalanc::XalanNode& node);
};

} // namespace prsm::detail
