// Fuzzes stylesheet parameters given as expressions: any bytes as the expression of one
// parameter, on the stream and the in-memory paths.
#include "Dom2Dom.hpp"
#include "FuzzSession.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace
{

const char kStylesheet[] =
    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
    "<xsl:param name='p'/><xsl:variable name='v' select='1'/>"
    "<xsl:template match='/'><r n='{count($p)}'><xsl:copy-of select='$p'/>"
    "<xsl:value-of select='$p'/></r></xsl:template></xsl:stylesheet>";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PRSMXslTransformer& transformer = prsm::fuzz::transformer();
    Dom2Dom& source = prsm::fuzz::document();
    static const std::string stylesheet =
        prsm::fuzz::writeProcessFile("prsm-fuzz-param", kStylesheet);
    const std::string expression(reinterpret_cast<const char*>(data), size);
    if (expression.find('\0') != std::string::npos)
        return 0;
    transformer.setStylesheetParamExpression("p", expression.c_str());
    ScopedDom2Dom tree(transformer);
    tree->InitializeOutputTarget();
    transformer.doTransform(source, stylesheet.c_str(), *tree);
    std::istringstream in(prsm::fuzz::kDocument);
    std::ostringstream out;
    transformer.doTransform(in, stylesheet.c_str(), out);
    return 0;
}
