// An execution context under which a template called from an attribute set sees its own variables.
#include "engine/xslt/AttributeSetFrames.hpp"

#include <xalanc/XSLT/ElemTemplateElement.hpp>
#include <xalanc/XSLT/StylesheetConstructionContext.hpp>

namespace prsm::detail
{
namespace
{

bool isAttributeSet(const xalanc::ElemTemplateElement* element)
{
    return element != nullptr &&
           element->getXSLToken() == xalanc::StylesheetConstructionContext::ELEMNAME_ATTRIBUTE_SET;
}

} // namespace

AttributeSetFrames::AttributeSetFrames(xalanc::MemoryManager& manager) : FragmentElements(manager)
{
}

void AttributeSetFrames::pushOnElementRecursionStack(const xalanc::ElemTemplateElement* theElement)
{
    FragmentElements::pushOnElementRecursionStack(theElement);
    if (!isAttributeSet(theElement))
        return;
    // Back to the top the set pinned away from, then a marker; the set's own pop then restores
    // the frame above the marker, which the pop below takes down again.
    popCurrentStackFrameIndex();
    pushContextMarker();
    pushCurrentStackFrameIndex(getCurrentStackFrameIndex());
}

const xalanc::ElemTemplateElement* AttributeSetFrames::popElementRecursionStack()
{
    const xalanc::ElemTemplateElement* element = FragmentElements::popElementRecursionStack();
    if (isAttributeSet(element))
    {
        popCurrentStackFrameIndex();
        popContextMarker();
        pushCurrentStackFrameIndex(getCurrentStackFrameIndex());
    }
    return element;
}

} // namespace prsm::detail
