// The namespace prefixes in scope where the parser reports names as written (no namespace
// processing), as the stylesheet filters follow them.
#pragma once

#include "platform/EngineText.hpp"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace prsm::detail
{

inline constexpr std::u16string_view kXsltNamespace = u"http://www.w3.org/1999/XSL/Transform";

// Whether `uri` (null for a prefix not in scope) is the XSLT namespace.
inline bool isXsltNamespace(const std::u16string* uri)
{
    return uri != nullptr && isSameText(*uri, kXsltNamespace);
}

// A name as written, split at its first colon: no prefix where there is none.
struct QualifiedName
{
    std::u16string_view prefix;
    std::u16string_view local;
};

inline QualifiedName splitQualifiedName(std::u16string_view name)
{
    const std::size_t colon = name.find(u':');
    if (colon == std::u16string_view::npos)
        return {std::u16string_view(), name};
    return {name.substr(0, colon), name.substr(colon + 1)};
}

// One scope per open element, the innermost last, each with the prefixes its start tag declares
// ("" for the default namespace).
class PrefixScopes
{
public:
    using Bindings = std::map<std::u16string, std::u16string, std::less<>>;

    // Opens the scope of an element; its declarations follow through declare().
    void open() { m_scopes.emplace_back(); }
    // Adds the attribute `name`="`value`" of the element opened last when it declares a prefix
    // (xmlns, xmlns:p); returns whether it does.
    bool declare(std::u16string_view name, std::u16string_view value)
    {
        using namespace std::string_view_literals;
        if (name.substr(0, 5) != u"xmlns"sv || (name.size() > 5 && name[5] != u':'))
            return false;
        m_scopes.back()[std::u16string(name.size() == 5 ? std::u16string_view() : name.substr(6))] =
            std::u16string(value);
        return true;
    }
    // Closes the innermost scope, if any.
    void close()
    {
        if (!m_scopes.empty())
            m_scopes.pop_back();
    }
    void clear() { m_scopes.clear(); }
    std::size_t depth() const { return m_scopes.size(); }

    // The namespace `prefix` is bound to, or null where no scope declares it.
    const std::u16string* namespaceOf(std::u16string_view prefix) const
    {
        for (auto scope = m_scopes.rbegin(); scope != m_scopes.rend(); ++scope)
        {
            const auto found = scope->find(prefix);
            if (found != scope->end())
                return &found->second;
        }
        return nullptr;
    }

    // The scopes, the innermost last.
    const std::vector<Bindings>& scopes() const { return m_scopes; }

private:
    std::vector<Bindings> m_scopes;
};

} // namespace prsm::detail
