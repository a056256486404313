// What transformers on several threads share: compiled stylesheets and DTD grammars.
#include "PRSMXslTransformer.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace
{

using prsm::test::textStylesheet;

constexpr int kThreads = 4;

// Runs `work(i)` on kThreads threads, each with its own transformer, all starting together.
void together(std::vector<PRSMXslTransformer>& transformers,
              const std::function<void(PRSMXslTransformer&, int)>& work)
{
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back(
            [&, i]
            {
                ++ready;
                while (ready < kThreads)
                    std::this_thread::yield();
                work(transformers[i], i);
            });
    for (std::thread& thread : threads)
        thread.join();
}

// Transformers that want the same stylesheet at once: one compiles it and the others use its
// result, reading its modules ahead meanwhile; a broken one is reported to each of them alike.
TEST(ConcurrentReuse, TransformersStartingTogetherCompileAStylesheetOnce)
{
    prsm::test::TempDir dir;
    std::string includes;
    for (int module = 0; module < 8; ++module)
    {
        std::string templates;
        for (int i = module * 50; i < module * 50 + 50; ++i)
            templates += "<xsl:template match='e" + std::to_string(i) +
                         "[@a = " + std::to_string(i) +
                         "]'><xsl:value-of select='concat(@a, .)'/>" + "</xsl:template>";
        const std::string name = "m" + std::to_string(module) + ".xsl";
        dir.write(name, "<xsl:stylesheet version='1.0'"
                        " xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>\n" +
                            templates + "</xsl:stylesheet>");
        includes += "<xsl:include href='" + name + "'/>";
    }
    for (const bool broken : {false, true})
    {
        if (broken)
            dir.write("m7.xsl", "<xsl:stylesheet version='1.0'"
                                " xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>\n\n"
                                "<xsl:template match='/'><xsl:value-of select='(('/>"
                                "</xsl:template></xsl:stylesheet>");
        const std::string xsl = dir.write(broken ? "broken.xsl" : "t.xsl",
                                          textStylesheet("<xsl:apply-templates/>", includes));
        std::vector<PRSMXslTransformer> transformers(kThreads);
        std::vector<int> statuses(kThreads, -100);
        std::vector<std::string> results(kThreads);
        together(transformers,
                 [&](PRSMXslTransformer& transformer, int i)
                 {
                     results[i] = prsm::test::transformStream(
                         transformer, xsl, "<doc><e7 a='7'>x</e7><e399 a='399'>y</e399></doc>",
                         statuses[i]);
                 });
        int compiled = 0;
        for (int i = 0; i < kThreads; ++i)
        {
            compiled += transformers[i].lastStylesheetUse().isReused ? 0 : 1;
            EXPECT_EQ(statuses[i] != 0, broken) << i;
            EXPECT_EQ(results[i], broken ? "" : "7x399y") << i;
            EXPECT_STREQ(transformers[i].getLastError(), transformers[0].getLastError()) << i;
        }
        EXPECT_EQ(compiled, broken ? kThreads : 1);
        if (broken)
        {
            EXPECT_NE(std::string(transformers[0].getLastError()).find("m7.xsl"), std::string::npos)
                << transformers[0].getLastError();
        }
    }
}

// Documents naming one DTD, read on several threads at once, each with what the DTD declares
// (an entity, an attribute default) and what its own internal subset adds.
TEST(ConcurrentReuse, ReadersOnSeveralThreadsShareADtd)
{
    prsm::test::TempDir dir;
    dir.write("d.dtd", "<!ENTITY e 'one'><!ATTLIST doc k CDATA 'K'><!ELEMENT doc (#PCDATA)>");
    const std::string xsl =
        dir.write("t.xsl", textStylesheet("<xsl:value-of select='concat(/doc, \"|\", /doc/@k)'/>"));
    const std::string shared = dir.write("a.xml", "<!DOCTYPE doc SYSTEM 'd.dtd'><doc>&e;</doc>");
    const std::string own = dir.write(
        "b.xml", "<!DOCTYPE doc SYSTEM 'd.dtd' [<!ENTITY i 'I'>]><doc k='L'>&e;&i;</doc>");
    std::vector<PRSMXslTransformer> transformers(kThreads);
    std::vector<std::string> failures(kThreads);
    together(transformers,
             [&](PRSMXslTransformer& transformer, int i)
             {
                 const std::string out = dir.path("out" + std::to_string(i) + ".txt");
                 for (int round = 0; round < 20; ++round)
                 {
                     const bool isOwn = (round + i) % 5 == 0;
                     const int status = transformer.doTransform((isOwn ? own : shared).c_str(),
                                                                xsl.c_str(), out.c_str());
                     const std::string text = prsm::test::readFile(out);
                     if (status != 0 || text != (isOwn ? "oneI|L" : "one|K"))
                         failures[i] += std::to_string(round) + ": " + text + " ";
                 }
             });
    for (int i = 0; i < kThreads; ++i)
        EXPECT_EQ(failures[i], "") << i;
}

// A document that document() reads from a file, read on several threads at once, with keys and
// ids over it.
TEST(ConcurrentReuse, TransformationsOnSeveralThreadsShareTheDocumentsTheyLoad)
{
    prsm::test::TempDir dir;
    std::string data = "<d>";
    for (int i = 0; i < 200; ++i)
        data += "<e k='" + std::to_string(i % 7) + "'>" + std::to_string(i) + "</e>";
    dir.write("data.xml", data + "</d>");
    const std::string xsl = dir.write(
        "t.xsl", "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                 "<xsl:output method='text'/><xsl:key name='k' match='e' use='@k'/>"
                 "<xsl:template match='/'><xsl:for-each select=\"document('data.xml')\">"
                 "<xsl:value-of select=\"concat(count(key('k', '3')), '|', sum(//e), '|', "
                 "generate-id(//e[5]) = generate-id(key('k', '4')[1]))\"/></xsl:for-each>"
                 "</xsl:template></xsl:stylesheet>");
    std::vector<PRSMXslTransformer> transformers(kThreads);
    std::vector<std::string> failures(kThreads);
    together(transformers,
             [&](PRSMXslTransformer& transformer, int i)
             {
                 for (int round = 0; round < 10; ++round)
                 {
                     int status = 0;
                     const std::string text =
                         prsm::test::transformStream(transformer, xsl, "<doc/>", status);
                     if (status != 0 || text != "29|19900|true")
                         failures[i] += text + " ";
                 }
             });
    for (int i = 0; i < kThreads; ++i)
        EXPECT_EQ(failures[i], "") << i;
}

} // namespace
