// What every fuzz target shares: the library started once, and limits that keep one input from
// reaching outside the process or running long.
#pragma once

#include "Dom2Dom.hpp"
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace prsm::fuzz
{

// A transformer of the started library, made on first use and kept for the whole run. Inputs may
// name no resource at all (the allowed folder does not exist) and run for at most two seconds;
// every other limit is the library's default, so the limits themselves are fuzzed too.
inline PRSMXslTransformer& transformer()
{
    static PRSMXslTransformer& instance = []() -> PRSMXslTransformer&
    {
        QXXslTransformer_Initialize(nullptr);
        static PRSMXslTransformer made;
        PRSMXslLimits limits;
        limits.allowedDirectories = {"/nonexistent/prsm-fuzz"};
        limits.timeoutSeconds = 2;
        made.setLimits(limits);
        return made;
    }();
    return instance;
}

// The document the stylesheet targets run over: a little of every kind of node.
inline constexpr char kDocument[] =
    "<?xml version='1.0'?><list kind='demo'><item n='2'>b<i>x</i></item>"
    "<item n='1'>a</item><!-- c --><?pi d?></list>";

// kDocument parsed once into a handle of transformer(), kept for the whole run.
inline Dom2Dom& document()
{
    static ScopedDom2Dom& handle = []() -> ScopedDom2Dom&
    {
        static ScopedDom2Dom made(transformer());
        made->InitializeInputSource(kDocument);
        return made;
    }();
    return *handle;
}

// A file of this process's own in the temporary folder, named after `tag`, so that several
// fuzzing processes may share the folder.
inline std::string processFile(const std::string& tag)
{
    return (std::filesystem::temp_directory_path() /
            (tag + '-' + std::to_string(getpid()) + ".xsl"))
        .string();
}

// processFile(tag), holding `text`.
inline std::string writeProcessFile(const std::string& tag, const char* text)
{
    const std::string file = processFile(tag);
    std::ofstream(file, std::ios::trunc) << text;
    return file;
}

} // namespace prsm::fuzz
