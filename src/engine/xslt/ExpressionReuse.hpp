// The expressions a stylesheet repeats, compiled once and copied.
#pragma once

#include "platform/EngineText.hpp"
#include "platform/MappedArena.hpp"

#include <xalanc/XPath/XPath.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace xalanc = XALAN_CPP_NAMESPACE;

namespace prsm::detail
{

// Half of what DocBook's stylesheets compile as expressions, weighed by length, repeats an
// expression compiled before ("count(exsl:node-set($recto.content)/*)" 56 times), and the engine
// tokenizes and parses each occurrence again. What the engine compiles of an expression is its
// text, whether it may refer to variables and call key(), and the namespaces of the prefixes it
// names; the element it stands in adds only a locator, which the copy takes as its own. Lives
// with the construction context, as the expressions it makes do.
class ExpressionReuse
{
public:
    // The key of `text` as the engine would compile it under `resolver`, or false where the
    // text names a prefix that is not in scope (left to the engine, which reports it).
    static bool keyOf(std::u16string_view text, bool allowVariables, bool allowKey,
                      const xalanc::PrefixResolver& resolver, std::u16string& key);

    // A copy, placed at `locator`, of the expression compiled earlier for `key`, or null.
    // The copy lives as long as this object.
    xalanc::XPath* copyOf(std::u16string_view key, const xercesc::Locator* locator);

    // Keeps `xpath`, compiled for `key` and owned by the engine for as long as this object
    // lives, as the one to copy.
    void remember(std::u16string_view key, const xalanc::XPath& xpath);

    // Forgets the expressions remembered, giving their table's memory back to the system; the
    // copies stay.
    void forgetOriginals();

    // Forgets the expressions remembered and lets go of the copies.
    void clear();

private:
    struct SameText
    {
        bool operator()(std::u16string_view one, std::u16string_view other) const
        {
            return isSameText(one, other);
        }
    };
    // The keys point into the arena as well.
    using Originals = std::unordered_map<
        std::u16string_view, const xalanc::XPath*, std::hash<std::u16string_view>, SameText,
        ArenaAllocator<std::pair<const std::u16string_view, const xalanc::XPath*>>>;

    MappedArena m_arena; // outlives the table
    std::optional<Originals> m_originals;
    std::vector<std::unique_ptr<xalanc::XPath>> m_copies;
};

} // namespace prsm::detail
