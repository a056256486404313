// The nodes an extension function makes for its node-set result, in a document of their own.
#include "functions/exslt/ResultFragment.hpp"

#include <xalanc/DOMSupport/TreeWalker.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xalanc/PlatformSupport/AttributeListImpl.hpp>
#include <xalanc/PlatformSupport/DOMStringHelper.hpp>
#include <xalanc/PlatformSupport/XalanSimplePrefixResolver.hpp>
#include <xalanc/XPath/ElementPrefixResolverProxy.hpp>
#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XNodeSetBase.hpp>
#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XalanDOM/XalanElement.hpp>
#include <xalanc/XalanDOM/XalanNamedNodeMap.hpp>
#include <xalanc/XalanSourceTree/FormatterToSourceTree.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocumentFragment.hpp>

#include <new>
#include <string>
#include <utility>

namespace prsm::detail
{
namespace
{

constexpr xalanc::XalanDOMChar kCdata[] = u"CDATA";
constexpr xalanc::XalanDOMChar kCommonPrefix[] = u"exsl";
constexpr xalanc::XalanDOMChar kCommonNamespace[] = u"http://exslt.org/common";
constexpr xalanc::XalanDOMChar kCommonDeclaration[] = u"xmlns:exsl";
constexpr xalanc::XalanDOMChar kXmlns[] = u"xmlns";

// Builds an engine object in memory of `manager`, which must also free it.
template <class Type, class... Arguments>
Type* construct(xalanc::MemoryManager& manager, Arguments&&... arguments)
{
    xalanc::XalanAllocationGuard memory(manager, sizeof(Type));
    Type* const object = new (memory.get()) Type(std::forward<Arguments>(arguments)...);
    memory.release();
    return object;
}

struct EngineDeleter
{
    xalanc::MemoryManager* manager;

    template <class Type>
    void operator()(Type* object) const
    {
        xalanc::XalanDestroy(*manager, object);
    }
};

using DocumentPointer = std::unique_ptr<xalanc::XalanSourceTreeDocument, EngineDeleter>;
using FragmentPointer = std::unique_ptr<xalanc::XalanSourceTreeDocumentFragment, EngineDeleter>;

// The result: a node-set that owns the document its new nodes live in. The engine frees it
// through dereferenced() once the last reference, the factory's held one included, is gone.
class FragmentNodeSet final : public xalanc::XNodeSetBase
{
public:
    FragmentNodeSet(xalanc::MemoryManager& manager, DocumentPointer document,
                    FragmentPointer fragment)
        : XNodeSetBase(manager), m_document(std::move(document)), m_fragment(std::move(fragment)),
          m_nodes(manager)
    {
    }

    // Public for XalanDestroy.
    ~FragmentNodeSet() override = default;

    FragmentNodeSet(const FragmentNodeSet&) = delete;
    FragmentNodeSet& operator=(const FragmentNodeSet&) = delete;

    xalanc::MutableNodeRefList& nodes() { return m_nodes; }
    xalanc::XalanSourceTreeDocumentFragment& fragment() { return *m_fragment; }

    const xalanc::NodeRefListBase& nodeset() const override { return m_nodes; }
    xalanc::XalanNode* item(size_type index) const override { return m_nodes.item(index); }
    size_type getLength() const override { return m_nodes.getLength(); }

protected:
    void dereferenced() override { xalanc::XalanDestroy(getMemoryManager(), *this); }

private:
    DocumentPointer m_document;
    FragmentPointer m_fragment;
    xalanc::MutableNodeRefList m_nodes;
};

bool isNamespaceDeclaration(const xalanc::XalanDOMString& name)
{
    return name == kXmlns || xalanc::startsWith(name, u"xmlns:");
}

// Replays a subtree into the formatter. Each element resolves its prefixes as the original does,
// and the top one also declares the namespaces it inherits, so the copy keeps its names and its
// namespace nodes.
class CopyWalker final : public xalanc::TreeWalker
{
public:
    CopyWalker(xalanc::FormatterToSourceTree& formatter, const xalanc::XalanNode& top,
               xalanc::MemoryManager& manager)
        : m_formatter(formatter), m_top(top), m_manager(manager)
    {
    }

protected:
    bool startNode(const xalanc::XalanNode* node) override
    {
        switch (node->getNodeType())
        {
        case xalanc::XalanNode::ELEMENT_NODE:
            startElement(static_cast<const xalanc::XalanElement&>(*node));
            break;
        case xalanc::XalanNode::TEXT_NODE:
        case xalanc::XalanNode::CDATA_SECTION_NODE:
        {
            const xalanc::XalanDOMString& data = node->getNodeValue();
            m_formatter.characters(data.c_str(), data.length());
            break;
        }
        case xalanc::XalanNode::COMMENT_NODE:
            m_formatter.comment(node->getNodeValue().c_str());
            break;
        case xalanc::XalanNode::PROCESSING_INSTRUCTION_NODE:
            m_formatter.processingInstruction(node->getNodeName().c_str(),
                                              node->getNodeValue().c_str());
            break;
        default:
            break;
        }
        return false;
    }

    bool startNode(xalanc::XalanNode* node) override
    {
        return startNode(static_cast<const xalanc::XalanNode*>(node));
    }

    bool endNode(const xalanc::XalanNode* node) override
    {
        if (node->getNodeType() == xalanc::XalanNode::ELEMENT_NODE)
            m_formatter.endElement(node->getNodeName().c_str());
        return false;
    }

    bool endNode(xalanc::XalanNode* node) override
    {
        return endNode(static_cast<const xalanc::XalanNode*>(node));
    }

private:
    void startElement(const xalanc::XalanElement& element)
    {
        xalanc::AttributeListImpl attributes(m_manager);
        if (&element == &m_top)
            addInheritedDeclarations(attributes, element);
        const xalanc::XalanNamedNodeMap* const own = element.getAttributes();
        for (xalanc::XalanSize_t i = 0; own != nullptr && i < own->getLength(); ++i)
            attributes.addAttribute(own->item(i)->getNodeName().c_str(), kCdata,
                                    own->item(i)->getNodeValue().c_str());

        const xalanc::ElementPrefixResolverProxy resolver(&element, m_manager);
        m_formatter.setPrefixResolver(&resolver);
        m_formatter.startElement(element.getNodeName().c_str(), attributes);
        m_formatter.setPrefixResolver(nullptr);
    }

    // The namespace declarations of the ancestors of `element` that neither it nor a nearer
    // ancestor overrides.
    static void addInheritedDeclarations(xalanc::AttributeListImpl& attributes,
                                         const xalanc::XalanElement& element)
    {
        const xalanc::XalanNamedNodeMap* const own = element.getAttributes();
        for (const xalanc::XalanNode* parent = element.getParentNode();
             parent != nullptr && parent->getNodeType() == xalanc::XalanNode::ELEMENT_NODE;
             parent = parent->getParentNode())
        {
            const xalanc::XalanNamedNodeMap* const map = parent->getAttributes();
            for (xalanc::XalanSize_t i = 0; map != nullptr && i < map->getLength(); ++i)
            {
                const xalanc::XalanNode& attribute = *map->item(i);
                const xalanc::XalanDOMString& name = attribute.getNodeName();
                if (isNamespaceDeclaration(name) && attributes.getValue(name.c_str()) == nullptr &&
                    (own == nullptr || own->getNamedItem(name) == nullptr))
                    attributes.addAttribute(name.c_str(), kCdata, attribute.getNodeValue().c_str());
            }
        }
    }

    xalanc::FormatterToSourceTree& m_formatter;
    const xalanc::XalanNode& m_top;
    xalanc::MemoryManager& m_manager;
};

} // namespace

struct ResultFragment::State
{
    explicit State(xalanc::XPathExecutionContext& context)
        : executionContext(context), manager(context.getMemoryManager()),
          // Small pools: a result seldom holds more than a few names, and most text is unique.
          document(xalanc::XalanSourceTreeDocument::create(manager, false, 8, 7, 4, 8, 7, 4),
                   EngineDeleter{&manager}),
          fragment(construct<xalanc::XalanSourceTreeDocumentFragment>(manager, manager, *document),
                   EngineDeleter{&manager}),
          formatter(document.get(), fragment.get(), manager), added(manager)
    {
        formatter.startDocument();
    }

    // Hands the text gathered since the last node to the formatter in one piece: the engine's
    // strings grow by exactly what is appended, so many small appends would take quadratic time.
    void flushText()
    {
        if (pendingText.empty())
            return;
        writeText(pendingText.data(), pendingText.size());
        pendingText.clear();
    }

    void writeText(const xalanc::XalanDOMChar* text, std::size_t length)
    {
        if (length > 0)
            formatter.characters(text, static_cast<xalanc::FormatterListener::size_type>(length));
    }

    xalanc::XPathExecutionContext& executionContext;
    xalanc::MemoryManager& manager;
    DocumentPointer document;
    FragmentPointer fragment;
    xalanc::FormatterToSourceTree formatter;
    xalanc::MutableNodeRefList added;
    std::u16string pendingText;
};

ResultFragment::ResultFragment(xalanc::XPathExecutionContext& executionContext)
    : m_state(std::make_unique<State>(executionContext))
{
}

ResultFragment::~ResultFragment() = default;

void ResultFragment::appendElement(const xalanc::XalanDOMChar* name,
                                   const xalanc::XalanDOMChar* text, std::size_t length)
{
    m_state->flushText();
    xalanc::AttributeListImpl attributes(m_state->manager);
    m_state->formatter.startElement(name, attributes);
    m_state->writeText(text, length);
    m_state->formatter.endElement(name);
}

void ResultFragment::appendCommonElement(const xalanc::XalanDOMChar* localName,
                                         const xalanc::XalanDOMString& text)
{
    xalanc::MemoryManager& manager = m_state->manager;
    const xalanc::XalanDOMString prefix(kCommonPrefix, manager);
    const xalanc::XalanDOMString uri(kCommonNamespace, manager);
    const xalanc::XalanDOMString base(manager);
    const xalanc::XalanSimplePrefixResolver resolver(prefix, uri, base);
    xalanc::XalanDOMString name(prefix, manager);
    name += u':';
    name += localName;

    xalanc::AttributeListImpl attributes(manager);
    attributes.addAttribute(kCommonDeclaration, kCdata, kCommonNamespace);
    m_state->flushText();
    m_state->formatter.setPrefixResolver(&resolver);
    m_state->formatter.startElement(name.c_str(), attributes);
    m_state->formatter.setPrefixResolver(nullptr);
    m_state->writeText(text.c_str(), text.length());
    m_state->formatter.endElement(name.c_str());
}

void ResultFragment::appendText(const xalanc::XalanDOMChar* text, std::size_t length)
{
    m_state->pendingText.append(text, length);
}

void ResultFragment::appendCopy(const xalanc::XalanNode& node)
{
    const xalanc::XalanNode::NodeType type = node.getNodeType();
    if (type == xalanc::XalanNode::ATTRIBUTE_NODE)
        return;
    if (type == xalanc::XalanNode::TEXT_NODE || type == xalanc::XalanNode::CDATA_SECTION_NODE)
    {
        const xalanc::XalanDOMString& data = node.getNodeValue();
        appendText(data.c_str(), data.length());
        return;
    }
    m_state->flushText();
    CopyWalker walker(m_state->formatter, node, m_state->manager);
    walker.traverseSubtree(&node);
}

void ResultFragment::addNode(xalanc::XalanNode& node)
{
    m_state->added.addNodeInDocOrder(&node, m_state->executionContext);
}

xalanc::XObjectPtr ResultFragment::finish()
{
    State& state = *m_state;
    state.flushText();
    state.formatter.endDocument();
    // From here on the node-set owns the document; an exception frees it with the node-set.
    FragmentNodeSet* const nodeSet = construct<FragmentNodeSet>(
        state.manager, state.manager, std::move(state.document), std::move(state.fragment));
    const xalanc::XObjectPtr result(nodeSet);
    xalanc::MutableNodeRefList& nodes = nodeSet->nodes();
    for (xalanc::XalanNode* child = nodeSet->fragment().getFirstChild(); child != nullptr;
         child = child->getNextSibling())
    {
        if (state.added.getLength() == 0)
            nodes.addNode(child);
        else
            nodes.addNodeInDocOrder(child, state.executionContext);
    }
    if (state.added.getLength() == 0)
        nodes.setDocumentOrder();
    else
        nodes.addNodesInDocOrder(state.added, state.executionContext);
    // Nodes selected out of the result point into its document without holding the result.
    state.executionContext.getXObjectFactory().holdReference(result);
    return result;
}

} // namespace prsm::detail
