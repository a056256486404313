// Corrects xalanc/XSLT/StylesheetRoot.cpp, StylesheetRoot::getNodeSetByKey, with
// KeyTable::KeyTable: the first key() on a document builds the table of every xsl:key of the
// stylesheet at once, trying each key's match pattern on each node and attribute. DocBook's HTML
// stylesheets declare two dozen keys, and their first lookup in the localization document (all
// languages, some 30,000 nodes) builds them all there: a fifth of a book's transformation, where
// xsltproc builds the one key asked for. The tables here are built per document and key name,
// from the declarations of that name only, which give the same nodes in the same order.
// Smallest case: tests/transformer/KeyTablesTest.cpp.
#pragma once

#include <xalanc/XPath/XalanQNameByValue.hpp>
#include <xalanc/XSLT/KeyTable.hpp>
#include <xalanc/XalanDOM/XalanNode.hpp>

#include <memory>
#include <unordered_map>
#include <vector>

namespace XALAN_CPP_NAMESPACE
{
class StylesheetRoot;
}
namespace xalanc = XALAN_CPP_NAMESPACE;

namespace prsm::detail
{

class KeyTablesByName
{
public:
    explicit KeyTablesByName(xalanc::MemoryManager& manager) : m_manager(manager) {}
    KeyTablesByName(const KeyTablesByName&) = delete;
    KeyTablesByName& operator=(const KeyTablesByName&) = delete;
    ~KeyTablesByName() { clear(); }

    // The nodes of `context`'s document (or node-set fragment) that the key `name` of the
    // running stylesheet gives for `ref`, in document order; null where the stylesheet declares
    // no key of that name. The table of the name is built on its first use on the document.
    const xalanc::MutableNodeRefList*
    nodesOf(xalanc::StylesheetExecutionContext& context, const xalanc::StylesheetRoot& stylesheet,
            xalanc::XalanNode* node, const xalanc::XalanQName& name,
            const xalanc::XalanDOMString& ref, const xalanc::PrefixResolver& resolver);

    // Lets go of the tables, as each transformation ends: their documents go with it.
    void clear();

private:
    struct Built
    {
        std::unique_ptr<xalanc::XalanQNameByValue> name;
        xalanc::KeyTable* table;
    };

    xalanc::MemoryManager& m_manager;
    // By document: a transformation may read thousands with document().
    std::unordered_map<const xalanc::XalanNode*, std::vector<Built>> m_tables;
};

} // namespace prsm::detail
