// Fuzzes stylesheets: any bytes as a stylesheet file, run over one fixed document in memory.
#include "Dom2Dom.hpp"
#include "FuzzSession.hpp"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PRSMXslTransformer& transformer = prsm::fuzz::transformer();
    Dom2Dom& source = prsm::fuzz::document();
    static const std::string stylesheet = prsm::fuzz::processFile("prsm-fuzz");
    std::ofstream(stylesheet, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    std::ostringstream text;
    ScopedDom2Dom tree(transformer), stream(transformer);
    tree->InitializeOutputTarget();
    stream->InitializeOutputTarget(text);
    if (transformer.doTransform(source, stylesheet.c_str(), *tree) == 0)
    {
        std::ostringstream out;
        tree->Serialize(out);
    }
    transformer.doTransform(source, stylesheet.c_str(), *stream);
    return 0;
}
