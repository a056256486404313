// The string value of a node, built in time linear in its text.
#include "functions/exslt/NodeText.hpp"

#include "functions/WorkCheck.hpp"

#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#include <xalanc/XalanDOM/XalanText.hpp>

#include <vector>

namespace prsm::detail
{
namespace
{

constexpr std::size_t kNodesPerCheck = 4096;

} // namespace

std::u16string nodeText(const xalanc::XalanNode& top,
                        xalanc::XPathExecutionContext& executionContext,
                        const xercesc::Locator* locator)
{
    using xalanc::XalanNode;
    const auto topType = top.getNodeType();
    if (topType != XalanNode::ELEMENT_NODE && topType != XalanNode::DOCUMENT_NODE &&
        topType != XalanNode::DOCUMENT_FRAGMENT_NODE)
    {
        xalanc::XalanDOMString value(executionContext.getMemoryManager());
        xalanc::DOMServices::getNodeData(top, executionContext, value);
        return std::u16string(value.c_str(), value.length());
    }
    std::u16string text;
    std::vector<const XalanNode*> resumeAt; // the next sibling of each element walked into
    std::size_t visited = 0;
    for (const XalanNode* node = top.getFirstChild(); node != nullptr;)
    {
        if (++visited % kNodesPerCheck == 0)
            checkWork(executionContext, locator);
        const auto type = node->getNodeType();
        if ((type == XalanNode::TEXT_NODE || type == XalanNode::CDATA_SECTION_NODE) &&
            !executionContext.shouldStripSourceNode(static_cast<const xalanc::XalanText&>(*node)))
        {
            const xalanc::XalanDOMString& data = node->getNodeValue();
            text.append(data.c_str(), data.length());
        }
        const XalanNode* child = type == XalanNode::ELEMENT_NODE ? node->getFirstChild() : nullptr;
        if (child != nullptr)
        {
            resumeAt.push_back(node->getNextSibling());
            node = child;
            continue;
        }
        node = node->getNextSibling();
        while (node == nullptr && !resumeAt.empty())
        {
            node = resumeAt.back();
            resumeAt.pop_back();
        }
    }
    return text;
}

} // namespace prsm::detail
