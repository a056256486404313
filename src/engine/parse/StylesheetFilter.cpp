// Stands between the parser and the engine's stylesheet handler, for each stylesheet module.
#include "engine/parse/StylesheetFilter.hpp"

#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/AttributeListImpl.hpp>
#include <xalanc/XSLT/ProblemListener.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#include <xercesc/sax/Locator.hpp>

#include <algorithm>
#include <cstring>

namespace prsm::detail
{
namespace
{

const std::u16string kXsltNamespace = u"http://www.w3.org/1999/XSL/Transform";

// The attributes in no namespace that XSLT 1.0 defines on each of its elements.
struct Allowed
{
    const char16_t* element;
    std::initializer_list<const char16_t*> attributes;
};

const Allowed kAllowed[] = {
    {u"stylesheet", {u"id", u"extension-element-prefixes", u"exclude-result-prefixes", u"version"}},
    {u"transform", {u"id", u"extension-element-prefixes", u"exclude-result-prefixes", u"version"}},
    {u"import", {u"href"}},
    {u"include", {u"href"}},
    {u"strip-space", {u"elements"}},
    {u"preserve-space", {u"elements"}},
    {u"output",
     {u"method", u"version", u"encoding", u"omit-xml-declaration", u"standalone", u"doctype-public",
      u"doctype-system", u"cdata-section-elements", u"indent", u"media-type"}},
    {u"key", {u"name", u"match", u"use"}},
    {u"decimal-format",
     {u"name", u"decimal-separator", u"grouping-separator", u"infinity", u"minus-sign", u"NaN",
      u"percent", u"per-mille", u"zero-digit", u"digit", u"pattern-separator"}},
    {u"namespace-alias", {u"stylesheet-prefix", u"result-prefix"}},
    {u"attribute-set", {u"name", u"use-attribute-sets"}},
    {u"variable", {u"name", u"select"}},
    {u"param", {u"name", u"select"}},
    {u"with-param", {u"name", u"select"}},
    {u"template", {u"match", u"name", u"priority", u"mode"}},
    {u"apply-templates", {u"select", u"mode"}},
    {u"apply-imports", {}},
    {u"call-template", {u"name"}},
    {u"element", {u"name", u"namespace", u"use-attribute-sets"}},
    {u"attribute", {u"name", u"namespace"}},
    {u"text", {u"disable-output-escaping"}},
    {u"value-of", {u"select", u"disable-output-escaping"}},
    {u"processing-instruction", {u"name"}},
    {u"comment", {}},
    {u"copy", {u"use-attribute-sets"}},
    {u"copy-of", {u"select"}},
    {u"number",
     {u"level", u"count", u"from", u"value", u"format", u"lang", u"letter-value",
      u"grouping-separator", u"grouping-size"}},
    {u"for-each", {u"select"}},
    {u"if", {u"test"}},
    {u"choose", {}},
    {u"when", {u"test"}},
    {u"otherwise", {}},
    {u"sort", {u"select", u"lang", u"data-type", u"order", u"case-order"}},
    {u"message", {u"terminate"}},
    {u"fallback", {}},
};

// Whether `attribute` is one XSLT 1.0 defines on its element `local`; elements it does not know
// are left to the engine.
bool isDefined(const std::u16string& local, const std::u16string& attribute)
{
    for (const Allowed& allowed : kAllowed)
        if (local == allowed.element)
            return std::any_of(allowed.attributes.begin(), allowed.attributes.end(),
                               [&](const char16_t* name) { return attribute == name; });
    return true;
}

std::pair<std::u16string, std::u16string> split(const std::u16string& name)
{
    const std::size_t colon = name.find(u':');
    if (colon == std::u16string::npos)
        return {std::u16string(), name};
    return {name.substr(0, colon), name.substr(colon + 1)};
}

std::u16string text(const XMLCh* chars)
{
    return chars == nullptr ? std::u16string() : std::u16string(chars);
}

} // namespace

StylesheetFilter::StylesheetFilter(xercesc::DocumentHandler& handler,
                                   xalanc::ProblemListener* warnings, Exclusions& exclusions,
                                   xalanc::MemoryManager& manager)
    : m_handler(handler), m_warnings(warnings), m_exclusions(exclusions), m_kind(exclusions.next),
      m_manager(manager)
{
    m_exclusions.next = Exclusions::Next::Principal;
}

void StylesheetFilter::characters(const XMLCh* const chars, const XMLSize_t length)
{
    m_handler.characters(chars, length);
}

void StylesheetFilter::endDocument()
{
    m_handler.endDocument();
}

void StylesheetFilter::endElement(const XMLCh* const name)
{
    if (!m_scopes.empty())
        m_scopes.pop_back();
    m_handler.endElement(name);
}

void StylesheetFilter::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length)
{
    m_handler.ignorableWhitespace(chars, length);
}

void StylesheetFilter::processingInstruction(const XMLCh* const target, const XMLCh* const data)
{
    m_handler.processingInstruction(target, data);
}

void StylesheetFilter::resetDocument()
{
    m_scopes.clear();
    m_moduleExclusions.clear();
    m_isVersion1 = true;
    m_handler.resetDocument();
}

void StylesheetFilter::setDocumentLocator(const xercesc::Locator* const locator)
{
    m_locator = locator;
    m_handler.setDocumentLocator(locator);
}

void StylesheetFilter::startDocument()
{
    m_handler.startDocument();
}

void StylesheetFilter::startElement(const XMLCh* const name, xercesc::AttributeList& attrs)
{
    const bool parentIsXslt = !m_scopes.empty() && m_scopes.back().isXslt;
    const bool isRoot = m_scopes.empty();
    Scope scope;
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
    {
        const std::u16string attribute = text(attrs.getName(i));
        if (attribute == u"xmlns")
            scope.bindings[std::u16string()] = text(attrs.getValue(i));
        else if (attribute.compare(0, 6, u"xmlns:") == 0)
            scope.bindings[attribute.substr(6)] = text(attrs.getValue(i));
    }
    m_scopes.push_back(std::move(scope));

    const auto [prefix, local] = split(text(name));
    const std::u16string* uri = namespaceOf(prefix);
    const bool isXslt = uri != nullptr && *uri == kXsltNamespace;
    m_scopes.back().isXslt = isXslt;

    if (isRoot && isXslt && (local == u"stylesheet" || local == u"transform"))
    {
        for (const char16_t* control : {u"exclude-result-prefixes", u"extension-element-prefixes"})
        {
            const XMLCh* value = attrs.getValue(control);
            if (value != nullptr && *value != 0)
                m_moduleExclusions += u' ' + text(value);
        }
        const XMLCh* version = attrs.getValue(u"version");
        m_isVersion1 = version == nullptr || text(version) == u"1.0" || text(version) == u"1";
        if (m_warnings != nullptr)
        {
            if (m_kind != Exclusions::Next::Included || m_exclusions.styles.empty())
                m_exclusions.styles.emplace_back();
            std::vector<std::u16string>& excluded = m_exclusions.styles.back();
            std::u16string prefixes = m_moduleExclusions + u' ';
            std::replace_if(
                prefixes.begin(), prefixes.end(),
                [](char16_t c) { return c == u'\t' || c == u'\n' || c == u'\r'; }, u' ');
            for (std::size_t start = 0, end; (end = prefixes.find(u' ', start)) != prefixes.npos;
                 start = end + 1)
            {
                const std::u16string token = prefixes.substr(start, end - start);
                const std::u16string* ns =
                    token.empty() ? nullptr : namespaceOf(token == u"#default" ? u"" : token);
                if (ns != nullptr && !ns->empty())
                    excluded.push_back(*ns);
            }
        }
    }
    if (isXslt && m_warnings != nullptr && (local == u"include" || local == u"import"))
        m_exclusions.next =
            local == u"include" ? Exclusions::Next::Included : Exclusions::Next::Imported;

    const std::u16string carried =
        !isXslt && parentIsXslt && !isRoot ? carriedExclusions() : std::u16string();
    const bool addsExclusions =
        !isXslt && parentIsXslt && !isRoot && !(m_moduleExclusions + carried).empty();
    const bool checksAttributes = isXslt && m_warnings != nullptr && m_isVersion1;
    if (!addsExclusions && !checksAttributes)
    {
        m_handler.startElement(name, attrs);
        return;
    }

    xalanc::AttributeListImpl changed(attrs, m_manager);
    if (addsExclusions)
    {
        const std::u16string xsl = xsltPrefix();
        if (!xsl.empty())
        {
            const std::u16string attribute = xsl + u":exclude-result-prefixes";
            const XMLCh* own = attrs.getValue(attribute.c_str());
            const std::u16string value = text(own) + m_moduleExclusions + carried;
            changed.removeAttribute(attribute.c_str());
            changed.addAttribute(attribute.c_str(), u"CDATA", value.c_str());
        }
    }
    if (checksAttributes)
    {
        for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
        {
            const std::u16string attribute = text(attrs.getName(i));
            if (attribute.find(u':') != std::u16string::npos || attribute == u"xmlns" ||
                isDefined(local, attribute))
                continue;
            changed.removeAttribute(attribute.c_str());
            const std::string warning = "'" + utf8Of(name) + "' has an attribute '" +
                                        utf8Of(attribute.c_str()) +
                                        "' that XSLT 1.0 does not define; it is ignored";
            const XMLCh* systemId = m_locator != nullptr ? m_locator->getSystemId() : nullptr;
            m_warnings->problem(
                xalanc::ProblemListener::eXSLTProcessor, xalanc::ProblemListener::eWarning, nullptr,
                nullptr, xalanc::XalanDOMString(warning.c_str(), m_manager), systemId,
                m_locator != nullptr ? xalanc::XalanFileLoc(m_locator->getLineNumber()) : 0,
                m_locator != nullptr ? xalanc::XalanFileLoc(m_locator->getColumnNumber()) : 0);
        }
    }
    m_handler.startElement(name, changed);
}

const std::u16string* StylesheetFilter::namespaceOf(const std::u16string& prefix) const
{
    for (auto scope = m_scopes.rbegin(); scope != m_scopes.rend(); ++scope)
    {
        const auto found = scope->bindings.find(prefix);
        if (found != scope->bindings.end())
            return &found->second;
    }
    return nullptr;
}

std::u16string StylesheetFilter::carriedExclusions() const
{
    std::u16string prefixes;
    if (m_warnings == nullptr || m_exclusions.styles.empty())
        return prefixes;
    const std::vector<std::u16string>& excluded = m_exclusions.styles.back();
    for (auto scope = m_scopes.rbegin(); scope != m_scopes.rend(); ++scope)
        for (const auto& [prefix, uri] : scope->bindings)
            if (namespaceOf(prefix) == &uri && uri != kXsltNamespace &&
                std::find(excluded.begin(), excluded.end(), uri) != excluded.end())
                prefixes += u' ' + (prefix.empty() ? std::u16string(u"#default") : prefix);
    return prefixes;
}

std::u16string StylesheetFilter::xsltPrefix() const
{
    for (auto scope = m_scopes.rbegin(); scope != m_scopes.rend(); ++scope)
        for (const auto& [prefix, uri] : scope->bindings)
            if (uri == kXsltNamespace && !prefix.empty() && namespaceOf(prefix) == &uri)
                return prefix;
    return std::u16string();
}

} // namespace prsm::detail
