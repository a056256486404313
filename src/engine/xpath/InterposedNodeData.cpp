// The engine's string value of a node, built in time linear in its text, for the whole process.
//
// The engine's DOMServices::getNodeData and doGetNodeData (xalanc/DOMSupport/DOMServices.cpp),
// for an element, a document or a fragment, append the text of each descendant to the string
// they are given, and XalanDOMString::append grows the string by exactly that text, copying all
// of it each time: the string value of a node with n text nodes costs n squared, in one step of
// the engine where no bound is checked. Every core function given a node-set (concat(),
// normalize-space(), translate(), comparisons) runs through it: over 200,000 text nodes, 50
// seconds past a one-second timeout. The engine calls these members through its procedure linkage
// table, so the library's definitions below are the ones it runs, as with the document order
// (InterposedDocumentOrder.cpp). Here the text nodes are found first and the string reserved
// once. Text that xsl:strip-space removes is left out as the engine leaves it out. The engine's
// fix: grow the string geometrically in XalanDOMString::append.
#pragma GCC visibility push(default)
#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/PlatformSupport/ExecutionContext.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>
#include <xalanc/XalanDOM/XalanDocumentFragment.hpp>
#include <xalanc/XalanDOM/XalanElement.hpp>
#include <xalanc/XalanDOM/XalanNode.hpp>
#include <xalanc/XalanDOM/XalanText.hpp>
#pragma GCC visibility pop

#include <vector>

namespace
{

using xalanc::XalanNode;

bool isText(XalanNode::NodeType type)
{
    return type == XalanNode::TEXT_NODE || type == XalanNode::CDATA_SECTION_NODE;
}

// Appends the text of the descendants of `top` in document order, without those that `strip`
// strips; the walk keeps its own stack, so a deep tree costs no C++ stack.
void appendText(const XalanNode& top, xalanc::ExecutionContext* strip, xalanc::XalanDOMString& data)
{
    std::vector<const xalanc::XalanText*> texts;
    xalanc::XalanDOMString::size_type total = 0;
    std::vector<const XalanNode*> resume;
    const XalanNode* node = top.getFirstChild();
    while (node != nullptr || !resume.empty())
    {
        if (node == nullptr)
        {
            node = resume.back();
            resume.pop_back();
            continue;
        }
        const XalanNode::NodeType type = node->getNodeType();
        if (isText(type))
        {
            const auto* text = static_cast<const xalanc::XalanText*>(node);
            if (strip == nullptr || !strip->shouldStripSourceNode(*text))
            {
                texts.push_back(text);
                total += text->getData().length();
            }
        }
        if (type == XalanNode::ELEMENT_NODE && node->getFirstChild() != nullptr)
        {
            resume.push_back(node->getNextSibling());
            node = node->getFirstChild();
        }
        else
        {
            node = node->getNextSibling();
        }
    }
    data.reserve(data.length() + total);
    for (const xalanc::XalanText* text : texts)
        data.append(text->getData());
}

void appendNodeData(const XalanNode& node, xalanc::ExecutionContext* strip,
                    xalanc::XalanDOMString& data)
{
    const XalanNode::NodeType type = node.getNodeType();
    if (type == XalanNode::ELEMENT_NODE || type == XalanNode::DOCUMENT_NODE ||
        type == XalanNode::DOCUMENT_FRAGMENT_NODE)
        appendText(node, strip, data);
    else if (isText(type))
    {
        const auto& text = static_cast<const xalanc::XalanText&>(node);
        if (strip == nullptr || !strip->shouldStripSourceNode(text))
            data.append(text.getData());
    }
    else if (type == XalanNode::ATTRIBUTE_NODE || type == XalanNode::COMMENT_NODE ||
             type == XalanNode::PROCESSING_INSTRUCTION_NODE)
        data.append(node.getNodeValue());
}

} // namespace

namespace XALAN_CPP_NAMESPACE
{

void DOMServices::getNodeData(const XalanNode& node, XalanDOMString& data)
{
    appendNodeData(node, nullptr, data);
}

void DOMServices::getNodeData(const XalanDocument& document, XalanDOMString& data)
{
    appendText(document, nullptr, data);
}

void DOMServices::getNodeData(const XalanDocumentFragment& fragment, XalanDOMString& data)
{
    appendText(fragment, nullptr, data);
}

void DOMServices::getNodeData(const XalanElement& element, XalanDOMString& data)
{
    appendText(element, nullptr, data);
}

void DOMServices::doGetNodeData(const XalanNode& node, ExecutionContext& context,
                                XalanDOMString& data)
{
    appendNodeData(node, &context, data);
}

void DOMServices::doGetNodeData(const XalanDocument& document, ExecutionContext& context,
                                XalanDOMString& data)
{
    appendText(document, &context, data);
}

void DOMServices::doGetNodeData(const XalanDocumentFragment& fragment, ExecutionContext& context,
                                XalanDOMString& data)
{
    appendText(fragment, &context, data);
}

void DOMServices::doGetNodeData(const XalanElement& element, ExecutionContext& context,
                                XalanDOMString& data)
{
    appendText(element, &context, data);
}

} // namespace XALAN_CPP_NAMESPACE
