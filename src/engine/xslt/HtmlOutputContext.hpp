// The execution context that gives the HTML output method its corrected formatter.
#pragma once

#include "engine/xslt/AttributeSetFrames.hpp"

#include <xalanc/Include/XalanVector.hpp>

namespace prsm::detail
{

class HtmlFormatter;

// Makes every formatter of method="html" an HtmlFormatter (engine/output/HtmlFormatter.hpp) in
// place of the engine's FormatterToHTML, which StylesheetExecutionContextDefault::
// createFormatterToHTML (XSLT/StylesheetExecutionContextDefault.cpp) makes. The formatters live
// until the context is reset, as the engine's own do.
class HtmlOutputContext : public AttributeSetFrames
{
public:
    explicit HtmlOutputContext(xalanc::MemoryManager& manager);
    HtmlOutputContext(const HtmlOutputContext&) = delete;
    HtmlOutputContext& operator=(const HtmlOutputContext&) = delete;
    ~HtmlOutputContext() override;

    xalanc::FormatterListener* createFormatterToHTML(xalanc::Writer& writer,
                                                     const xalanc::XalanDOMString& encoding,
                                                     const xalanc::XalanDOMString& mediaType,
                                                     const xalanc::XalanDOMString& doctypeSystem,
                                                     const xalanc::XalanDOMString& doctypePublic,
                                                     bool doIndent, int indent, bool escapeURLs,
                                                     bool omitMetaTag) override;

    void reset() override;

private:
    void destroyFormatters() noexcept;

    xalanc::XalanVector<HtmlFormatter*> m_formatters;
};

} // namespace prsm::detail
