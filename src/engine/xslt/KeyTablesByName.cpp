// Corrects xalanc/XSLT/StylesheetRoot.cpp, StylesheetRoot::getNodeSetByKey.
#include "engine/xslt/KeyTablesByName.hpp"

#include "engine/xslt/EngineMembers.hpp"
#include "engine/xslt/TreeRoot.hpp"

#include <xalanc/XSLT/StylesheetExecutionContext.hpp>
#include <xalanc/XSLT/StylesheetRoot.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>

namespace
{

using xalanc::Stylesheet;
using xalanc::XalanNode;

// All the stylesheet's keys: the root gathers those of every module it imports or includes.
PRSM_ENGINE_MEMBER(KeyDeclarationsOf, Stylesheet, Stylesheet::KeyDeclarationVectorType,
                   m_keyDeclarations);

} // namespace

namespace prsm::detail
{

const xalanc::MutableNodeRefList*
KeyTablesByName::nodesOf(xalanc::StylesheetExecutionContext& context,
                         const xalanc::StylesheetRoot& stylesheet, XalanNode* node,
                         const xalanc::XalanQName& name, const xalanc::XalanDOMString& ref,
                         const xalanc::PrefixResolver& resolver)
{
    XalanNode* const root = treeRootOf(*node);
    if (root == nullptr)
        return nullptr;
    std::vector<Built>& built = m_tables[root];
    for (const Built& table : built)
        if (*table.name == name)
            return table.table->getNodeSetByKey(name, ref);
    const Stylesheet::KeyDeclarationVectorType& all = stylesheet.*memberOf(KeyDeclarationsOf());
    Stylesheet::KeyDeclarationVectorType named(m_manager);
    for (const xalanc::KeyDeclaration& declaration : all)
        if (*declaration.getQName() == name)
            named.push_back(declaration);
    if (named.empty())
        return nullptr;
    auto kept = std::make_unique<xalanc::XalanQNameByValue>(name, m_manager);
    built.reserve(built.size() + 1);
    xalanc::KeyTable* table = xalanc::KeyTable::create(m_manager, root, resolver, named, context);
    built.push_back(Built{std::move(kept), table});
    return table->getNodeSetByKey(name, ref);
}

void KeyTablesByName::clear()
{
    for (auto& [root, built] : m_tables)
        for (Built& table : built)
            xalanc::XalanDestroy(m_manager, *table.table);
    m_tables.clear();
}

} // namespace prsm::detail
