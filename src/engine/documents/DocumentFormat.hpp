// How one secondary result document is written: the output attributes of exsl:document.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace prsm::detail
{

// Each text as the stylesheet's attribute value template gave it; an attribute the element
// does not have is empty (or unset), which leaves the writer's default in force.
struct DocumentFormat
{
    std::u16string method; // "xml", "html", "text"; empty: html when the first element is
                           // <html> without a namespace, else xml
    std::u16string version;
    std::u16string encoding;
    std::u16string standalone;
    std::u16string doctypePublic;
    std::u16string doctypeSystem;
    std::u16string mediaType;
    std::optional<bool> omitXmlDeclaration;
    std::optional<bool> indent;
    // Namespace URI and local name of each element whose text is written as CDATA sections.
    std::vector<std::pair<std::u16string, std::u16string>> cdataElements;
};

} // namespace prsm::detail
