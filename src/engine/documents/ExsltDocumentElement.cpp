// The stylesheet element exsl:document (EXSLT common): its content becomes a document of its own.
#include "engine/documents/ExsltDocumentElement.hpp"

#include "engine/documents/DocumentException.hpp"
#include "engine/documents/ResultDocuments.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/XalanLocator.hpp>
#include <xalanc/XSLT/AVT.hpp>
#include <xalanc/XSLT/StylesheetConstructionContext.hpp>
#include <xalanc/XSLT/StylesheetExecutionContext.hpp>

#include <string>
#include <string_view>

namespace prsm::detail
{

using namespace std::string_view_literals;

namespace
{

constexpr const char16_t* kAttributeNames[] = {u"href",
                                               u"method",
                                               u"version",
                                               u"encoding",
                                               u"omit-xml-declaration",
                                               u"standalone",
                                               u"doctype-public",
                                               u"doctype-system",
                                               u"cdata-section-elements",
                                               u"indent",
                                               u"media-type"};
static_assert(std::size(kAttributeNames) == ExsltDocumentElement::AttributeCount);

ResultDocuments& documentsOf(xalanc::StylesheetExecutionContext& context,
                             const xercesc::Locator* locator)
{
    const auto* host = dynamic_cast<const DocumentHost*>(&context);
    ResultDocuments* documents = host != nullptr ? host->resultDocuments() : nullptr;
    if (documents == nullptr)
        throw DocumentException("exsl:document cannot write documents here", locator);
    return *documents;
}

std::u16string trimmed(const std::u16string& text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && isXmlSpace(text[first]))
        ++first;
    while (last > first && isXmlSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace

bool isDocumentElement(const char16_t* uri, const char16_t* local)
{
    const std::u16string name = local;
    return (name == u"document"sv && std::u16string(uri) == kExsltCommonNamespace) ||
           (name == u"output"sv && std::u16string(uri) == kSaxonNamespace);
}

ExsltDocumentElement::ExsltDocumentElement(
    xalanc::StylesheetConstructionContext& constructionContext, xalanc::Stylesheet& stylesheetTree,
    const xalanc::XalanDOMChar* name, const xalanc::AttributeListType& atts,
    const xercesc::Locator* locator)
    : ElemTemplateElement(constructionContext, stylesheetTree,
                          xalanc::XalanLocator::getLineNumber(locator),
                          xalanc::XalanLocator::getColumnNumber(locator),
                          xalanc::StylesheetConstructionContext::ELEMNAME_EXTENSION_CALL),
      m_name(name, constructionContext.getMemoryManager())
{
    // Attributes it does not know are left alone, as xsltproc leaves them.
    for (xalanc::XalanSize_t i = 0; i < atts.getLength(); ++i)
    {
        const std::u16string attribute = atts.getName(i);
        for (std::size_t which = 0; which < AttributeCount; ++which)
            if (attribute == kAttributeNames[which] || (which == Href && attribute == u"file"sv))
                m_attributes[which] = constructionContext.createAVT(getLocator(), atts.getName(i),
                                                                    atts.getValue(i), *this);
    }
    if (m_attributes[Href] == nullptr)
        throw DocumentException("exsl:document needs an href attribute", getLocator());
}

const xalanc::XalanDOMString& ExsltDocumentElement::getElementName() const
{
    return m_name;
}

const xalanc::ElemTemplateElement*
ExsltDocumentElement::startElement(xalanc::StylesheetExecutionContext& executionContext) const
{
    ElemTemplateElement::startElement(executionContext);
    ResultDocuments& documents = documentsOf(executionContext, getLocator());

    std::array<std::u16string, AttributeCount> values;
    xalanc::XalanDOMString value(executionContext.getMemoryManager());
    for (std::size_t which = 0; which < AttributeCount; ++which)
        if (m_attributes[which] != nullptr)
        {
            value.clear();
            m_attributes[which]->evaluate(value, *this, executionContext);
            values[which].assign(value.c_str(), value.length());
        }
    DocumentFormat format;
    format.method = trimmed(values[Method]);
    format.version = trimmed(values[Version]);
    format.encoding = trimmed(values[Encoding]);
    format.standalone = trimmed(values[Standalone]);
    format.doctypePublic = values[DoctypePublic];
    format.doctypeSystem = values[DoctypeSystem];
    format.mediaType = trimmed(values[MediaType]);
    if (m_attributes[OmitXmlDeclaration] != nullptr)
        format.omitXmlDeclaration = trimmed(values[OmitXmlDeclaration]) == u"yes"sv;
    if (m_attributes[Indent] != nullptr)
        format.indent = trimmed(values[Indent]) == u"yes"sv;
    const std::u16string& names = values[CdataSectionElements];
    for (std::size_t start = 0; start < names.size();)
    {
        while (start < names.size() && isXmlSpace(names[start]))
            ++start;
        std::size_t end = start;
        while (end < names.size() && !isXmlSpace(names[end]))
            ++end;
        if (end > start)
        {
            const std::u16string qname = names.substr(start, end - start);
            const auto colon = qname.find(u':');
            // An unprefixed name is in the default namespace, as in xsl:output.
            xalanc::XalanDOMString prefix(executionContext.getMemoryManager());
            if (colon != std::u16string::npos)
                prefix.assign(qname.c_str(), static_cast<xalanc::XalanDOMString::size_type>(colon));
            const xalanc::XalanDOMString* bound = getNamespaceForPrefix(prefix);
            if (bound == nullptr && colon != std::u16string::npos)
                throw DocumentException("exsl:document: a prefix in cdata-section-elements is "
                                        "not declared",
                                        getLocator());
            std::u16string uri;
            if (bound != nullptr)
                uri.assign(bound->c_str(), bound->length());
            format.cdataElements.emplace_back(
                uri, colon == std::u16string::npos ? qname : qname.substr(colon + 1));
        }
        start = end;
    }

    xalanc::FormatterListener& listener =
        documents.open(values[Href], format, executionContext, getLocator());
    executionContext.pushOutputContext(&listener);
    listener.startDocument();
    return beginExecuteChildren(executionContext);
}

void ExsltDocumentElement::endElement(xalanc::StylesheetExecutionContext& executionContext) const
{
    endExecuteChildren(executionContext);
    executionContext.popOutputContext();
    documentsOf(executionContext, getLocator()).close(getLocator());
}

bool ExsltDocumentElement::executeChildElement(xalanc::StylesheetExecutionContext&,
                                               const ElemTemplateElement* element) const
{
    return element->getXSLToken() != xalanc::StylesheetConstructionContext::ELEMNAME_FALLBACK;
}

} // namespace prsm::detail
