// xsl:namespace-alias with result-prefix="#default" where no default namespace is declared.
#include "engine/parse/NullNamespaceAlias.hpp"

#include <xalanc/PlatformSupport/AttributeListImpl.hpp>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string_view>

namespace prsm::detail
{

using namespace std::string_view_literals;

namespace
{

std::u16string text(const XMLCh* chars)
{
    return chars == nullptr ? std::u16string() : std::u16string(chars);
}

// Opens the scope of an element of `attributes` in `scopes`.
template <class Attributes>
void open(PrefixScopes& scopes, const Attributes& attributes)
{
    scopes.open();
    for (const auto& attribute : attributes)
        scopes.declare(attribute.name, attribute.value);
}

} // namespace

NullNamespaceAlias::NullNamespaceAlias(xercesc::DocumentHandler& handler,
                                       xalanc::MemoryManager& manager)
    : m_handler(handler), m_manager(manager)
{
}

bool NullNamespaceAlias::mayApplyTo(const std::string& bytes)
{
    std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[start])))
        ++start;
    if (start >= bytes.size() || bytes[start] != '<')
        return true;
    // Whole modules are searched: a search that skips ahead by the word's length, not one that
    // stops at every 'n' and '<'.
    const auto contains = [&bytes](std::string_view word)
    {
        return std::search(bytes.begin(), bytes.end(),
                           std::boyer_moore_horspool_searcher(word.begin(), word.end())) !=
               bytes.end();
    };
    return contains("namespace-alias") || contains("<!DOCTYPE") ||
           bytes.find('\0') != std::string::npos;
}

void NullNamespaceAlias::characters(const XMLCh* const chars, const XMLSize_t length)
{
    Event event{Kind::Characters, {}, std::u16string(chars, length), {}};
    record(std::move(event));
}

void NullNamespaceAlias::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length)
{
    Event event{Kind::Whitespace, {}, std::u16string(chars, length), {}};
    record(std::move(event));
}

void NullNamespaceAlias::processingInstruction(const XMLCh* const target, const XMLCh* const data)
{
    record(Event{Kind::Instruction, text(target), text(data), {}});
}

void NullNamespaceAlias::startElement(const XMLCh* const name, xercesc::AttributeList& attrs)
{
    Event event{Kind::Start, text(name), {}, {}};
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
        event.attributes.push_back(
            {text(attrs.getName(i)), text(attrs.getType(i)), text(attrs.getValue(i))});
    open(m_prefixes, event.attributes);

    const auto [prefix, local] = splitQualifiedName(event.name);
    const std::u16string* uri = m_prefixes.namespaceOf(prefix);
    const std::u16string* defaultNamespace = m_prefixes.namespaceOf(u"");
    if (isXsltNamespace(uri) && local == u"namespace-alias"sv &&
        (defaultNamespace == nullptr || defaultNamespace->empty()))
    {
        std::u16string result, stylesheet;
        for (const Attribute& attribute : event.attributes)
            if (attribute.name == u"result-prefix"sv)
                result = attribute.value;
            else if (attribute.name == u"stylesheet-prefix"sv)
                stylesheet = attribute.value;
        const std::u16string* aliased =
            stylesheet == u"#default"sv ? nullptr : m_prefixes.namespaceOf(stylesheet);
        if (result == u"#default"sv && aliased != nullptr && !aliased->empty())
        {
            m_aliased.push_back(*aliased);
            event.dropped = true;
        }
    }
    m_starts.push_back(m_events.size());
    record(std::move(event));
}

void NullNamespaceAlias::endElement(const XMLCh* const name)
{
    Event event{Kind::End, text(name), {}, {}};
    if (!m_starts.empty())
    {
        event.dropped = m_events[m_starts.back()].dropped;
        m_starts.pop_back();
    }
    m_prefixes.close();
    record(std::move(event));
}

void NullNamespaceAlias::endDocument()
{
    replay();
    m_handler.endDocument();
}

void NullNamespaceAlias::resetDocument()
{
    m_events.clear();
    m_prefixes.clear();
    m_starts.clear();
    m_aliased.clear();
    m_systemId.clear();
    m_publicId.clear();
    m_current = nullptr;
    m_handler.resetDocument();
}

void NullNamespaceAlias::setDocumentLocator(const xercesc::Locator* const locator)
{
    m_locator = locator;
    m_handler.setDocumentLocator(this);
}

void NullNamespaceAlias::startDocument()
{
    m_handler.startDocument();
}

void NullNamespaceAlias::record(Event event)
{
    if (m_locator != nullptr)
    {
        event.line = m_locator->getLineNumber();
        event.column = m_locator->getColumnNumber();
        // The parser's locator may have let go of its entity by the end of the document.
        if (m_systemId.empty())
        {
            m_systemId = text(m_locator->getSystemId());
            m_publicId = text(m_locator->getPublicId());
        }
    }
    m_events.push_back(std::move(event));
}

void NullNamespaceAlias::replay()
{
    PrefixScopes scopes;
    std::vector<bool> xslt;               // whether each open element is an XSLT element
    std::vector<std::u16string> defaults; // the default namespace the handler sees at each
    for (const Event& event : m_events)
    {
        m_current = &event;
        switch (event.kind)
        {
        case Kind::Start:
            replayStart(event, scopes, xslt, defaults);
            break;
        case Kind::End:
            scopes.close();
            xslt.pop_back();
            defaults.pop_back();
            if (!event.dropped)
                m_handler.endElement(event.name.c_str());
            break;
        case Kind::Characters:
            m_handler.characters(event.data.c_str(), event.data.size());
            break;
        case Kind::Whitespace:
            m_handler.ignorableWhitespace(event.data.c_str(), event.data.size());
            break;
        case Kind::Instruction:
            m_handler.processingInstruction(event.name.c_str(), event.data.c_str());
            break;
        }
    }
    m_current = nullptr;
    m_events.clear();
}

void NullNamespaceAlias::replayStart(const Event& event, PrefixScopes& scopes,
                                     std::vector<bool>& xslt, std::vector<std::u16string>& defaults)
{
    const bool isTopLevel = scopes.depth() == 1;
    open(scopes, event.attributes);
    const auto [prefix, local] = splitQualifiedName(event.name);
    const std::u16string* uri = scopes.namespaceOf(prefix);
    const bool isXslt = isXsltNamespace(uri);
    xslt.push_back(isXslt);

    std::u16string name = event.name;
    std::vector<Attribute> attributes = event.attributes;
    const auto own = std::find_if(attributes.begin(), attributes.end(),
                                  [](const Attribute& a) { return a.name == u"xmlns"sv; });
    std::u16string seen = own != attributes.end() ? own->value
                          : defaults.empty()      ? std::u16string()
                                                  : defaults.back();
    const auto isAliased = [&](const std::u16string* ns) {
        return ns != nullptr &&
               std::find(m_aliased.begin(), m_aliased.end(), *ns) != m_aliased.end();
    };

    if (!isXslt && !m_aliased.empty() && !event.dropped)
    {
        const bool aliased = !prefix.empty() && isAliased(uri);
        if (aliased)
            name = std::u16string(local);
        for (Attribute& attribute : attributes)
        {
            const QualifiedName parts = splitQualifiedName(attribute.name);
            const std::u16string_view attributePrefix = parts.prefix;
            const std::u16string_view attributeLocal = parts.local;
            if (attributePrefix.empty() || attributePrefix == u"xmlns"sv ||
                !isAliased(scopes.namespaceOf(attributePrefix)))
                continue;
            const bool taken =
                std::any_of(attributes.begin(), attributes.end(),
                            [&](const Attribute& a) { return a.name == attributeLocal; });
            if (!taken)
                attribute.name = std::u16string(attributeLocal);
        }
        // The element's name in the handler's eyes: an aliased one in the null namespace, an
        // unprefixed one in the default namespace of the module's text.
        if (aliased || prefix.empty())
        {
            const std::u16string* declared = scopes.namespaceOf(u"");
            const std::u16string wanted = aliased || declared == nullptr ? u"" : *declared;
            if (wanted != seen)
            {
                if (own != attributes.end())
                    attributes.erase(own);
                attributes.push_back({u"xmlns", u"CDATA", wanted});
                seen = wanted;
            }
        }
        // Namespace nodes of an aliased namespace stay out of the result.
        std::u16string excluded, xsltPrefix;
        for (auto scope = scopes.scopes().rbegin(); scope != scopes.scopes().rend(); ++scope)
            for (const auto& [bound, ns] : *scope)
                if (!bound.empty() && scopes.namespaceOf(bound) == &ns)
                {
                    if (isAliased(&ns))
                        excluded += u' ' + bound;
                    else if (ns == kXsltNamespace && xsltPrefix.empty())
                        xsltPrefix = bound;
                }
        if (!isTopLevel && !excluded.empty() && !xsltPrefix.empty())
        {
            const std::u16string control = xsltPrefix + u":exclude-result-prefixes";
            const auto present =
                std::find_if(attributes.begin(), attributes.end(),
                             [&](const Attribute& a) { return a.name == control; });
            if (present != attributes.end())
                present->value += excluded;
            else
                attributes.push_back({control, u"CDATA", excluded.substr(1)});
        }
    }
    defaults.push_back(seen);
    if (event.dropped)
        return;

    xalanc::AttributeListImpl list(m_manager);
    for (const Attribute& attribute : attributes)
        list.addAttribute(attribute.name.c_str(), attribute.type.c_str(), attribute.value.c_str());
    m_handler.startElement(name.c_str(), list);
}

const XMLCh* NullNamespaceAlias::getPublicId() const
{
    return m_publicId.empty() ? nullptr : m_publicId.c_str();
}

const XMLCh* NullNamespaceAlias::getSystemId() const
{
    return m_systemId.empty() ? nullptr : m_systemId.c_str();
}

XMLFileLoc NullNamespaceAlias::getLineNumber() const
{
    if (m_current != nullptr)
        return m_current->line;
    return m_locator != nullptr ? m_locator->getLineNumber() : 0;
}

XMLFileLoc NullNamespaceAlias::getColumnNumber() const
{
    if (m_current != nullptr)
        return m_current->column;
    return m_locator != nullptr ? m_locator->getColumnNumber() : 0;
}

} // namespace prsm::detail
