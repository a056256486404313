// An execution context under which an attribute written with a prefix has the prefix declared.
#include "engine/xslt/AttributeNamespaces.hpp"

#include <xalanc/DOMSupport/DOMServices.hpp>

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

void AttributeNamespaces::cloneToResultTree(const xalanc::XalanNode& node,
                                            const xercesc::Locator* locator)
{
    if (!copiedWithDeclaration(node))
        xalanc::StylesheetExecutionContextDefault::cloneToResultTree(node, locator);
}

void AttributeNamespaces::cloneToResultTree(const xalanc::XalanNode& node,
                                            xalanc::XalanNode::NodeType nodeType,
                                            bool overrideStrip, bool shouldCloneAttributes,
                                            const xercesc::Locator* locator)
{
    if (!copiedWithDeclaration(node))
        xalanc::StylesheetExecutionContextDefault::cloneToResultTree(
            node, nodeType, overrideStrip, shouldCloneAttributes, locator);
}

bool AttributeNamespaces::copiedWithDeclaration(const xalanc::XalanNode& node)
{
    using xalanc::DOMServices;
    if (node.getNodeType() != xalanc::XalanNode::ATTRIBUTE_NODE || getCopyTextNodesOnly() ||
        !isElementPending())
        return false;
    const xalanc::XalanDOMString& uri = node.getNamespaceURI();
    if (uri.empty() || uri == DOMServices::s_XMLNamespaceURI ||
        uri == DOMServices::s_XMLNamespacePrefixURI)
        return false;
    const xalanc::XalanDOMString& prefix = node.getPrefix();
    const xalanc::XalanDOMString* bound = getResultNamespaceForPrefix(prefix);
    if (bound != nullptr && *bound == uri)
        return false;

    const GetCachedString declarationGuard(*this);
    xalanc::XalanDOMString& declaration = declarationGuard.get();
    declaration.assign(DOMServices::s_XMLNamespaceWithSeparator);
    if (bound == nullptr && !prefix.empty())
    {
        declaration.append(prefix);
        addResultAttribute(declaration, uri);
        return false;
    }
    const GetCachedString nameGuard(*this);
    xalanc::XalanDOMString& name = nameGuard.get();
    getUniqueNamespaceValue(name);
    declaration.append(name);
    addResultAttribute(declaration, uri);
    name.append(DOMServices::s_XMLNamespaceSeparatorString);
    name.append(node.getLocalName());
    addResultAttribute(name, node.getNodeValue());
    return true;
}

} // namespace prsm::detail
