// Corrects the engine's tree walker, which hands a formatter an element's attributes in reverse.
//
// Engine: xalanc/XMLSupport/FormatterTreeWalker.cpp, FormatterTreeWalker::startNode, passes a
// NamedNodeMapAttributeList (xalanc/DOMSupport/NamedNodeMapAttributeList.cpp, getName and
// getValue), which reads the attribute map from its last item to its first. A tree written
// `<r a="1" b="2" c="3"/>` is serialised as `<r c="3" b="2" a="1"/>`, while the stream output of
// the same transformation keeps the order. The test: Dom2Dom, TreeOutputKeepsAttributeOrder.
#pragma once

#include <xalanc/XMLSupport/FormatterTreeWalker.hpp>

namespace prsm::detail
{

// The engine's walker, with every element's attributes passed in the order the tree holds them.
class OrderedTreeWalker final : public xalanc::FormatterTreeWalker
{
public:
    OrderedTreeWalker(xalanc::FormatterListener& formatter, xalanc::MemoryManager& manager);

protected:
    bool startNode(const xalanc::XalanNode* node) override;
    bool startNode(xalanc::XalanNode* node) override;

private:
    xalanc::FormatterListener& m_formatter;
    xalanc::MemoryManager& m_manager;
};

} // namespace prsm::detail
