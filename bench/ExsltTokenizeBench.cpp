// Times str:tokenize, str:split and str:replace over one string of a megabyte and more, doubling
// its size each round: the times must double with it, not grow fourfold.
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

const char* const kExpressions[] = {
    "count(str:tokenize(doc))",
    "count(str:split(doc, ' '))",
    "string-length(str:replace(doc, 'token', 'word'))",
};

std::string makeDocument(int tokens)
{
    std::string text = "<doc>";
    for (int i = 0; i < tokens; ++i)
        text += "token" + std::to_string(i % 1000) + "  ";
    return text + "</doc>";
}

} // namespace

int main()
{
    const auto dir = std::filesystem::temp_directory_path() / "prsm-exslt-bench";
    std::filesystem::create_directories(dir);
    QXXslTransformer_Initialize(nullptr);
    {
        PRSMXslTransformer transformer;
        for (const char* expression : kExpressions)
        {
            const auto xsl = dir / "t.xsl";
            std::ofstream(xsl) << "<xsl:stylesheet version='1.0' "
                                  "xmlns:xsl='http://www.w3.org/1999/XSL/Transform' "
                                  "xmlns:str='http://exslt.org/strings'><xsl:output method='text'/>"
                                  "<xsl:template match='/'><xsl:value-of select=\""
                               << expression << "\"/></xsl:template></xsl:stylesheet>";
            for (int tokens = 100'000; tokens <= 400'000; tokens *= 2)
            {
                const std::string document = makeDocument(tokens);
                std::istringstream in(document);
                std::ostringstream out;
                const auto start = std::chrono::steady_clock::now();
                const int status = transformer.doTransform(in, xsl.string().c_str(), out);
                const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
                if (status != 0)
                {
                    std::cerr << "transformation failed: " << transformer.getLastError() << '\n';
                    return 1;
                }
                std::printf("%-50s %8.2f MB %8.3f s  %s\n", expression, document.size() / 1e6,
                            took.count(), out.str().c_str());
            }
        }
    }
    QXXslTransformer_Terminate(nullptr);
    std::filesystem::remove_all(dir);
    return 0;
}
