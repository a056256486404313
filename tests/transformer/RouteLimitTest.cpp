// Limits on the routes around the source document: stylesheets and their modules and DTDs,
// entity expansion inside attribute values and external entities, long single steps inside the
// library's functions, and the memory bound across refused operations.
#include "PRSMXslFailure.hpp"
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/HostileDocuments.hpp"
#include "support/SilentServer.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace
{

using prsm::test::repeated;
using prsm::test::textStylesheet;

constexpr const char* kEcho = "<doc>ok</doc>";

std::string exsltStylesheet(const std::string& body)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:str='http://exslt.org/strings' xmlns:dyn='http://exslt.org/dynamic'>"
           "<xsl:output method='text'/><xsl:template match='/'>" +
           body + "</xsl:template></xsl:stylesheet>";
}

// A folder `allowed` with the stylesheets and sources of the cases, and a folder `outside` with
// what they must not read.
struct Files
{
    prsm::test::TempDir dir;
    Files()
    {
        std::filesystem::create_directories(dir.path("outside"));
        std::filesystem::create_directories(dir.path("allowed"));
        const std::string echo = textStylesheet("<xsl:value-of select='/'/>");
        dir.write("outside/secret.txt", "SECRET");
        dir.write("outside/leak.dtd", "<!ENTITY leak SYSTEM 'secret.txt'>");
        dir.write("allowed/leak.dtd", "<!ENTITY leak SYSTEM '../outside/secret.txt'>");
        dir.write("allowed/big.txt", std::string(1000000, 'y'));
        const std::string dtdStylesheet =
            "<!DOCTYPE xsl:stylesheet [<!ENTITY e 'expanded'>]>" + textStylesheet("&e;");
        dir.write("allowed/internal.xsl", dtdStylesheet);
        dir.write("allowed/module.xsl", dtdStylesheet);
        dir.write("allowed/includer.xsl",
                  "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/"
                  "Transform'><xsl:include href='module.xsl'/></xsl:stylesheet>");
        dir.write("allowed/outside-dtd.xsl",
                  "<!DOCTYPE xsl:stylesheet SYSTEM '../outside/leak.dtd'>" +
                      textStylesheet("&leak;"));
        dir.write("allowed/entity-outside.xsl",
                  "<!DOCTYPE xsl:stylesheet SYSTEM 'leak.dtd'>" + textStylesheet("&leak;"));
        dir.write("allowed/echo.xsl", echo);
        dir.write("allowed/big-attribute.xsl",
                  "<!DOCTYPE xsl:stylesheet [<!ENTITY big '" + std::string(100000, 'x') + "'>]>" +
                      textStylesheet("<xsl:value-of select='string-length(@a)'/>",
                                     "<xsl:variable name='v' select=\"'" + repeated("&big;", 5000) +
                                         "'\"/>"));
    }
    std::string path(const std::string& name) const { return dir.path(name); }
};

// `count` namespace declarations, each of its own prefix.
std::string declarations(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += " xmlns:p" + std::to_string(i) + "='urn:" + std::to_string(i) + "'";
    return text;
}

std::size_t residentMegabytes()
{
    unsigned long size = 0;
    unsigned long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm != nullptr)
    {
        if (std::fscanf(statm, "%lu %lu", &size, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

// Runs `stylesheet` (a file) over `source` (text, also in the file `sourceName`) from a stream
// and from the file; hands `check` the path and the seconds each took.
void runOnPaths(PRSMXslTransformer& transformer, const std::string& stylesheet,
                const std::string& source, const std::string& sourceName,
                const std::function<void(const char* path, double seconds)>& check)
{
    auto start = std::chrono::steady_clock::now();
    const auto seconds = [&start]
    {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        start = std::chrono::steady_clock::now();
        return elapsed.count();
    };
    std::istringstream in(source);
    std::ostringstream out;
    transformer.doTransform(in, stylesheet.c_str(), out);
    check("stream", seconds());
    const std::string outName = sourceName + ".out";
    transformer.doTransform(sourceName.c_str(), stylesheet.c_str(), outName.c_str());
    check("file", seconds());
}

TEST(RouteLimits, HoldOnStylesheetsEntitiesAndLongStepsAndLeaveTheTransformerUsable)
{
    const Files files;
    const auto limitsWith = [](const std::function<void(PRSMXslLimits&)>& set)
    {
        PRSMXslLimits limits;
        set(limits);
        return limits;
    };
    const std::string allowed = files.path("allowed");
    const prsm::test::SilentServer server;
    const auto waiting = [](auto& l)
    {
        l.allowNetwork = true;
        l.processXInclude = true;
        l.timeoutSeconds = 1;
    };
    const struct
    {
        const char* name;
        PRSMXslLimits limits;
        std::string stylesheet; // a file name in `allowed`
        std::string source;
        const char* errorPart; // empty: must succeed
        double seconds;        // the bound on each run, generous for a loaded machine
    } cases[] = {
        {"internal subset of a stylesheet", limitsWith([](auto& l) { l.allowDtd = false; }),
         "internal.xsl", kEcho, "(PRSMXslLimits::allowDtd)", 10},
        {"internal subset of an included module", limitsWith([](auto& l) { l.allowDtd = false; }),
         "includer.xsl", kEcho, "(PRSMXslLimits::allowDtd)", 10},
        {"external DTD of a stylesheet outside the folders",
         limitsWith([&](auto& l) { l.allowedDirectories = {allowed}; }), "outside-dtd.xsl", kEcho,
         "(PRSMXslLimits::allowedDirectories)", 10},
        {"entity of a stylesheet's DTD outside the folders",
         limitsWith([&](auto& l) { l.allowedDirectories = {allowed}; }), "entity-outside.xsl",
         kEcho, "(PRSMXslLimits::allowedDirectories)", 10},
        {"an empty folder entry allows nothing",
         limitsWith([](auto& l) { l.allowedDirectories = {""}; }), "entity-outside.xsl", kEcho,
         "(PRSMXslLimits::allowedDirectories)", 10},
        {"large entity 5,000 times in a source attribute", PRSMXslLimits(), "echo.xsl",
         "<!DOCTYPE d [<!ENTITY big '" + std::string(100000, 'x') + "'>]><d a='" +
             repeated("&big;", 5000) + "'/>",
         "(PRSMXslLimits::maxAmplification)", 10},
        {"large entity 5,000 times in a stylesheet attribute", PRSMXslLimits(), "big-attribute.xsl",
         kEcho, "(PRSMXslLimits::maxAmplification)", 10},
        {"large external entity 3,000 times", PRSMXslLimits(), "echo.xsl",
         "<!DOCTYPE d [<!ENTITY big SYSTEM '" + files.path("allowed/big.txt") + "'>]><d>" +
             repeated("&big;", 3000) + "</d>",
         "(PRSMXslLimits::maxAmplification)", 10},
        {"str:padding of a billion",
         limitsWith(
             [](auto& l)
             {
                 l.timeoutSeconds = 1;
                 l.maxMemoryMegabytes = 100;
             }),
         "padding.xsl", kEcho, "PRSMXslLimits::", 10},
        {"str:padding of 400,000 pairs within its time bound",
         limitsWith([](auto& l) { l.timeoutSeconds = 20; }), "pairs.xsl", kEcho, "", 25},
        {"str:encode-uri over 200,000 text nodes",
         limitsWith([](auto& l) { l.timeoutSeconds = 20; }), "encode.xsl",
         "<doc>" + repeated("<i>a b</i>", 200000) + "</doc>", "", 25},
        {"dyn:map over 20,000 nodes", limitsWith([](auto& l) { l.timeoutSeconds = 1; }), "map.xsl",
         "<doc>" + repeated("<i/>", 20000) + "</doc>", "(PRSMXslLimits::timeoutSeconds)", 10},
        {"nested result-tree fragments over a 4,900-deep document",
         limitsWith(
             [](auto& l)
             {
                 l.timeoutSeconds = 2;
                 l.maxMemoryMegabytes = 500;
             }),
         "nested-fragments.xsl", repeated("<a>", 4900) + repeated("</a>", 4900),
         "PRSMXslLimits::", 10},
        {"an element with 50,000 namespace declarations", PRSMXslLimits(), "identity.xsl",
         "<d " + declarations(50000) + "/>", "(PRSMXslLimits::maxAttributes)", 10},
        {"identity copy of elements with 9,000 namespace declarations each",
         limitsWith([](auto& l) { l.timeoutSeconds = 1; }), "identity.xsl",
         "<d>" + repeated("<e " + declarations(9000) + "/>", 5) + "</d>",
         "(PRSMXslLimits::timeoutSeconds)", 5},
        {"concat() over 200,000 text nodes", limitsWith([](auto& l) { l.timeoutSeconds = 20; }),
         "concat.xsl", "<doc>" + repeated("<i>ab</i>", 200000) + "</doc>", "", 25},
        {"document() of a server that never answers", limitsWith(waiting), "network.xsl", kEcho,
         "(PRSMXslLimits::timeoutSeconds)", 10},
        {"xsl:include from a server that never answers", limitsWith(waiting), "network-include.xsl",
         kEcho, "(PRSMXslLimits::timeoutSeconds)", 10},
        {"a source's DTD from a server that never answers", limitsWith(waiting), "echo.xsl",
         "<!DOCTYPE d SYSTEM '" + server.url() + "d.dtd'><d/>", "(PRSMXslLimits::timeoutSeconds)",
         10},
        {"XInclude from a server that never answers", limitsWith(waiting), "echo.xsl",
         "<d xmlns:xi='http://www.w3.org/2001/XInclude'><xi:include href='" + server.url() +
             "i.xml'/></d>",
         "(PRSMXslLimits::timeoutSeconds)", 10},
    };
    files.dir.write("allowed/padding.xsl",
                    exsltStylesheet("<xsl:value-of select=\"string-length(str:padding(1000000000, "
                                    "'a'))\"/>"));
    files.dir.write("allowed/pairs.xsl",
                    exsltStylesheet("<xsl:value-of select=\"string-length(str:padding(400000, "
                                    "'ab'))\"/>"));
    files.dir.write(
        "allowed/encode.xsl",
        exsltStylesheet("<xsl:value-of select='string-length(str:encode-uri(/doc, true()))'/>"));
    files.dir.write(
        "allowed/map.xsl",
        exsltStylesheet("<xsl:value-of select=\"count(dyn:map(//i, 'count(//i)'))\"/>"));
    files.dir.write("allowed/nested-fragments.xsl",
                    textStylesheet("<xsl:apply-templates/>",
                                   "<xsl:template match='*'><xsl:variable name='v'><xsl:copy>"
                                   "<xsl:apply-templates/></xsl:copy></xsl:variable>"
                                   "<xsl:copy-of select='$v'/></xsl:template>"));
    files.dir.write("allowed/identity.xsl",
                    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/"
                    "Transform'><xsl:template match='@*|node()'><xsl:copy><xsl:apply-templates "
                    "select='@*|node()'/></xsl:copy></xsl:template></xsl:stylesheet>");
    files.dir.write("allowed/concat.xsl",
                    exsltStylesheet("<xsl:value-of select=\"string-length(concat(/, ''))\"/>"));
    files.dir.write(
        "allowed/network.xsl",
        exsltStylesheet("<xsl:value-of select=\"count(document('" + server.url() + "d.xml'))\"/>"));
    files.dir.write("allowed/network-include.xsl",
                    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/"
                    "Transform'><xsl:include href='" +
                        server.url() + "m.xsl'/></xsl:stylesheet>");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        PRSMXslTransformer transformer;
        transformer.setLimits(c.limits);
        const std::string sourceName = files.path("allowed/source.xml");
        files.dir.write("allowed/source.xml", c.source);
        runOnPaths(transformer, files.path("allowed/" + c.stylesheet), c.source, sourceName,
                   [&](const char* path, double seconds)
                   {
                       SCOPED_TRACE(path);
                       EXPECT_LT(seconds, c.seconds);
                       const PRSMXslFailure failure = transformer.lastFailure();
                       if (*c.errorPart == '\0')
                       {
                           EXPECT_EQ(failure.status, 0) << failure.message;
                           return;
                       }
                       EXPECT_NE(failure.status, 0);
                       EXPECT_EQ(failure.kind, PRSMXslFailureKind::Limit) << failure.message;
                       EXPECT_NE(failure.message.find(c.errorPart), std::string::npos)
                           << failure.message;
                   });
        // Usable afterwards, under the same limits.
        int status = -1;
        EXPECT_EQ(
            prsm::test::transformStream(transformer, files.path("allowed/echo.xsl"), kEcho, status),
            "ok");
        EXPECT_EQ(status, 0) << transformer.getLastError();
    }
}

// What a refused operation leaves resident must not widen the bound of the next one.
TEST(RouteLimits, MemoryBoundDoesNotDriftOverRefusedOperations)
{
    const Files files;
    files.dir.write("padding.xsl",
                    exsltStylesheet("<xsl:value-of select=\"string-length(str:padding(1000000000, "
                                    "'a'))\"/>"));
    PRSMXslLimits limits;
    limits.maxMemoryMegabytes = 100;
    PRSMXslTransformer transformer;
    transformer.setLimits(limits);
    const std::size_t before = residentMegabytes();
    std::size_t peak = before;
    for (int run = 0; run < 5; ++run)
    {
        // Refused in the transformation, or, once memory is short, already in the parse.
        std::istringstream in(kEcho);
        std::ostringstream out;
        EXPECT_NE(transformer.doTransform(in, files.path("padding.xsl").c_str(), out), 0);
        EXPECT_NE(transformer.lastFailure().message.find("maxMemoryMegabytes"), std::string::npos)
            << transformer.lastFailure().message;
        peak = std::max(peak, residentMegabytes());
    }
    // Each run may grow by 100 MB and a little before the bound is seen; five runs drifting
    // would reach well over a gigabyte.
    EXPECT_LT(peak - before, 450u);
}

} // namespace
