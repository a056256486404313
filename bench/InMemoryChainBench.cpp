// Times a chain of three stylesheets over a document of a few megabytes, once through document
// handles (one parse, trees between stages) and once through files (write and parse between
// stages), and prints both times and their ratio.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace
{

const char* const kHeader = "<xsl:stylesheet version='1.0' "
                            "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>";

const std::string kStages[] = {
    // Reshape every record.
    std::string(kHeader) +
        "<xsl:template match='/'><items><xsl:apply-templates select='doc/rec'/></items>"
        "</xsl:template><xsl:template match='rec'><item n='{@id}' name='{name}'>"
        "<xsl:value-of select='v * 2'/></item></xsl:template></xsl:stylesheet>",
    // Keep every other one.
    std::string(kHeader) +
        "<xsl:template match='/'><kept><xsl:copy-of select='items/item[@n mod 2 = 0]'/></kept>"
        "</xsl:template></xsl:stylesheet>",
    // Summarise.
    std::string(kHeader) +
        "<xsl:output method='text'/><xsl:template match='/'><xsl:value-of "
        "select='count(kept/item)'/> <xsl:value-of select='sum(kept/item)'/></xsl:template>"
        "</xsl:stylesheet>",
};

std::string makeDocument(int records)
{
    std::ostringstream text;
    text << "<doc>";
    for (int i = 0; i < records; ++i)
        text << "<rec id='" << i << "'><name>record number " << i << " \xC3\xA9t\xC3\xA9</name><v>"
             << i % 97 << "</v></rec>";
    text << "</doc>";
    return text.str();
}

void writeFile(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

I18NString name(const std::filesystem::path& path)
{
    return I18NString(path.string().c_str());
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Parses the text once and passes trees between stages; the last stage writes to a stream.
std::string chainThroughHandles(PRSMXslTransformer& transformer, const std::string& document,
                                const std::filesystem::path (&stylesheets)[3])
{
    std::ostringstream result;
    const ScopedDom2Dom source(transformer), first(transformer), second(transformer),
        last(transformer);
    const bool ready = source->InitializeInputSource(document.c_str()) &&
                       first->InitializeOutputTarget() && second->InitializeOutputTarget() &&
                       last->InitializeOutputTarget(result);
    const int status = !ready                                                                ? -100
                       : transformer.doTransform(*source, name(stylesheets[0]), *first) != 0 ? -101
                       : transformer.doTransform(*first, name(stylesheets[1]), *second) != 0
                           ? -102
                           : transformer.doTransform(*second, name(stylesheets[2]), *last);
    if (status != 0)
        return "failed: " + std::string(transformer.getLastError());
    return result.str();
}

// Writes and parses every intermediate result.
std::string chainThroughFiles(PRSMXslTransformer& transformer, const std::filesystem::path& dir,
                              const std::filesystem::path (&stylesheets)[3])
{
    const std::filesystem::path files[] = {dir / "source.xml", dir / "one.xml", dir / "two.xml",
                                           dir / "result.txt"};
    for (int stage = 0; stage < 3; ++stage)
    {
        if (transformer.doTransform(name(files[stage]), name(stylesheets[stage]),
                                    name(files[stage + 1])) != 0)
            return "failed: " + std::string(transformer.getLastError());
    }
    return readFile(files[3]);
}

} // namespace

int main()
{
    QXXslTransformer_Initialize(nullptr);
    int exitCode = 0;
    {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / "prsm-chain-bench";
        std::filesystem::create_directories(dir);
        std::filesystem::path stylesheets[3];
        for (int stage = 0; stage < 3; ++stage)
        {
            stylesheets[stage] = dir / ("stage" + std::to_string(stage) + ".xsl");
            writeFile(stylesheets[stage], kStages[stage]);
        }
        const std::string document = makeDocument(40000);
        PRSMXslTransformer transformer;

        // One untimed round first, so that neither path pays the process's first-use costs.
        std::string inMemory = chainThroughHandles(transformer, document, stylesheets);
        writeFile(dir / "source.xml", document);
        std::string onDisk = chainThroughFiles(transformer, dir, stylesheets);

        // Alternating rounds; the file chain starts from the same text on disk and parses it.
        const int rounds = 3;
        double handleSeconds = 0;
        double fileSeconds = 0;
        for (int round = 0; round < rounds; ++round)
        {
            Clock::time_point start = Clock::now();
            inMemory = chainThroughHandles(transformer, document, stylesheets);
            handleSeconds += secondsSince(start) / rounds;

            start = Clock::now();
            writeFile(dir / "source.xml", document);
            onDisk = chainThroughFiles(transformer, dir, stylesheets);
            fileSeconds += secondsSince(start) / rounds;
        }

        std::printf("document:        %.1f MB, 3 stylesheets\n", document.size() / 1e6);
        std::printf("through handles: %.3f s per chain\n", handleSeconds);
        std::printf("through files:   %.3f s per chain\n", fileSeconds);
        std::printf("files / handles: %.2f\n", fileSeconds / handleSeconds);
        if (inMemory != onDisk)
        {
            std::cerr << "results differ: '" << inMemory << "' vs '" << onDisk << "'\n";
            exitCode = 1;
        }
        std::filesystem::remove_all(dir);
    }
    QXXslTransformer_Terminate(nullptr);
    return exitCode;
}
