// The formatter that receives one secondary result document and writes it as its format says.
#include "engine/documents/DocumentListener.hpp"

#include "platform/EngineMemory.hpp"

#include <xalanc/PlatformSupport/AttributeListImpl.hpp>
#include <xalanc/XMLSupport/FormatterToHTML.hpp>
#include <xalanc/XMLSupport/FormatterToText.hpp>
#include <xalanc/XMLSupport/XalanXMLSerializerFactory.hpp>
#include <xalanc/XSLT/StylesheetExecutionContext.hpp>

#include <string_view>

namespace prsm::detail
{

using namespace std::string_view_literals;

namespace
{

constexpr char16_t kXmlns[] = u"xmlns";
constexpr char16_t kCdataType[] = u"CDATA";
// Indenting XML by two spaces, as xsltproc does; HTML keeps the engine's own indenting.
constexpr int kXmlIndent = 2;

xalanc::XalanDOMString engineString(const std::u16string& text, xalanc::MemoryManager& manager)
{
    return xalanc::XalanDOMString(text.c_str(), manager,
                                  static_cast<xalanc::XalanDOMString::size_type>(text.size()));
}

std::u16string lowered(std::u16string text)
{
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return text;
}

// The prefix of a qualified name, empty when it has none.
std::u16string prefixOf(const std::u16string& name)
{
    const auto colon = name.find(u':');
    return colon == std::u16string::npos ? std::u16string() : name.substr(0, colon);
}

std::u16string localOf(const std::u16string& name)
{
    const auto colon = name.find(u':');
    return colon == std::u16string::npos ? name : name.substr(colon + 1);
}

// The prefix an attribute named `name` declares (empty for the default namespace), or null
// when it declares none.
std::optional<std::u16string> declaredPrefix(const std::u16string& name)
{
    if (name == kXmlns)
        return std::u16string();
    if (name.compare(0, 6, u"xmlns:"sv) == 0)
        return name.substr(6);
    return std::nullopt;
}

} // namespace

DocumentListener::ResultNamespaces::ResultNamespaces(
    const xalanc::StylesheetExecutionContext& context)
    : m_context(context), m_uri(engineMemory())
{
}

const xalanc::XalanDOMString* DocumentListener::ResultNamespaces::getNamespaceForPrefix(
    const xalanc::XalanDOMString& prefix) const
{
    return m_context.getResultNamespaceForPrefix(prefix);
}

const xalanc::XalanDOMString& DocumentListener::ResultNamespaces::getURI() const
{
    return m_uri;
}

void DocumentListener::FormatterDeleter::operator()(xalanc::FormatterListener* formatter) const
{
    xalanc::XalanDestroy(*manager, *formatter);
}

DocumentListener::DocumentListener(std::ostream& out, const DocumentFormat& format,
                                   const xalanc::StylesheetExecutionContext& context)
    : xalanc::FormatterListener(OUTPUT_METHOD_NONE), m_manager(engineMemory()), m_context(context),
      m_format(format), m_resolver(context), m_stream(out, m_manager), m_writer(m_stream, false),
      m_formatter(nullptr, FormatterDeleter{&m_manager})
{
    if (!m_format.method.empty())
        choose(lowered(m_format.method));
}

DocumentListener::~DocumentListener() = default;

void DocumentListener::choose(const std::u16string& method)
{
    xalanc::MemoryManager& manager = m_manager;
    const auto text = [&manager](const std::u16string& value)
    { return engineString(value, manager); };
    const xalanc::XalanDOMString encoding = text(m_format.encoding);
    if (method == u"html"sv)
    {
        const bool doIndent = m_format.indent.value_or(true);
        xalanc::FormatterToHTML* const html = xalanc::FormatterToHTML::create(
            manager, m_writer, encoding, text(m_format.mediaType), text(m_format.doctypeSystem),
            text(m_format.doctypePublic), doIndent, xalanc::FormatterToHTML::eDefaultIndentAmount,
            true, false);
        m_formatter.reset(html);
        html->setPrefixResolver(&m_resolver);
    }
    else if (method == u"text"sv)
        m_formatter.reset(xalanc::FormatterToText::create(manager, m_writer, encoding));
    else
    {
        const bool doIndent = m_format.indent.value_or(false);
        m_formatter.reset(xalanc::XalanXMLSerializerFactory::create(
            manager, m_writer, text(m_format.version), doIndent, doIndent ? kXmlIndent : 0,
            encoding, text(m_format.mediaType), text(m_format.doctypeSystem),
            text(m_format.doctypePublic), !m_format.omitXmlDeclaration.value_or(false),
            text(m_format.standalone)));
    }
    m_method = method == u"html"sv || method == u"text"sv ? method : u"xml";
}

void DocumentListener::flush()
{
    m_writer.flush();
}

void DocumentListener::setDocumentLocator(const xercesc::Locator* const) {}

void DocumentListener::startDocument()
{
    if (m_formatter)
        m_formatter->startDocument();
}

void DocumentListener::endDocument()
{
    if (!m_formatter)
        start(u"xml");
    m_formatter->endDocument();
    m_writer.flush();
}

void DocumentListener::start(const std::u16string& method)
{
    choose(method);
    m_formatter->startDocument();
    for (const Early& early : m_early)
        if (early.kind == Early::Kind::Comment)
            m_formatter->comment(early.text.c_str());
        else if (early.kind == Early::Kind::Instruction)
            m_formatter->processingInstruction(early.text.c_str(), early.data.c_str());
        else if (early.kind == Early::Kind::Raw)
            m_formatter->charactersRaw(early.text.c_str(), early.text.size());
        else
            m_formatter->characters(early.text.c_str(), early.text.size());
    m_early.clear();
}

const std::u16string* DocumentListener::uriOf(const std::u16string& prefix) const
{
    for (auto declaration = m_declarations.rbegin(); declaration != m_declarations.rend();
         ++declaration)
        if (declaration->first == prefix)
            return &declaration->second;
    return nullptr;
}

void DocumentListener::startElement(const XMLCh* const name, xercesc::AttributeList& attrs)
{
    const std::u16string elementName = name;
    const std::size_t count = attrs.getLength();
    if (!m_formatter)
    {
        const std::u16string* defaultUri = nullptr;
        std::u16string declared;
        for (std::size_t i = 0; i < count; ++i)
            if (std::u16string(attrs.getName(i)) == kXmlns)
            {
                declared = attrs.getValue(i);
                defaultUri = &declared;
            }
        const xalanc::XalanDOMString* inScope =
            m_context.getResultNamespaceForPrefix(xalanc::XalanDOMString(m_manager));
        const bool hasNamespace =
            defaultUri != nullptr ? !defaultUri->empty() : inScope != nullptr && !inScope->empty();
        const bool isHtml =
            lowered(elementName) == u"html"sv && !hasNamespace && prefixOf(elementName).empty();
        start(isHtml ? u"html" : u"xml");
    }

    const std::size_t outer = m_declarations.size();
    std::vector<std::size_t> kept;
    bool isMended = false;
    for (std::size_t i = 0; i < count; ++i)
    {
        const std::optional<std::u16string> prefix = declaredPrefix(attrs.getName(i));
        if (prefix)
        {
            const std::u16string uri = attrs.getValue(i);
            const std::u16string* current = uriOf(*prefix);
            // An undeclaration of a default this document never declared says nothing.
            if (prefix->empty() && uri.empty() && (current == nullptr || current->empty()))
            {
                isMended = true;
                continue;
            }
            m_declarations.emplace_back(*prefix, uri);
        }
        kept.push_back(i);
    }
    std::vector<std::u16string> used{prefixOf(elementName)};
    for (std::size_t i = 0; i < count; ++i)
    {
        const std::u16string prefix = prefixOf(attrs.getName(i));
        if (!prefix.empty() && prefix != u"xml"sv && prefix != kXmlns)
            used.push_back(prefix);
    }
    // The declarations this document lacks come first, as the engine writes its own.
    xalanc::AttributeListImpl mended(m_manager);
    for (const std::u16string& prefix : used)
    {
        if (uriOf(prefix) != nullptr)
            continue;
        const xalanc::XalanDOMString* uri =
            m_context.getResultNamespaceForPrefix(engineString(prefix, m_manager));
        if (uri == nullptr || uri->empty())
            continue;
        const std::u16string value(uri->c_str(), uri->length());
        const std::u16string attribute = prefix.empty() ? kXmlns : u"xmlns:" + prefix;
        mended.addAttribute(attribute.c_str(), kCdataType, value.c_str());
        m_declarations.emplace_back(prefix, value);
        isMended = true;
    }
    if (isMended)
        for (const std::size_t i : kept)
            mended.addAttribute(attrs.getName(i), attrs.getType(i), attrs.getValue(i));

    bool isCdata = false;
    if (m_method == u"xml"sv && !m_format.cdataElements.empty())
    {
        const std::u16string* uri = uriOf(prefixOf(elementName));
        const std::u16string ns = uri != nullptr ? *uri : std::u16string();
        const std::u16string local = localOf(elementName);
        for (const auto& [cdataUri, cdataLocal] : m_format.cdataElements)
            isCdata = isCdata || (cdataUri == ns && cdataLocal == local);
    }
    m_elements.push_back(Open{m_declarations.size() - outer, isCdata});
    m_formatter->startElement(name, isMended ? mended : attrs);
}

void DocumentListener::endElement(const XMLCh* const name)
{
    m_formatter->endElement(name);
    if (!m_elements.empty())
    {
        m_declarations.resize(m_declarations.size() - m_elements.back().declarations);
        m_elements.pop_back();
    }
}

void DocumentListener::text(const XMLCh* chars, size_type length, bool isCdata)
{
    if (!m_formatter)
    {
        m_early.push_back(Early{Early::Kind::Characters, std::u16string(chars, length), {}});
        return;
    }
    if (isCdata)
        m_formatter->cdata(chars, length);
    else
        m_formatter->characters(chars, length);
}

void DocumentListener::characters(const XMLCh* const chars, const size_type length)
{
    text(chars, length, !m_elements.empty() && m_elements.back().isCdata);
}

// The engine asks for CDATA by the main output's list; this document's list decides.
void DocumentListener::cdata(const XMLCh* const ch, const size_type length)
{
    characters(ch, length);
}

void DocumentListener::charactersRaw(const XMLCh* const chars, const size_type length)
{
    if (!m_formatter)
        m_early.push_back(Early{Early::Kind::Raw, std::u16string(chars, length), {}});
    else
        m_formatter->charactersRaw(chars, length);
}

void DocumentListener::entityReference(const XMLCh* const name)
{
    if (m_formatter)
        m_formatter->entityReference(name);
}

void DocumentListener::ignorableWhitespace(const XMLCh* const chars, const size_type length)
{
    if (!m_formatter)
        m_early.push_back(Early{Early::Kind::Characters, std::u16string(chars, length), {}});
    else
        m_formatter->ignorableWhitespace(chars, length);
}

void DocumentListener::processingInstruction(const XMLCh* const target, const XMLCh* const data)
{
    if (!m_formatter)
        m_early.push_back(Early{Early::Kind::Instruction, target, data != nullptr ? data : u""});
    else
        m_formatter->processingInstruction(target, data);
}

void DocumentListener::resetDocument()
{
    if (m_formatter)
        m_formatter->resetDocument();
}

void DocumentListener::comment(const XMLCh* const data)
{
    if (!m_formatter)
        m_early.push_back(Early{Early::Kind::Comment, data, {}});
    else
        m_formatter->comment(data);
}

} // namespace prsm::detail
