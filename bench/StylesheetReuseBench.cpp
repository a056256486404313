// Per-transformation time of small documents: the library with and without stylesheet reuse,
// against the engine's own transformer running a stylesheet it compiled once.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>

namespace
{

// Microseconds per call of `run`, the fastest of three rounds of `count` calls.
double microsPerCall(int count, const std::function<void()>& run)
{
    double best = 1e300;
    for (int round = 0; round < 3; ++round)
    {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i)
            run();
        const std::chrono::duration<double, std::micro> spent =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count() / count);
    }
    return best;
}

std::string document()
{
    std::string text = "<catalogue>";
    for (int i = 0; i < 20; ++i)
        text += "<item id='" + std::to_string(i) + "' price='" + std::to_string(i * 3) +
                "'><name>Item number " + std::to_string(i) + "</name></item>";
    return text + "</catalogue>";
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const auto dir = std::filesystem::temp_directory_path() / "prsm-reuse-bench";
    std::filesystem::create_directories(dir);
    const std::string xml = document();
    std::ofstream(dir / "in.xml") << xml;
    std::ofstream(dir / "t.xsl")
        << "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
           "<xsl:output method='html'/><xsl:template match='/'><table><xsl:for-each "
           "select='catalogue/item'><xsl:sort select='@price' data-type='number' order="
           "'descending'/><tr><td><xsl:value-of select='name'/></td><td><xsl:value-of "
           "select='format-number(@price, \"#,##0.00\")'/></td></tr></xsl:for-each></table>"
           "</xsl:template></xsl:stylesheet>";
    const std::string in = (dir / "in.xml").string(), xsl = (dir / "t.xsl").string();
    const std::string out = (dir / "out.html").string();
    // The same stylesheet spread over 100 included modules, each checked on every reuse.
    std::string includes;
    for (int i = 0; i < 100; ++i)
    {
        const std::string name = "m" + std::to_string(i) + ".xsl";
        std::ofstream(dir / name)
            << "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
               "<xsl:template name='t"
            << i << "'/></xsl:stylesheet>";
        includes += "<xsl:include href='" + name + "'/>";
    }
    std::ifstream single(dir / "t.xsl");
    std::string text((std::istreambuf_iterator<char>(single)), std::istreambuf_iterator<char>());
    text.insert(text.find("<xsl:output"), includes);
    std::ofstream(dir / "modules.xsl") << text;
    const std::string modular = (dir / "modules.xsl").string();

    QXXslTransformer_Initialize(nullptr);
    double engine = 0, reuse = 0, noReuse = 0, handles = 0, engineCold = 0, cold = 0;
    double engineModular = 0, reuseModular = 0;
    {
        // A first call: a new transformer and a stylesheet that no one has compiled yet.
        engineCold = microsPerCall(count / 20,
                                   [&]
                                   {
                                       xalanc::XalanTransformer fresh;
                                       fresh.transform(xalanc::XSLTInputSource(in.c_str()),
                                                       xalanc::XSLTInputSource(xsl.c_str()),
                                                       xalanc::XSLTResultTarget(out.c_str()));
                                   });
        cold = microsPerCall(count / 20,
                             [&]
                             {
                                 QXXslTransformer_ClearStylesheetCache();
                                 PRSMXslTransformer fresh;
                                 fresh.doTransform(in.c_str(), xsl.c_str(), out.c_str());
                             });

        xalanc::XalanTransformer own;
        const xalanc::XalanCompiledStylesheet* compiled = nullptr;
        own.compileStylesheet(xalanc::XSLTInputSource(xsl.c_str()), compiled);
        engine = microsPerCall(count,
                               [&]
                               {
                                   own.transform(xalanc::XSLTInputSource(in.c_str()), compiled,
                                                 xalanc::XSLTResultTarget(out.c_str()));
                               });

        PRSMXslTransformer transformer;
        reuse = microsPerCall(count, [&]
                              { transformer.doTransform(in.c_str(), xsl.c_str(), out.c_str()); });

        const xalanc::XalanCompiledStylesheet* compiledModular = nullptr;
        own.compileStylesheet(xalanc::XSLTInputSource(modular.c_str()), compiledModular);
        engineModular =
            microsPerCall(count,
                          [&]
                          {
                              own.transform(xalanc::XSLTInputSource(in.c_str()), compiledModular,
                                            xalanc::XSLTResultTarget(out.c_str()));
                          });
        reuseModular = microsPerCall(
            count, [&] { transformer.doTransform(in.c_str(), modular.c_str(), out.c_str()); });
        ScopedDom2Dom source(transformer);
        source->InitializeInputSource(xml.c_str());
        handles = microsPerCall(count,
                                [&]
                                {
                                    std::ostringstream result;
                                    ScopedDom2Dom target(transformer);
                                    target->InitializeOutputTarget(result);
                                    transformer.doTransform(*source, xsl.c_str(), *target);
                                });
        QXXslTransformer_SetStylesheetCacheSize(0);
        noReuse = microsPerCall(count / 4, [&]
                                { transformer.doTransform(in.c_str(), xsl.c_str(), out.c_str()); });
    }
    QXXslTransformer_Terminate(nullptr);
    std::printf("engine's transformer, compiled once: %8.1f us per transformation\n", engine);
    std::printf("file path with reuse:                %8.1f us  (%.2fx the engine)\n", reuse,
                reuse / engine);
    std::printf("100 modules, engine compiled once:   %8.1f us per transformation\n",
                engineModular);
    std::printf("100 modules, file path with reuse:   %8.1f us  (%.2fx the engine)\n", reuseModular,
                reuseModular / engineModular);
    std::printf("file path without reuse:             %8.1f us  (%.2fx the engine)\n", noReuse,
                noReuse / engine);
    std::printf("in-memory handles with reuse:        %8.1f us  (%.2fx the engine)\n", handles,
                handles / engine);
    std::printf("first call of a new transformer:     %8.1f us  (%.2fx the engine's, %.1f us)\n",
                cold, cold / engineCold, engineCold);
    return 0;
}
