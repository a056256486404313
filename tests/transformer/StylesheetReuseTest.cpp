// Compiled stylesheets reused across calls: what a host sees when files change or fail.
#include "Dom2Dom.hpp"
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Handles.hpp"
#include "support/HostFunction.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace
{

using prsm::test::textStylesheet;

class StylesheetReuse : public ::testing::Test
{
protected:
    // Writes the stylesheet file with `body`, keeping the modification time it had when `sameTime`.
    void write(const std::string& body, bool sameTime = false)
    {
        const bool existed = std::filesystem::exists(m_xsl);
        const auto before =
            existed ? std::filesystem::last_write_time(m_xsl) : std::filesystem::file_time_type();
        m_dir.write("t.xsl", textStylesheet(body));
        if (existed && sameTime)
            std::filesystem::last_write_time(m_xsl, before);
        else if (existed) // a later time even on a coarse clock
            std::filesystem::last_write_time(m_xsl, before + std::chrono::seconds(2));
    }

    std::string run(PRSMXslTransformer& transformer)
    {
        return prsm::test::transformStream(transformer, m_xsl, "<doc/>", m_status);
    }

    void TearDown() override { QXXslTransformer_SetStylesheetCacheSize(64); }

    prsm::test::TempDir m_dir;
    std::string m_xsl = m_dir.path("t.xsl");
    PRSMXslTransformer m_transformer;
    int m_status = -100;
};

TEST_F(StylesheetReuse, AChangedFileIsCompiledAgainAndClearingForgetsTheRest)
{
    write("one");
    EXPECT_EQ(run(m_transformer), "one");
    PRSMXslTransformer other;
    write("two"); // same size, later time
    EXPECT_EQ(run(other), "two");
    write("three");
    EXPECT_EQ(run(m_transformer), "three");
    write("fours", true); // same size and time: looks unchanged until the host clears
    EXPECT_EQ(run(m_transformer), "three");
    QXXslTransformer_ClearStylesheetCache();
    EXPECT_EQ(run(m_transformer), "fours");
    QXXslTransformer_SetStylesheetCacheSize(0);
    write("fives", true);
    EXPECT_EQ(run(m_transformer), "fives");
    EXPECT_EQ(m_status, 0);
}

TEST_F(StylesheetReuse, ABrokenStylesheetIsReportedOnEveryCall)
{
    m_dir.write("t.xsl", "<xsl:stylesheet");
    run(m_transformer);
    const int status = m_status;
    const std::string text = m_transformer.getLastError();
    EXPECT_NE(status, 0);
    for (int call = 0; call < 2; ++call)
    {
        run(m_transformer);
        EXPECT_EQ(m_status, status);
        EXPECT_EQ(m_transformer.getLastError(), text);
    }
}

TEST_F(StylesheetReuse, APreparedStylesheetIsFoundCompiledByTransformersAlike)
{
    write("one");
    EXPECT_EQ(m_transformer.prepareStylesheet(m_xsl.c_str()), 0);
    PRSMXslTransformer alike, lenient;
    lenient.setXsltprocCompatible(true);
    EXPECT_EQ(run(alike), "one");
    EXPECT_TRUE(alike.lastStylesheetUse().isReused);
    EXPECT_EQ(run(lenient), "one");
    EXPECT_FALSE(lenient.lastStylesheetUse().isReused);

    m_dir.write("t.xsl", "<xsl:stylesheet");
    const int status = m_transformer.prepareStylesheet(m_xsl.c_str());
    EXPECT_NE(status, 0);
    EXPECT_NE(std::string(m_transformer.getLastError()), "");
    run(alike);
    EXPECT_EQ(m_status, status); // reported again: a failure is never kept
}

// A document that document() reads is read again once its file changes, whoever read it before;
// one that names a DTD or an entity reads its declarations each time.
TEST_F(StylesheetReuse, DocumentsLoadedByNameFollowTheirFiles)
{
    write("<xsl:value-of select=\"document('data.xml')/d\"/>");
    PRSMXslTransformer other;
    const struct
    {
        const char* data;
        bool sameTime;
        const char* expected;
    } steps[] = {
        {"<d>one</d>", false, "one"},
        {"<d>two!</d>", false, "two!"},
        {"<d>tw0!</d>", false, "tw0!"}, // same size, later time
        {"<!DOCTYPE d [<!ENTITY e 'x'>]><d>&e;</d>", false, "x"},
        {"<!DOCTYPE d [<!ENTITY e 'y'>]><d>&e;</d>", true, "y"},
    };
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.data);
        const std::string path = m_dir.path("data.xml");
        const bool existed = std::filesystem::exists(path);
        const auto before =
            existed ? std::filesystem::last_write_time(path) : std::filesystem::file_time_type();
        m_dir.write("data.xml", step.data);
        if (existed)
            std::filesystem::last_write_time(
                path, step.sameTime ? before : before + std::chrono::seconds(2));
        EXPECT_EQ(run(m_transformer), step.expected);
        EXPECT_EQ(run(other), step.expected);
        EXPECT_EQ(m_status, 0);
    }
}

TEST_F(StylesheetReuse, FunctionsInstalledAfterTheFirstUseAreCalled)
{
    write("<xsl:value-of select=\"prsm:GetDateTime('x')\"/>");
    run(m_transformer);
    EXPECT_NE(m_status, 0); // the built-in takes no argument
    m_transformer.installExternalFunction("GetDateTime", prsm::test::TaggedFunction("host:"));
    EXPECT_EQ(run(m_transformer), "host:x");
    EXPECT_EQ(m_status, 0);
}

// A stylesheet file whose top-level content is `top` and whose root template calls `body`.
std::string moduleText(const std::string& top)
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>" + top +
           "</xsl:stylesheet>";
}

enum class Path
{
    File,
    Stream,
    Memory
};

class ModuleReuse : public StylesheetReuse
{
protected:
    // Runs t.xsl over <doc/> on `path`; returns the output, or "failed" after a failure.
    std::string runOn(Path path, PRSMXslTransformer& transformer)
    {
        int status = 0;
        std::string text;
        if (path == Path::File)
        {
            const std::string source = m_dir.write("d.xml", "<doc/>");
            const std::string result = m_dir.path("out.txt");
            status = transformer.doTransform(source.c_str(), m_xsl.c_str(), result.c_str());
            std::ifstream in(result);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        else if (path == Path::Stream)
        {
            std::istringstream in("<doc/>");
            std::ostringstream out;
            status = transformer.doTransform(in, m_xsl.c_str(), out);
            text = out.str();
            if (!text.empty())
                text.pop_back();
        }
        else
        {
            std::ostringstream out;
            prsm::test::Handle input(transformer), output(transformer);
            input->InitializeInputSource("<doc/>");
            output->InitializeOutputTarget(out);
            status = transformer.doTransform(*input, m_xsl.c_str(), *output);
            text = out.str();
        }
        return status == 0 ? text : "failed";
    }

    // Rewrites the module `name` so that its template writes `word`; `sameTime` keeps its time.
    void writeModule(const std::string& name, const std::string& word, bool sameTime = false)
    {
        const std::string path = m_dir.path(name);
        const bool existed = std::filesystem::exists(path);
        const auto before =
            existed ? std::filesystem::last_write_time(path) : std::filesystem::file_time_type();
        m_dir.write(name, moduleText("<xsl:template name='word'>" + word + "</xsl:template>"));
        if (existed && sameTime)
            std::filesystem::last_write_time(path, before);
        else if (existed)
            std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
    }
};

TEST_F(ModuleReuse, AChangedRemovedOrRestoredModuleAtDepthTwoIsNoticedOnEveryPath)
{
    for (const char* link : {"include", "import"})
        for (const Path path : {Path::File, Path::Stream, Path::Memory})
        {
            SCOPED_TRACE(std::string(link) + " on path " + std::to_string(static_cast<int>(path)));
            QXXslTransformer_ClearStylesheetCache();
            const std::string element = std::string("xsl:") + link;
            m_dir.write("t.xsl", moduleText("<" + element +
                                            " href='sub/a.xsl'/>"
                                            "<xsl:output method='text'/><xsl:template "
                                            "match='/'><xsl:call-template name='word'/>"
                                            "</xsl:template>"));
            std::filesystem::create_directories(m_dir.path("sub"));
            m_dir.write("sub/a.xsl", moduleText("<" + element + " href='b.xsl'/>"));
            writeModule("sub/b.xsl", "one");
            EXPECT_EQ(runOn(path, m_transformer), "one");
            EXPECT_TRUE(m_transformer.lastStylesheetUse().isReused == false);
            EXPECT_EQ(runOn(path, m_transformer), "one");
            EXPECT_TRUE(m_transformer.lastStylesheetUse().isReused);

            writeModule("sub/b.xsl", "two");
            EXPECT_EQ(runOn(path, m_transformer), "two");
            writeModule("sub/b.xsl", "three", true); // only the size changed
            EXPECT_EQ(runOn(path, m_transformer), "three");
            std::filesystem::remove(m_dir.path("sub/b.xsl"));
            EXPECT_EQ(runOn(path, m_transformer), "failed");
            EXPECT_EQ(m_transformer.lastFailure().kind, PRSMXslFailureKind::Stylesheet)
                << m_transformer.lastFailure().message;
            writeModule("sub/b.xsl", "four");
            EXPECT_EQ(runOn(path, m_transformer), "four");
            EXPECT_EQ(runOn(path, m_transformer), "four");
            EXPECT_TRUE(m_transformer.lastStylesheetUse().isReused);
        }
}

TEST_F(ModuleReuse, AKeptStylesheetIsNeverReusedPastTheLimitsOfTheTransformer)
{
    std::filesystem::create_directories(m_dir.path("lib"));
    std::filesystem::create_directories(m_dir.path("app"));
    m_xsl = m_dir.write("app/t.xsl", moduleText("<xsl:include href='../lib/a.xsl'/>"
                                                "<xsl:output method='text'/><xsl:template "
                                                "match='/'><xsl:call-template name='word'/>"
                                                "</xsl:template>"));
    writeModule("lib/a.xsl", "lib");
    PRSMXslTransformer open;
    PRSMXslTransformer restricted;
    PRSMXslLimits limits;
    limits.allowedDirectories = {m_dir.path("app")};
    restricted.setLimits(limits);
    for (const Path path : {Path::File, Path::Stream, Path::Memory})
    {
        SCOPED_TRACE(static_cast<int>(path));
        QXXslTransformer_ClearStylesheetCache();
        EXPECT_EQ(runOn(path, restricted), "failed");
        const PRSMXslFailure fresh = restricted.lastFailure();
        EXPECT_EQ(fresh.kind, PRSMXslFailureKind::Limit);
        EXPECT_EQ(runOn(path, open), "lib");
        EXPECT_EQ(runOn(path, restricted), "failed");
        EXPECT_EQ(restricted.lastFailure().message, fresh.message);
        EXPECT_EQ(restricted.lastFailure().status, fresh.status);
        EXPECT_EQ(runOn(path, open), "lib");
        EXPECT_TRUE(open.lastStylesheetUse().isReused);
    }
}

TEST_F(ModuleReuse, AStylesheetTextIsKeptByContentAndKnowsItsModules)
{
    writeModule("m.xsl", "one");
    const std::string base = m_dir.path("any-name.xsl");
    PRSMXslStylesheetText text{
        moduleText("<xsl:include href='m.xsl'/><xsl:output method='text'/><xsl:template "
                   "match='/'>[<xsl:call-template name='word'/>]</xsl:template>"),
        base};
    auto viaStream = [&]
    {
        std::istringstream in("<doc/>");
        std::ostringstream out;
        const int status = m_transformer.doTransform(in, text, out);
        std::string result = out.str();
        if (!result.empty())
            result.pop_back();
        return status == 0 ? result : "failed";
    };
    auto viaHandles = [&]
    {
        std::ostringstream out;
        prsm::test::Handle input(m_transformer), output(m_transformer);
        input->InitializeInputSource("<doc/>");
        output->InitializeOutputTarget(out);
        return m_transformer.doTransform(*input, text, *output) == 0 ? out.str() : "failed";
    };
    QXXslTransformer_ClearStylesheetCache();
    EXPECT_EQ(viaStream(), "[one]");
    EXPECT_FALSE(m_transformer.lastStylesheetUse().isReused);
    EXPECT_EQ(viaHandles(), "[one]");
    EXPECT_TRUE(m_transformer.lastStylesheetUse().isReused);
    writeModule("m.xsl", "two");
    EXPECT_EQ(viaHandles(), "[two]");
    EXPECT_FALSE(m_transformer.lastStylesheetUse().isReused);

    text.xml.replace(text.xml.find("["), 1, "(");
    EXPECT_EQ(viaStream(), "(two]");
    EXPECT_FALSE(m_transformer.lastStylesheetUse().isReused);
    EXPECT_EQ(viaStream(), "(two]");
    EXPECT_TRUE(m_transformer.lastStylesheetUse().isReused);

    text.xml = "<xsl:stylesheet";
    EXPECT_EQ(viaHandles(), "failed");
    EXPECT_EQ(m_transformer.lastFailure().kind, PRSMXslFailureKind::Stylesheet);
    EXPECT_NE(m_transformer.lastFailure().uri.find(base), std::string::npos);
}

} // namespace
