// Corrects the engine's tree walker, which hands a formatter an element's attributes in reverse.
#include "engine/output/OrderedTreeWalker.hpp"

#include <xalanc/PlatformSupport/AttributeListImpl.hpp>
#include <xalanc/PlatformSupport/FormatterListener.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#include <xalanc/XalanDOM/XalanElement.hpp>
#include <xalanc/XalanDOM/XalanNamedNodeMap.hpp>

namespace prsm::detail
{

OrderedTreeWalker::OrderedTreeWalker(xalanc::FormatterListener& formatter,
                                     xalanc::MemoryManager& manager)
    : xalanc::FormatterTreeWalker(formatter, manager), m_formatter(formatter), m_manager(manager)
{
}

bool OrderedTreeWalker::startNode(const xalanc::XalanNode* node)
{
    if (node->getNodeType() != xalanc::XalanNode::ELEMENT_NODE)
        return xalanc::FormatterTreeWalker::startNode(node);
    const auto* element = static_cast<const xalanc::XalanElement*>(node);
    const xalanc::XalanNamedNodeMap& attributes = *element->getAttributes();
    xalanc::AttributeListImpl list(m_manager);
    static const XMLCh kCdata[] = u"CDATA";
    for (xalanc::XalanSize_t i = 0; i < attributes.getLength(); ++i)
    {
        const xalanc::XalanNode& attribute = *attributes.item(i);
        list.addAttribute(attribute.getNodeName().c_str(), kCdata,
                          attribute.getNodeValue().c_str());
    }
    m_formatter.startElement(element->getNodeName().c_str(), list);
    return false;
}

bool OrderedTreeWalker::startNode(xalanc::XalanNode* node)
{
    return startNode(static_cast<const xalanc::XalanNode*>(node));
}

} // namespace prsm::detail
