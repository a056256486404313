// The XInclude processor: a filter of parse events that replaces each xi:include element.
#include "engine/parse/XIncludeFilter.hpp"

#include "engine/limits/ParseBudget.hpp"
#include "engine/parse/AmendedAttributes.hpp"
#include "engine/parse/UriText.hpp"
#include "engine/parse/XIncludeSession.hpp"
#include "platform/EngineText.hpp"
#include "platform/Utf8.hpp"

#include <xercesc/sax2/Attributes.hpp>

#include <algorithm>
#include <string_view>

namespace prsm::detail
{

using namespace std::string_view_literals;

namespace
{

constexpr char16_t kXIncludeNamespace[] = u"http://www.w3.org/2001/XInclude";
// The namespace of the XInclude drafts, which documents written for older processors still use.
constexpr char16_t kDraftNamespace[] = u"http://www.w3.org/2003/XInclude";
constexpr char16_t kXmlNamespace[] = u"http://www.w3.org/XML/1998/namespace";
constexpr char16_t kXmlnsNamespace[] = u"http://www.w3.org/2000/xmlns/";

bool isXInclude(const XMLCh* uri)
{
    return viewOf(uri) == kXIncludeNamespace || viewOf(uri) == kDraftNamespace;
}

std::u16string valueOf(const xercesc::Attributes& attrs, const char16_t* name)
{
    return std::u16string(viewOf(attrs.getValue(name)));
}

std::string quoted(const std::string& text)
{
    return '"' + text + '"';
}

} // namespace

XIncludeFilter::XIncludeFilter(XIncludeSession& session, std::string url,
                               xercesc::ContentHandler& content, xercesc::LexicalHandler* lexical)
    : m_session(session), m_content(content), m_lexical(lexical), m_url(std::move(url)),
      m_isIncluded(false)
{
    m_open.push_back(Element(Role::Passed, std::make_shared<const std::string>(m_url)));
}

XIncludeFilter::XIncludeFilter(XIncludeSession& session, const IncludeSite& site,
                               const ElementPointer* pointer, xercesc::ContentHandler& content,
                               xercesc::LexicalHandler* lexical)
    : m_session(session), m_content(content), m_lexical(lexical), m_url(site.url),
      m_isIncluded(true), m_pointer(pointer), m_fixedBase(site.fixedBase),
      m_inheritedDefault(site.inheritedDefaultNamespace)
{
    m_open.push_back(Element(pointer != nullptr ? Role::Unselected : Role::Passed,
                             std::make_shared<const std::string>(m_url)));
}

bool XIncludeFilter::isPassing() const
{
    return m_skipped == 0 &&
           (m_open.back().role == Role::Passed || m_open.back().role == Role::Fallback);
}

const std::u16string* XIncludeFilter::namespaceOf(const std::u16string& prefix) const
{
    for (auto element = m_open.rbegin(); element != m_open.rend(); ++element)
        for (const auto& [declared, uri] : element->declared)
            if (declared == prefix)
                return &uri;
    return nullptr;
}

XIncludeFilter::Element XIncludeFilter::describe(const xercesc::Attributes& attrs)
{
    Element& parent = m_open.back();
    Element element(Role::Passed, parent.base);
    element.position = ++parent.children;
    for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
    {
        const std::u16string_view qname = viewOf(attrs.getQName(i));
        const std::u16string_view uri = viewOf(attrs.getURI(i));
        const std::u16string_view local = viewOf(attrs.getLocalName(i));
        if (qname == u"xmlns"sv)
            element.declared.emplace_back(u"", viewOf(attrs.getValue(i)));
        else if (qname.substr(0, 6) == u"xmlns:"sv)
            element.declared.emplace_back(qname.substr(6), viewOf(attrs.getValue(i)));
        else if (uri == kXmlNamespace && local == u"base"sv)
            element.base = std::make_shared<const std::string>(
                resolveUri(utf8Of(attrs.getValue(i)), *parent.base));
        if (viewOf(attrs.getType(i)) == u"ID"sv || (uri == kXmlNamespace && local == u"id"sv))
            element.id = viewOf(attrs.getValue(i));
    }
    return element;
}

void XIncludeFilter::startElement(const XMLCh* const uri, const XMLCh* const localname,
                                  const XMLCh* const qname, const xercesc::Attributes& attrs)
{
    if (m_skipped > 0)
    {
        ++m_skipped;
        return;
    }
    Element& parent = m_open.back();
    switch (parent.role)
    {
    case Role::Included:
        ++m_skipped;
        return;
    case Role::Failed:
        if (isXInclude(uri) && viewOf(localname) == u"fallback"sv && !parent.hasFallback)
        {
            parent.hasFallback = true;
            Element fallback = describe(attrs);
            fallback.role = Role::Fallback;
            m_open.push_back(std::move(fallback));
        }
        else
        {
            ++m_skipped;
        }
        return;
    case Role::Unselected:
    {
        if (m_selection == Selection::After)
        {
            ++m_skipped;
            return;
        }
        Element element = describe(attrs);
        std::vector<std::u16string> ids;
        std::vector<std::size_t> positions;
        for (std::size_t i = 1; i < m_open.size(); ++i)
        {
            ids.push_back(m_open[i].id);
            positions.push_back(m_open[i].position);
        }
        ids.push_back(element.id);
        positions.push_back(element.position);
        if (m_pointer->matches(ids, positions))
        {
            m_selection = Selection::Inside;
            passStart(uri, localname, qname, attrs, element, true);
            element.role = Role::Passed;
        }
        else
        {
            element.role = Role::Unselected;
        }
        m_open.push_back(std::move(element));
        return;
    }
    case Role::Passed:
    case Role::Fallback:
        break;
    }

    Element element = describe(attrs);
    if (isXInclude(uri) && viewOf(localname) == u"include"sv)
    {
        element.role = include(attrs, element);
        m_open.push_back(std::move(element));
        return;
    }
    if (isXInclude(uri) && viewOf(localname) == u"fallback"sv)
        m_session.budget().refuse("xi:fallback must be a child of xi:include");
    const bool isTop =
        m_isIncluded && std::none_of(m_open.begin() + 1, m_open.end(),
                                     [](const Element& e) { return e.role == Role::Passed; });
    passStart(uri, localname, qname, attrs, element, isTop);
    m_open.push_back(std::move(element));
}

void XIncludeFilter::passStart(const XMLCh* uri, const XMLCh* localname, const XMLCh* qname,
                               const xercesc::Attributes& attrs, const Element& element, bool isTop)
{
    m_hasPassedOn = true;
    if (!isTop)
    {
        m_content.startElement(uri, localname, qname, attrs);
        return;
    }
    // Declarations in scope where the element stood that it does not make itself go with it, so
    // that its names and the prefixes in its values keep their namespaces.
    const auto declaresItself = [&element](const std::u16string& prefix)
    {
        return std::any_of(element.declared.begin(), element.declared.end(),
                           [&prefix](const auto& declared) { return declared.first == prefix; });
    };
    std::vector<std::pair<std::u16string, std::u16string>> inherited;
    for (std::size_t i = 1; i < m_open.size(); ++i)
        for (const auto& [prefix, namespaceUri] : m_open[i].declared)
        {
            if (declaresItself(prefix))
                continue;
            auto known =
                std::find_if(inherited.begin(), inherited.end(),
                             [&prefix = prefix](const auto& b) { return b.first == prefix; });
            if (known != inherited.end())
                known->second = namespaceUri;
            else
                inherited.emplace_back(prefix, namespaceUri);
        }
    AmendedAttributes amended(attrs);
    bool hasDefault = declaresItself(u"");
    for (const auto& [prefix, namespaceUri] : inherited)
    {
        if (prefix.empty() && namespaceUri.empty())
            continue;
        hasDefault = hasDefault || prefix.empty();
        amended.addInFront(kXmlnsNamespace, prefix.empty() ? u"xmlns" : prefix,
                           prefix.empty() ? u"xmlns" : u"xmlns:" + prefix, namespaceUri);
    }
    // Undeclares the default namespace of the including element when this one has none.
    const std::u16string* ownDefault = namespaceOf(u"");
    if (!hasDefault && !m_inheritedDefault.empty() &&
        (ownDefault == nullptr || ownDefault->empty()))
        amended.addInFront(kXmlnsNamespace, u"xmlns", u"xmlns", u"");
    if (!m_fixedBase.empty())
    {
        const XMLCh* own = attrs.getValue(kXmlNamespace, u"base");
        amended.setValue(kXmlNamespace, u"base", u"xml:base",
                         own == nullptr
                             ? m_fixedBase
                             : utf8ToUtf16(resolveUri(utf8Of(own), utf16ToUtf8(m_fixedBase))));
    }
    m_content.startElement(uri, localname, qname, amended);
}

XIncludeFilter::Role XIncludeFilter::include(const xercesc::Attributes& attrs, Element& element)
{
    ParseBudget& budget = m_session.budget();
    const std::u16string href = valueOf(attrs, u"href");
    const std::u16string parse = valueOf(attrs, u"parse");
    const std::u16string pointer = valueOf(attrs, u"xpointer");
    const bool isText = parse == u"text"sv;
    if (!isText && !parse.empty() && parse != u"xml"sv)
        budget.refuse("xi:include has parse=" + quoted(utf16ToUtf8(parse)) +
                      "; it must be xml or text");
    if (href.find(u'#') != std::u16string::npos)
        budget.refuse("the href " + quoted(utf16ToUtf8(href)) +
                      " of xi:include has a fragment identifier; a part of a document is named "
                      "by the xpointer attribute");
    if (isText && !pointer.empty())
        budget.refuse("xi:include with parse=\"text\" has an xpointer attribute");
    if (href.empty() && (isText || pointer.empty()))
        budget.refuse(isText ? "xi:include with parse=\"text\" and no href names its own document"
                             : "xi:include with neither href nor xpointer includes its own "
                               "document");

    IncludeSite site;
    site.url = href.empty() ? m_url : resolveUri(utf16ToUtf8(href), *element.base);
    site.pointer = pointer;
    site.encoding = valueOf(attrs, u"encoding");
    // As xsltproc does: the xml:base of the xi:include itself, else the way from its base to the
    // resource when that leads into another folder. A part of the same document keeps its base.
    if (const XMLCh* own = attrs.getValue(kXmlNamespace, u"base"))
        site.fixedBase = own;
    else if (const std::string way = relativeUri(site.url, *element.base);
             !href.empty() && way.find('/') != std::string::npos)
        site.fixedBase = utf8ToUtf16(way);
    if (href.empty())
        site.fixedBase.clear();
    const std::u16string* inherited = nullptr;
    for (const auto& [prefix, namespaceUri] : element.declared)
        if (prefix.empty())
            inherited = &namespaceUri;
    if (inherited == nullptr)
        inherited = namespaceOf(u"");
    if (inherited != nullptr)
        site.inheritedDefaultNamespace = *inherited;

    try
    {
        if (isText)
            m_session.includeText(site, m_content);
        else
            m_session.includeDocument(site, m_content, m_lexical);
    }
    catch (const IncludeFailure& failure)
    {
        element.failure =
            "xi:include of " + quoted(m_session.location(site.url)) + " failed: " + failure.what();
        return Role::Failed;
    }
    m_hasPassedOn = true;
    return Role::Included;
}

void XIncludeFilter::endElement(const XMLCh* const uri, const XMLCh* const localname,
                                const XMLCh* const qname)
{
    if (m_skipped > 0)
    {
        --m_skipped;
        return;
    }
    const Element element = std::move(m_open.back());
    m_open.pop_back();
    if (element.role == Role::Passed)
    {
        m_content.endElement(uri, localname, qname);
        if (m_open.back().role == Role::Unselected)
            m_selection = Selection::After;
    }
    else if (element.role == Role::Failed && !element.hasFallback)
    {
        m_session.budget().refuse(element.failure + ", and it has no xi:fallback");
    }
}

void XIncludeFilter::characters(const XMLCh* const chars, const XMLSize_t length)
{
    if (!isPassing())
        return;
    m_hasPassedOn = true;
    m_content.characters(chars, length);
}

void XIncludeFilter::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length)
{
    if (!isPassing())
        return;
    m_hasPassedOn = true;
    m_content.ignorableWhitespace(chars, length);
}

void XIncludeFilter::processingInstruction(const XMLCh* const target, const XMLCh* const data)
{
    if (!isPassing())
        return;
    m_hasPassedOn = true;
    m_content.processingInstruction(target, data);
}

void XIncludeFilter::skippedEntity(const XMLCh* const name)
{
    if (isPassing())
        m_content.skippedEntity(name);
}

void XIncludeFilter::setDocumentLocator(const xercesc::Locator* const locator)
{
    if (!m_isIncluded)
        m_content.setDocumentLocator(locator);
}

void XIncludeFilter::startDocument()
{
    if (!m_isIncluded)
        m_content.startDocument();
}

void XIncludeFilter::endDocument()
{
    if (!m_isIncluded)
        m_content.endDocument();
}

void XIncludeFilter::startPrefixMapping(const XMLCh* const prefix, const XMLCh* const uri)
{
    if (!m_isIncluded)
        m_content.startPrefixMapping(prefix, uri);
}

void XIncludeFilter::endPrefixMapping(const XMLCh* const prefix)
{
    if (!m_isIncluded)
        m_content.endPrefixMapping(prefix);
}

void XIncludeFilter::comment(const XMLCh* const chars, const XMLSize_t length)
{
    if (m_lexical == nullptr || (m_isInDtd ? m_isIncluded : !isPassing()))
        return;
    if (!m_isInDtd)
        m_hasPassedOn = true;
    m_lexical->comment(chars, length);
}

void XIncludeFilter::startDTD(const XMLCh* const name, const XMLCh* const publicId,
                              const XMLCh* const systemId)
{
    m_isInDtd = true;
    if (m_lexical != nullptr && !m_isIncluded)
        m_lexical->startDTD(name, publicId, systemId);
}

void XIncludeFilter::endDTD()
{
    m_isInDtd = false;
    if (m_lexical != nullptr && !m_isIncluded)
        m_lexical->endDTD();
}

void XIncludeFilter::startEntity(const XMLCh* const name)
{
    if (m_lexical != nullptr && (m_isInDtd ? !m_isIncluded : isPassing()))
        m_lexical->startEntity(name);
}

void XIncludeFilter::endEntity(const XMLCh* const name)
{
    if (m_lexical != nullptr && (m_isInDtd ? !m_isIncluded : isPassing()))
        m_lexical->endEntity(name);
}

void XIncludeFilter::startCDATA()
{
    if (m_lexical != nullptr && isPassing())
        m_lexical->startCDATA();
}

void XIncludeFilter::endCDATA()
{
    if (m_lexical != nullptr && isPassing())
        m_lexical->endCDATA();
}

} // namespace prsm::detail
