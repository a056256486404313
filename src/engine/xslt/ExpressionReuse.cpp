// The expressions a stylesheet repeats, compiled once and copied.
#include "engine/xslt/ExpressionReuse.hpp"

#include "engine/xpath/ExpressionText.hpp"
#include "platform/EngineMemory.hpp"

#include <xalanc/PlatformSupport/PrefixResolver.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <algorithm>

namespace prsm::detail
{

bool ExpressionReuse::keyOf(std::u16string_view text, bool allowVariables, bool allowKey,
                            const xalanc::PrefixResolver& resolver, std::u16string& key)
{
    key.clear();
    key += allowVariables ? u'v' : u'-';
    key += allowKey ? u'k' : u'-';
    key.append(text);
    // Every colon outside a literal that is not an axis separator ends a prefix the engine
    // resolves; its namespace joins the key.
    xalanc::XalanDOMString prefix(engineMemory());
    return visitOutsideLiterals(
        text,
        [&](std::size_t i)
        {
            const bool isAxis =
                (i + 1 < text.size() && text[i + 1] == u':') || (i > 0 && text[i - 1] == u':');
            if (text[i] != u':' || isAxis)
                return true;
            // A name read too long only keeps two texts apart that could have shared.
            std::size_t start = i;
            while (start > 0 && isNameUnit(text[start - 1]))
                --start;
            if (start == i)
                return false;
            prefix.assign(text.data() + start,
                          static_cast<xalanc::XalanDOMString::size_type>(i - start));
            const xalanc::XalanDOMString* uri = resolver.getNamespaceForPrefix(prefix);
            if (uri == nullptr)
                return false;
            key += u'\0';
            key.append(text.substr(start, i - start));
            key += u'=';
            key.append(uri->c_str(), uri->length());
            return true;
        });
}

xalanc::XPath* ExpressionReuse::copyOf(std::u16string_view key, const xercesc::Locator* locator)
{
    if (!m_originals)
        return nullptr;
    const auto found = m_originals->find(key);
    if (found == m_originals->end())
        return nullptr;
    auto copy = std::make_unique<xalanc::XPath>(expressionMemory(), locator);
    // Without the room the engine reserves for parsing, the copy takes the original's size.
    copy->getExpression().shrink();
    copy->getExpression() = found->second->getExpression();
    copy->setInStylesheet(true);
    m_copies.push_back(std::move(copy));
    return m_copies.back().get();
}

void ExpressionReuse::remember(std::u16string_view key, const xalanc::XPath& xpath)
{
    if (!m_originals)
        m_originals.emplace(0, std::hash<std::u16string_view>(), SameText(),
                            Originals::allocator_type(m_arena));
    auto* kept =
        static_cast<char16_t*>(m_arena.allocate(key.size() * sizeof(char16_t), alignof(char16_t)));
    std::copy(key.begin(), key.end(), kept);
    m_originals->emplace(std::u16string_view(kept, key.size()), &xpath);
}

void ExpressionReuse::forgetOriginals()
{
    m_originals.reset();
    m_arena.release();
}

void ExpressionReuse::clear()
{
    forgetOriginals();
    m_copies.clear();
}

} // namespace prsm::detail
