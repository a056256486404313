// The execution context that gives the HTML output method its corrected formatter.
#include "engine/xslt/HtmlOutputContext.hpp"

#include "engine/output/HtmlFormatter.hpp"

namespace prsm::detail
{

HtmlOutputContext::HtmlOutputContext(xalanc::MemoryManager& manager)
    : AttributeSetFrames(manager), m_formatters(manager)
{
}

HtmlOutputContext::~HtmlOutputContext()
{
    destroyFormatters();
}

xalanc::FormatterListener* HtmlOutputContext::createFormatterToHTML(
    xalanc::Writer& writer, const xalanc::XalanDOMString& encoding,
    const xalanc::XalanDOMString& mediaType, const xalanc::XalanDOMString& doctypeSystem,
    const xalanc::XalanDOMString& doctypePublic, bool doIndent, int indent, bool escapeURLs,
    bool omitMetaTag)
{
    // The engine's formatter, which the engine frees, carries the prefix resolver that only the
    // engine can reach; it is made for that and never written to.
    const xalanc::FormatterListener* const engineFormatter =
        AttributeSetFrames::createFormatterToHTML(writer, encoding, mediaType, doctypeSystem,
                                                  doctypePublic, doIndent, indent, escapeURLs,
                                                  omitMetaTag);
    m_formatters.reserve(m_formatters.size() + 1);
    HtmlFormatter* const formatter =
        HtmlFormatter::create(getMemoryManager(), writer, encoding, mediaType, doctypeSystem,
                              doctypePublic, doIndent, indent, escapeURLs, omitMetaTag);
    m_formatters.push_back(formatter);
    formatter->setPrefixResolver(engineFormatter->getPrefixResolver());
    return formatter;
}

void HtmlOutputContext::reset()
{
    AttributeSetFrames::reset();
    destroyFormatters();
}

void HtmlOutputContext::destroyFormatters() noexcept
{
    for (HtmlFormatter* formatter : m_formatters)
        xalanc::XalanDestroy(getMemoryManager(), formatter);
    m_formatters.clear();
}

} // namespace prsm::detail
