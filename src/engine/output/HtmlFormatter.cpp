// The HTML output method, writing characters beyond U+FFFF in attribute values correctly.
#include "engine/output/HtmlFormatter.hpp"

#include <xalanc/Include/XalanMemoryManagement.hpp>

#include <string>

namespace prsm::detail
{
namespace
{

bool isHighSurrogate(xalanc::XalanDOMChar c)
{
    return c >= 0xD800 && c < 0xDC00;
}

bool isLowSurrogate(xalanc::XalanDOMChar c)
{
    return c >= 0xDC00 && c < 0xE000;
}

} // namespace

HtmlFormatter* HtmlFormatter::create(xalanc::MemoryManager& manager, xalanc::Writer& writer,
                                     const xalanc::XalanDOMString& encoding,
                                     const xalanc::XalanDOMString& mediaType,
                                     const xalanc::XalanDOMString& doctypeSystem,
                                     const xalanc::XalanDOMString& doctypePublic, bool doIndent,
                                     int indent, bool escapeURLs, bool omitMetaTag)
{
    xalanc::XalanAllocationGuard memory(manager, manager.allocate(sizeof(HtmlFormatter)));
    auto* const formatter =
        new (memory.get()) HtmlFormatter(writer, encoding, mediaType, doctypeSystem, doctypePublic,
                                         doIndent, indent, escapeURLs, omitMetaTag, manager);
    memory.release();
    return formatter;
}

void HtmlFormatter::writeAttrString(const xalanc::XalanDOMChar* theString,
                                    size_type theStringLength)
{
    size_type start = 0;
    for (size_type at = 0; at + 1 < theStringLength; ++at)
    {
        if (!isHighSurrogate(theString[at]) || !isLowSurrogate(theString[at + 1]))
            continue;
        xalanc::FormatterToHTML::writeAttrString(theString + start, at - start);
        const unsigned long codePoint =
            0x10000 + ((theString[at] - 0xD800UL) << 10) + (theString[at + 1] - 0xDC00UL);
        const std::string reference = "&#" + std::to_string(codePoint) + ";";
        for (const char c : reference)
            accumContent(static_cast<xalanc::XalanDOMChar>(c));
        ++at;
        start = at + 1;
    }
    xalanc::FormatterToHTML::writeAttrString(theString + start, theStringLength - start);
}

} // namespace prsm::detail
