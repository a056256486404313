// Fuzzes stylesheets: any bytes as a stylesheet file, run over one fixed document in memory.
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

// One file per process, so several fuzzing processes may share a folder.
const std::string& stylesheetFile()
{
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("prsm-fuzz-" + std::to_string(getpid()) + ".xsl"))
                                        .string();
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
    std::ofstream(stylesheetFile(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    std::ostringstream text;
    ScopedDom2Dom tree(transformer), stream(transformer);
    tree->InitializeOutputTarget();
    stream->InitializeOutputTarget(text);
    if (transformer.doTransform(*source, stylesheetFile().c_str(), *tree) == 0)
    {
        std::ostringstream out;
        tree->Serialize(out);
    }
    transformer.doTransform(*source, stylesheetFile().c_str(), *stream);
    return 0;
}
