// Messages, warnings and expression parameters reaching the host.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "support/Stylesheets.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

TEST(MessageSink, EveryPathDeliversMessagesAndWarningsInOrderWithTheirPlace)
{
    const prsm::test::TempDir dir;
    const std::string xsl =
        dir.write("m.xsl", prsm::test::textStylesheet("<xsl:message>first</xsl:message>"
                                                      "<xsl:message>z\xC3\xA9ro $p=<xsl:value-of "
                                                      "select='$p'/></xsl:message>ok",
                                                      "<xsl:param name='p'/>"));
    const std::string source = dir.write("in.xml", "<doc/>");
    PRSMXslTransformer transformer;
    transformer.setStylesheetParamExpression("p", "2 + 3");
    std::vector<std::string> seen;
    transformer.setMessageSink(
        [&](const PRSMXslMessage& m)
        {
            EXPECT_EQ(m.kind, PRSMXslMessage::Kind::Message);
            EXPECT_NE(m.location.find("m.xsl"), std::string::npos) << m.location;
            EXPECT_GT(m.line, 0);
            seen.push_back(m.text);
        });

    ASSERT_EQ(transformer.doTransform(source.c_str(), xsl.c_str(), dir.path("out").c_str()), 0);
    int status = -100;
    EXPECT_EQ(prsm::test::transformStream(transformer, xsl, "<doc/>", status), "ok");
    ScopedDom2Dom input(transformer), output(transformer);
    std::ostringstream out;
    input->InitializeInputSource("<doc/>");
    output->InitializeOutputTarget(out);
    EXPECT_EQ(transformer.doTransform(*input, xsl.c_str(), *output), 0);

    const std::vector<std::string> once = {"first", "z\xC3\xA9ro $p=5"};
    EXPECT_EQ(seen,
              std::vector<std::string>({once[0], once[1], once[0], once[1], once[0], once[1]}));

    // An engine warning comes as one, with its place.
    const std::string warns = dir.write(
        "w.xsl", "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                 "<xsl:template match='/'><out><x/><xsl:attribute name='a'/></out></xsl:template>"
                 "</xsl:stylesheet>");
    std::vector<PRSMXslMessage> warnings;
    transformer.setMessageSink([&](const PRSMXslMessage& m) { warnings.push_back(m); });
    prsm::test::transformStream(transformer, warns, "<doc/>", status);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].kind, PRSMXslMessage::Kind::Warning);
    EXPECT_NE(warnings[0].text.find("xsl:attribute"), std::string::npos) << warnings[0].text;
    EXPECT_NE(warnings[0].location.find("w.xsl"), std::string::npos);

    // A sink that throws fails that transformation only.
    transformer.setMessageSink([](const PRSMXslMessage&) { throw std::runtime_error("sink"); });
    EXPECT_THROW(prsm::test::transformStream(transformer, xsl, "<doc/>", status),
                 std::runtime_error);
    transformer.setMessageSink(nullptr);
    EXPECT_EQ(prsm::test::transformStream(transformer, xsl, "<doc/>", status), "ok");
    EXPECT_EQ(status, 0);
}

} // namespace
