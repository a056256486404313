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

TEST(MessageSink, EveryPathDeliversMessagesInOrderWithTheirPlace)
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

    // A sink that throws fails that transformation only.
    transformer.setMessageSink([](const PRSMXslMessage&) { throw std::runtime_error("sink"); });
    EXPECT_THROW(prsm::test::transformStream(transformer, xsl, "<doc/>", status),
                 std::runtime_error);
    transformer.setMessageSink(nullptr);
    EXPECT_EQ(prsm::test::transformStream(transformer, xsl, "<doc/>", status), "ok");
    EXPECT_EQ(status, 0);
}

} // namespace
