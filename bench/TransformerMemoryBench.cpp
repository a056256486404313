// Peak resident size of one transformer over many small file transformations, cycling through
// more stylesheets than the process keeps compiled: it must stay flat.
#include "PRSMXslTransformer.hpp"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/resource.h>

namespace
{

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void write(const std::filesystem::path& file, const char* text)
{
    std::ofstream(file) << text;
}

} // namespace

int main(int argc, char** argv)
{
    const long total = argc > 1 ? std::atol(argv[1]) : 10000;
    const auto dir = std::filesystem::temp_directory_path() / "prsm-memory-bench";
    std::filesystem::create_directories(dir);
    write(dir / "in.xml", "<order id='7'><line sku='a' qty='2'/><line sku='b' qty='5'/></order>");
    // Twice as many stylesheets as are kept, so every round compiles and evicts some.
    constexpr int kStylesheets = 128;
    for (int n = 0; n < kStylesheets; ++n)
        write(dir / ("t" + std::to_string(n) + ".xsl"),
              ("<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
               "<xsl:param name='who'/><xsl:template match='/order'><summary by='{$who}' n='" +
               std::to_string(n) +
               "' lines='{count(line)}' qty='{sum(line/@qty)}'/></xsl:template></xsl:stylesheet>")
                  .c_str());
    const std::string in = (dir / "in.xml").string();
    const std::string out = (dir / "out.xml").string();

    QXXslTransformer_Initialize(nullptr);
    {
        PRSMXslTransformer transformer;
        transformer.setStylesheetParam("who", "bench");
        const auto start = std::chrono::steady_clock::now();
        long afterWarmUp = 0;
        // By then every stylesheet has been compiled twice and the kept set is full.
        const long warmUp = 2 * 10 * kStylesheets;
        for (long i = 1; i <= total; ++i)
        {
            // Mostly one stylesheet, as a service would; every tenth call another one.
            const long n = i % 10 == 0 ? (i / 10) % kStylesheets : 0;
            const std::string xsl = (dir / ("t" + std::to_string(n) + ".xsl")).string();
            if (transformer.doTransform(in.c_str(), xsl.c_str(), out.c_str()) != 0)
            {
                std::cerr << "transformation failed: " << transformer.getLastError() << '\n';
                return 1;
            }
            if (i == warmUp)
                afterWarmUp = peakResidentKiB();
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long afterAll = peakResidentKiB();
        std::printf("peak RSS after %ld transformations: %ld KiB\n", warmUp, afterWarmUp);
        std::printf("peak RSS after %ld transformations: %ld KiB (growth %ld KiB)\n", total,
                    afterAll, afterAll - afterWarmUp);
        std::printf("%.1f transformations per second\n", total / seconds);
    }
    QXXslTransformer_Terminate(nullptr);
    std::filesystem::remove_all(dir);
    return 0;
}
