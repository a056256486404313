// An execution context under which an attribute named with a prefix has the prefix declared.
#include "engine/xslt/AttributeNamespaces.hpp"

namespace prsm::detail
{

AttributeNamespaces::AttributeNamespaces(xalanc::MemoryManager& manager)
    : xalanc::StylesheetExecutionContextDefault(manager)
{
}

const xalanc::XalanDOMString*
AttributeNamespaces::getResultPrefixForNamespace(const xalanc::XalanDOMString& theNamespace) const
{
    // Only xsl:attribute asks; an empty prefix is the default namespace, no name for it.
    const xalanc::XalanDOMString* prefix =
        xalanc::StylesheetExecutionContextDefault::getResultPrefixForNamespace(theNamespace);
    return prefix == nullptr || prefix->empty() ? nullptr : prefix;
}

} // namespace prsm::detail
