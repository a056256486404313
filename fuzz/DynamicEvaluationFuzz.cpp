// Fuzzes dynamic evaluation: any bytes as the expression of dyn:evaluate, dyn:map and
// xalan:evaluate in one fixed stylesheet, over one fixed document in memory.
#include "Dom2Dom.hpp"
#include "FuzzSession.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace
{

const char kStylesheet[] =
    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
    " xmlns:dyn='http://exslt.org/dynamic' xmlns:xalan='http://xml.apache.org/xalan'>"
    "<xsl:param name='e' select=\"''\"/><xsl:variable name='v' select='//item'/>"
    "<xsl:template match='/'><r><xsl:copy-of select='dyn:evaluate($e)'/>"
    "<m><xsl:copy-of select='dyn:map(//*, $e)'/></m>"
    "<x><xsl:value-of select='xalan:evaluate($e)'/></x></r></xsl:template>"
    "</xsl:stylesheet>";

// `text` as one XPath string literal, whatever quotes it holds.
std::string literal(const std::string& text)
{
    std::string result = "concat('";
    for (const char c : text)
        result += c == '\'' ? std::string("', \"'\", '") : std::string(1, c);
    return result + "', '')";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PRSMXslTransformer& transformer = prsm::fuzz::transformer();
    Dom2Dom& source = prsm::fuzz::document();
    static const std::string stylesheet =
        prsm::fuzz::writeProcessFile("prsm-fuzz-dyn", kStylesheet);
    const std::string expression(reinterpret_cast<const char*>(data), size);
    if (expression.find('\0') != std::string::npos)
        return 0;
    transformer.setStylesheetParamExpression("e", literal(expression).c_str());
    ScopedDom2Dom tree(transformer);
    tree->InitializeOutputTarget();
    if (transformer.doTransform(source, stylesheet.c_str(), *tree) == 0)
    {
        // Serialize lets the engine's exceptions through, as documented: a result may hold a
        // character XML cannot write.
        try
        {
            std::ostringstream out;
            tree->Serialize(out);
        }
        catch (...)
        {
        }
    }
    return 0;
}
