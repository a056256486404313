// An execution context under which a template called from an attribute set sees its own variables.
#pragma once

#include "engine/xslt/FragmentElements.hpp"

namespace prsm::detail
{

// Corrects the engine's ElemAttributeSet::startElement (XSLT/ElemAttributeSet.cpp). To show an
// attribute set the global variables alone, it pins the frame where variable lookups start to
// the globals; but VariablesStack::push moves that frame with a push only while it is the top of
// the stack, so a template called or applied inside the set never sees its own parameters and
// variables ("The variable 'p' is not defined"). Shown by:
//   <xsl:attribute-set name="as"><xsl:attribute name="a"><xsl:call-template name="t"/>
//   </xsl:attribute></xsl:attribute-set>
//   <xsl:template name="t"><xsl:param name="p" select="1"/><xsl:value-of
//   select="$p"/></xsl:template>
// Here the pin is undone as the set enters the element recursion stack (right after pinning) and
// a context marker takes its place: lookups stop at it and go on to the globals, as they do from
// a template, and the frames above follow the top. The engine's own fix would be that
// startElement push a context marker instead of pinning the frame index.
class AttributeSetFrames : public FragmentElements
{
public:
    explicit AttributeSetFrames(xalanc::MemoryManager& manager);

    void pushOnElementRecursionStack(const xalanc::ElemTemplateElement* theElement) override;
    const xalanc::ElemTemplateElement* popElementRecursionStack() override;
};

} // namespace prsm::detail
