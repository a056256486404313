// Fuzzes dynamic evaluation: any bytes as the expression of dyn:evaluate, dyn:map and
// xalan:evaluate in one fixed stylesheet, over one fixed document in memory.
#include "Dom2Dom.hpp"
#include "FuzzSession.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace
{

const char kDocument[] = "<?xml version='1.0'?><list kind='demo'><item n='2'>b<i>x</i></item>"
                         "<item n='1'>a</item><!-- c --><?pi d?></list>";

const char kStylesheet[] =
    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
    " xmlns:dyn='http://exslt.org/dynamic' xmlns:xalan='http://xml.apache.org/xalan'>"
    "<xsl:param name='e' select=\"''\"/><xsl:variable name='v' select='//item'/>"
    "<xsl:template match='/'><r><xsl:copy-of select='dyn:evaluate($e)'/>"
    "<m><xsl:copy-of select='dyn:map(//*, $e)'/></m>"
    "<x><xsl:value-of select='xalan:evaluate($e)'/></x></r></xsl:template>"
    "</xsl:stylesheet>";

// Written once per process, so several fuzzing processes may share a folder.
const std::string& stylesheetFile()
{
    static const std::string path = []
    {
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("prsm-fuzz-dyn-" + std::to_string(getpid()) + ".xsl"))
                                     .string();
        std::ofstream(file, std::ios::trunc) << kStylesheet;
        return file;
    }();
    return path;
}

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
    static ScopedDom2Dom& source = []() -> ScopedDom2Dom&
    {
        static ScopedDom2Dom handle(prsm::fuzz::transformer());
        handle->InitializeInputSource(kDocument);
        return handle;
    }();
    const std::string expression(reinterpret_cast<const char*>(data), size);
    if (expression.find('\0') != std::string::npos)
        return 0;
    transformer.setStylesheetParamExpression("e", literal(expression).c_str());
    ScopedDom2Dom tree(transformer);
    tree->InitializeOutputTarget();
    if (transformer.doTransform(*source, stylesheetFile().c_str(), *tree) == 0)
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
