// Fuzzes stylesheet parameters given as expressions: any bytes as the expression of one
// parameter, on the stream and the in-memory paths.
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
    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
    "<xsl:param name='p'/><xsl:variable name='v' select='1'/>"
    "<xsl:template match='/'><r n='{count($p)}'><xsl:copy-of select='$p'/>"
    "<xsl:value-of select='$p'/></r></xsl:template></xsl:stylesheet>";

// Written once per process, so several fuzzing processes may share a folder.
const std::string& stylesheetFile()
{
    static const std::string path = []
    {
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("prsm-fuzz-param-" + std::to_string(getpid()) + ".xsl"))
                                     .string();
        std::ofstream(file, std::ios::trunc) << kStylesheet;
        return file;
    }();
    return path;
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
    transformer.setStylesheetParamExpression("p", expression.c_str());
    ScopedDom2Dom tree(transformer);
    tree->InitializeOutputTarget();
    transformer.doTransform(*source, stylesheetFile().c_str(), *tree);
    std::istringstream in(kDocument);
    std::ostringstream out;
    transformer.doTransform(in, stylesheetFile().c_str(), out);
    return 0;
}
