// The HTML output method, writing characters beyond U+FFFF in attribute values correctly.
#pragma once

#include <xalanc/XMLSupport/FormatterToHTML.hpp>

namespace prsm::detail
{

// Corrects FormatterToHTML::writeAttrString (XMLSupport/FormatterToHTML.cpp), which joins a
// surrogate pair into a 16-bit variable before writing its character reference, so that U+1D11E
// in an attribute value comes out as "&#53534;" and U+10000 as "&#0;". Each pair is written here
// as the reference of its code point ("&#119070;"), as xsltproc writes it; everything else goes
// to the engine's own writer. <p title="&#x1D11E;"/> with method="html" shows the fault.
class HtmlFormatter final : public xalanc::FormatterToHTML
{
public:
    // The engine's FormatterToHTML::create, for this class: made in and freed to `manager`.
    static HtmlFormatter* create(xalanc::MemoryManager& manager, xalanc::Writer& writer,
                                 const xalanc::XalanDOMString& encoding,
                                 const xalanc::XalanDOMString& mediaType,
                                 const xalanc::XalanDOMString& doctypeSystem,
                                 const xalanc::XalanDOMString& doctypePublic, bool doIndent,
                                 int indent, bool escapeURLs, bool omitMetaTag);

    using xalanc::FormatterToHTML::FormatterToHTML;

protected:
    void writeAttrString(const xalanc::XalanDOMChar* theString, size_type theStringLength) override;
};

} // namespace prsm::detail
