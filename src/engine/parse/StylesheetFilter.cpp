// Stands between the parser and the engine's stylesheet handler, for each stylesheet module.
#include "engine/parse/StylesheetFilter.hpp"

#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/AttributeListImpl.hpp>
#include <xalanc/PlatformSupport/DoubleSupport.hpp>
#include <xalanc/PlatformSupport/XalanMessageLoader.hpp>
#include <xalanc/XSLT/Constants.hpp>
#include <xalanc/XSLT/ProblemListener.hpp>
#include <xalanc/XSLT/XSLTProcessorException.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#include <xercesc/sax/Locator.hpp>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace prsm::detail
{

using namespace std::string_view_literals;

namespace
{

// The attributes in no namespace that XSLT 1.0 defines on each of its elements.
struct Allowed
{
    std::u16string_view element;
    std::initializer_list<std::u16string_view> attributes;
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

// The attributes XSLT 1.0 defines on its element `local`; null for an element it does not know,
// which is left to the engine.
const Allowed* allowedOn(std::u16string_view local)
{
    for (const Allowed& allowed : kAllowed)
        if (local == allowed.element)
            return &allowed;
    return nullptr;
}

bool isDefined(const Allowed& allowed, std::u16string_view attribute)
{
    return std::any_of(allowed.attributes.begin(), allowed.attributes.end(),
                       [&](std::u16string_view name) { return attribute == name; });
}

// Whether an attribute in `uri` (null for a prefix not in scope) is one the engine lets any XSLT
// element carry.
bool isForeignNamespace(const std::u16string* uri)
{
    return uri != nullptr && !uri->empty() && !isXsltNamespace(uri);
}

std::u16string text(const XMLCh* chars)
{
    return chars == nullptr ? std::u16string() : std::u16string(chars);
}

// The handler's whitespace (isXMLWhitespace).
bool isWhitespace(const XMLCh* chars, XMLSize_t length)
{
    return std::all_of(chars, chars + length, isXmlSpace);
}

// The instructions that the handler always adds to the tree as the last child of their parent.
bool isAddedInstruction(std::u16string_view local)
{
    static const std::u16string_view kAdded[] = {u"apply-templates",
                                                 u"attribute",
                                                 u"call-template",
                                                 u"choose",
                                                 u"comment",
                                                 u"copy",
                                                 u"copy-of",
                                                 u"element",
                                                 u"for-each",
                                                 u"if",
                                                 u"message",
                                                 u"number",
                                                 u"value-of",
                                                 u"variable",
                                                 u"processing-instruction"};
    return std::find(std::begin(kAdded), std::end(kAdded), local) != std::end(kAdded);
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
    if (!m_isRunPassed && isWhitespace(chars, length))
    {
        m_heldSpace.append(chars, length);
        return;
    }
    passRun();
    noteText();
    m_handler.characters(chars, length);
}

void StylesheetFilter::endDocument()
{
    passRun();
    m_handler.endDocument();
}

void StylesheetFilter::endElement(const XMLCh* const name)
{
    endRun();
    m_followsText = false;
    if (!m_scopes.empty())
    {
        m_followsText = m_scopes.back().isText;
        m_scopes.pop_back();
        m_prefixes.close();
    }
    m_handler.endElement(name);
}

void StylesheetFilter::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length)
{
    passRun();
    m_handler.ignorableWhitespace(chars, length);
}

void StylesheetFilter::processingInstruction(const XMLCh* const target, const XMLCh* const data)
{
    passRun();
    m_handler.processingInstruction(target, data);
}

void StylesheetFilter::resetDocument()
{
    m_scopes.clear();
    m_prefixes.clear();
    m_moduleExclusions.clear();
    m_isVersion1 = true;
    m_declaredVersion = 1.0;
    m_heldSpace.clear();
    m_isRunPassed = false;
    m_followsText = false;
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
    endRun();
    m_followsText = false;
    const bool parentIsXslt = !m_scopes.empty() && m_scopes.back().isXslt;
    const bool isRoot = m_scopes.empty();
    Scope scope;
    scope.keepsSpace = !isRoot && m_scopes.back().keepsSpace;
    m_prefixes.open();
    const XMLSize_t count = attrs.getLength();
    for (XMLSize_t i = 0; i < count; ++i)
    {
        const std::u16string_view attribute = viewOf(attrs.getName(i));
        if (attribute.compare(0, 5, u"xmlns"sv) == 0)
            m_prefixes.declare(attribute, viewOf(attrs.getValue(i)));
        else if (attribute.size() > 6 &&
                 attribute.compare(attribute.size() - 6, 6, u":space"sv) == 0)
            scope.keepsSpace = true;
    }
    m_scopes.push_back(scope);

    const auto [prefix, local] = splitQualifiedName(viewOf(name));
    const std::u16string* uri = m_prefixes.namespaceOf(prefix);
    const bool isXslt = isXsltNamespace(uri);
    Scope& current = m_scopes.back();
    current.isXslt = isXslt;
    current.isText = isXslt && local == u"text"sv;
    current.keepsSpace = current.keepsSpace || current.isText;
    if (!isRoot && (!isXslt || isAddedInstruction(local)))
        m_scopes[m_scopes.size() - 2].hasText = false;

    if (isRoot && isXslt && (local == u"stylesheet"sv || local == u"transform"sv))
    {
        for (const char16_t* control : {u"exclude-result-prefixes", u"extension-element-prefixes"})
        {
            const XMLCh* value = attrs.getValue(control);
            if (value != nullptr && *value != 0)
                m_moduleExclusions += u' ' + text(value);
        }
        const XMLCh* version = attrs.getValue(u"version");
        m_isVersion1 =
            version == nullptr || viewOf(version) == u"1.0"sv || viewOf(version) == u"1"sv;
        if (version != nullptr)
            m_declaredVersion = xalanc::DoubleSupport::toDouble(version, m_manager);
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
                    token.empty() ? nullptr
                                  : m_prefixes.namespaceOf(token == u"#default"sv ? u"" : token);
                if (ns != nullptr && !ns->empty())
                    excluded.push_back(*ns);
            }
        }
    }
    if (!isXslt)
        noteDeclaredVersion(attrs);
    if (current.isText)
        refuseBrokenText(attrs);
    if (!isRoot && isXslt && (local == u"stylesheet"sv || local == u"transform"sv))
        refuseNestedStylesheet(name);
    if (isXslt && m_warnings != nullptr && (local == u"include"sv || local == u"import"sv))
        m_exclusions.next =
            local == u"include"sv ? Exclusions::Next::Included : Exclusions::Next::Imported;

    const std::u16string carried =
        !isXslt && parentIsXslt && !isRoot ? carriedExclusions() : std::u16string();
    const bool addsExclusions =
        !isXslt && parentIsXslt && !isRoot && (!m_moduleExclusions.empty() || !carried.empty());
    // The attributes that XSLT 1.0 does not define on this XSLT element: few elements have any,
    // so the list is copied only for those.
    std::vector<XMLSize_t> undefined;
    const Allowed* const allowed =
        isXslt && m_warnings != nullptr && m_isVersion1 && count != 0 ? allowedOn(local) : nullptr;
    if (allowed != nullptr)
        for (XMLSize_t i = 0; i < count; ++i)
        {
            const std::u16string_view attribute = viewOf(attrs.getName(i));
            if (attribute.find(u':') == std::u16string_view::npos && attribute != u"xmlns"sv &&
                !isDefined(*allowed, attribute))
                undefined.push_back(i);
        }
    if (!addsExclusions && undefined.empty())
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
    for (const XMLSize_t i : undefined)
    {
        const std::u16string removed(viewOf(attrs.getName(i)));
        changed.removeAttribute(removed.c_str());
        const std::string warning = "'" + utf8Of(name) + "' has an attribute '" +
                                    utf8Of(removed.c_str()) +
                                    "' that XSLT 1.0 does not define; it is ignored";
        const XMLCh* systemId = m_locator != nullptr ? m_locator->getSystemId() : nullptr;
        m_warnings->problem(
            xalanc::ProblemListener::eXSLTProcessor, xalanc::ProblemListener::eWarning, nullptr,
            nullptr, xalanc::XalanDOMString(warning.c_str(), m_manager), systemId,
            m_locator != nullptr ? xalanc::XalanFileLoc(m_locator->getLineNumber()) : 0,
            m_locator != nullptr ? xalanc::XalanFileLoc(m_locator->getColumnNumber()) : 0);
    }
    m_handler.startElement(name, changed);
}

void StylesheetFilter::endRun()
{
    if (!m_heldSpace.empty())
    {
        const bool isDropped = !m_scopes.empty() && !m_scopes.back().keepsSpace &&
                               (m_followsText || !m_scopes.back().hasText);
        if (!isDropped)
        {
            noteText();
            m_handler.characters(m_heldSpace.data(), m_heldSpace.size());
        }
        m_heldSpace.clear();
    }
    m_isRunPassed = false;
}

void StylesheetFilter::passRun()
{
    m_isRunPassed = true;
    if (m_heldSpace.empty())
        return;
    noteText();
    m_handler.characters(m_heldSpace.data(), m_heldSpace.size());
    m_heldSpace.clear();
}

void StylesheetFilter::noteText()
{
    const std::size_t depth = m_scopes.size();
    if (depth == 0)
        return;
    m_scopes.back().hasText = true;
    if (m_scopes.back().isText && depth > 1)
        m_scopes[depth - 2].hasText = true;
}

void StylesheetFilter::noteDeclaredVersion(const xercesc::AttributeList& attrs)
{
    const XMLSize_t count = attrs.getLength();
    for (XMLSize_t i = 0; i < count; ++i)
    {
        const auto [prefix, local] = splitQualifiedName(viewOf(attrs.getName(i)));
        if (local == u"version"sv && !prefix.empty() &&
            isXsltNamespace(m_prefixes.namespaceOf(prefix)))
            m_declaredVersion = xalanc::DoubleSupport::toDouble(attrs.getValue(i), m_manager);
    }
}

void StylesheetFilter::refuseNestedStylesheet(const XMLCh* name) const
{
    xalanc::XalanDOMString message(m_manager);
    xalanc::XalanMessageLoader::getMessage(
        message, xalanc::XalanMessages::IsNotAllowedInThisPosition_1Param, name);
    throw xalanc::XSLTProcessorException(m_manager, message, m_locator);
}

void StylesheetFilter::refuseBrokenText(const xercesc::AttributeList& attrs) const
{
    const bool isForwards = m_declaredVersion > 1.0;
    const XMLSize_t count = attrs.getLength();
    for (XMLSize_t i = 0; i < count; ++i)
    {
        const XMLCh* const name = attrs.getName(i);
        const auto [prefix, local] = splitQualifiedName(viewOf(name));
        xalanc::XalanDOMString message(m_manager);
        if (prefix.empty() && local == u"disable-output-escaping"sv)
        {
            const std::u16string_view value = viewOf(attrs.getValue(i));
            if (value != u"yes"sv && value != u"no"sv)
                xalanc::XalanMessageLoader::getMessage(
                    message, xalanc::XalanMessages::AttributeMustBe_3Params, name, u"yes", u"no");
        }
        else if (prefix == u"xmlns"sv || (prefix.empty() && local == u"xmlns"sv) ||
                 prefix == u"xml"sv)
            continue;
        else if (prefix.empty() ? !isForwards && (m_warnings == nullptr || !m_isVersion1)
                                : !isForeignNamespace(m_prefixes.namespaceOf(prefix)))
            xalanc::XalanMessageLoader::getMessage(
                message, xalanc::XalanMessages::ElementHasIllegalAttribute_2Param,
                xalanc::Constants::ELEMNAME_TEXT_WITH_PREFIX_STRING.c_str(), name);
        if (!message.empty())
            throw xalanc::XSLTProcessorException(m_manager, message, m_locator);
    }
}

std::u16string StylesheetFilter::carriedExclusions() const
{
    std::u16string prefixes;
    if (m_warnings == nullptr || m_exclusions.styles.empty())
        return prefixes;
    const std::vector<std::u16string>& excluded = m_exclusions.styles.back();
    for (auto scope = m_prefixes.scopes().rbegin(); scope != m_prefixes.scopes().rend(); ++scope)
        for (const auto& [prefix, uri] : *scope)
            if (m_prefixes.namespaceOf(prefix) == &uri && uri != kXsltNamespace &&
                std::find(excluded.begin(), excluded.end(), uri) != excluded.end())
                prefixes += u' ' + (prefix.empty() ? std::u16string(u"#default") : prefix);
    return prefixes;
}

std::u16string StylesheetFilter::xsltPrefix() const
{
    for (auto scope = m_prefixes.scopes().rbegin(); scope != m_prefixes.scopes().rend(); ++scope)
        for (const auto& [prefix, uri] : *scope)
            if (uri == kXsltNamespace && !prefix.empty() && m_prefixes.namespaceOf(prefix) == &uri)
                return prefix;
    return std::u16string();
}

} // namespace prsm::detail
