// An execution context under which a result tree fragment keeps its elements wherever it is made.
#pragma once

#include "engine/xslt/AttributeNamespaces.hpp"

namespace prsm::detail
{

// Corrects the engine's StylesheetExecutionContextDefault::beginCreateXResultTreeFrag
// (XSLT/StylesheetExecutionContextDefault.cpp). While the content of xsl:attribute, xsl:comment
// or xsl:processing-instruction is instantiated, ElemAttribute::startElement (and its siblings)
// push "copy text nodes only" for the text they collect; a variable or parameter whose content
// builds a result tree fragment in there inherits the flag, so xsl:copy-of of elements into that
// fragment drops them with "Only text nodes can be copied in this context" and the fragment loses
// their text. Shown by:
//   <xsl:template name="t"><xsl:variable name="v"><xsl:copy-of select="$rtf"/></xsl:variable>
//   <xsl:value-of select="$v"/></xsl:template>
// called from <xsl:attribute name="a">: the engine writes a="" where $rtf holds <b>x</b> and
// xsltproc writes a="x" (DocBook's chunked pages lose inline markup from their link titles).
// Here each fragment is built with the flag cleared and the enclosing one restored when it
// ends. The engine's own fix: beginCreateXResultTreeFrag push false on the flag's stack and
// endCreateXResultTreeFrag pop it.
class FragmentElements : public AttributeNamespaces
{
public:
    explicit FragmentElements(xalanc::MemoryManager& manager);

    void beginCreateXResultTreeFrag(xalanc::XalanNode* sourceNode) override;
    const xalanc::XObjectPtr endCreateXResultTreeFrag() override;
};

} // namespace prsm::detail
