// The stylesheet element exsl:document (EXSLT common): its content becomes a document of its own.
#pragma once

#include <xalanc/XSLT/ElemTemplateElement.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <array>

namespace XALAN_CPP_NAMESPACE
{
class AVT;
}

namespace prsm::detail
{

// The namespace of the EXSLT common module.
inline constexpr char16_t kExsltCommonNamespace[] = u"http://exslt.org/common";

// The namespace of Saxon 6, whose saxon:output xsltproc also runs as exsl:document.
inline constexpr char16_t kSaxonNamespace[] = u"http://icl.com/saxon";

// Whether the element `local` of the namespace `uri` is exsl:document or saxon:output.
bool isDocumentElement(const char16_t* uri, const char16_t* local);

// Built for exsl:document where the stylesheet declares its prefix an extension element prefix.
// Each attribute is an attribute value template: href names the document, the others are those
// of xsl:output. Running it writes its content into the named document instead of the current
// result, through the running transformation's ResultDocuments; xsl:fallback children are
// skipped, as the element is available.
class ExsltDocumentElement final : public xalanc::ElemTemplateElement
{
public:
    // Throws DocumentException, placed at the element, without an href attribute.
    ExsltDocumentElement(xalanc::StylesheetConstructionContext& constructionContext,
                         xalanc::Stylesheet& stylesheetTree, const xalanc::XalanDOMChar* name,
                         const xalanc::AttributeListType& atts, const xercesc::Locator* locator);

    const xalanc::XalanDOMString& getElementName() const override;

    const ElemTemplateElement*
    startElement(xalanc::StylesheetExecutionContext& executionContext) const override;
    void endElement(xalanc::StylesheetExecutionContext& executionContext) const override;
    bool executeChildElement(xalanc::StylesheetExecutionContext& executionContext,
                             const ElemTemplateElement* element) const override;

    // The attributes, in the order of kAttributeNames.
    enum Attribute
    {
        Href,
        Method,
        Version,
        Encoding,
        OmitXmlDeclaration,
        Standalone,
        DoctypePublic,
        DoctypeSystem,
        CdataSectionElements,
        Indent,
        MediaType,
        AttributeCount
    };

private:
    xalanc::XalanDOMString m_name;
    std::array<const xalanc::AVT*, AttributeCount> m_attributes{};
};

} // namespace prsm::detail
