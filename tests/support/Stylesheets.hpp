// Small stylesheets shared by the transformation tests, the stream run that most of them use, and
// a fixture that runs stylesheets written to a folder of its own.
#pragma once

#include "PRSMXslTransformer.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace prsm::test
{

// A text-output stylesheet whose template body is `body`, with the extension namespaces bound to
// the prefixes `prsm` and `xalan`, and `params` placed at the top level.
inline std::string textStylesheet(const std::string& body, const std::string& params = "")
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
           " xmlns:prsm='urn:prsm:xslt-extensions' xmlns:xalan='http://xml.apache.org/xalan'"
           " exclude-result-prefixes='prsm xalan'>"
           "<xsl:output method='text' encoding='UTF-8'/>" +
           params + "<xsl:template match='/'>" + body + "</xsl:template></xsl:stylesheet>";
}

// Runs the stream transformation of `source` by the stylesheet file `xsl` and leaves its status
// in `status`. Returns what it wrote before the NUL that must end the output.
inline std::string transformStream(PRSMXslTransformer& transformer, const std::string& xsl,
                                   const std::string& source, int& status)
{
    std::istringstream in(source);
    std::ostringstream out;
    status = transformer.doTransform(in, I18NString(xsl.c_str()), out);
    std::string text = out.str();
    EXPECT_TRUE(!text.empty() && text.back() == '\0') << "no NUL after: " << text;
    if (!text.empty())
        text.pop_back();
    return text;
}

// A transformer, a folder for its stylesheets and the status of its last stream run.
class StylesheetTest : public ::testing::Test
{
protected:
    // Runs `stylesheet` over `source` on `transformer`, by default the fixture's; the status goes
    // to m_status. Returns the output without its trailing NUL.
    std::string run(const std::string& stylesheet, const std::string& source = "<doc>v</doc>",
                    PRSMXslTransformer* transformer = nullptr)
    {
        return transformStream(transformer ? *transformer : m_transformer,
                               m_dir.write("t.xsl", stylesheet), source, m_status);
    }

    // The text of `expression` in a stylesheet run over <doc>v</doc>.
    std::string valueOf(const std::string& expression, PRSMXslTransformer* transformer = nullptr)
    {
        return run(textStylesheet("<xsl:value-of select=\"" + expression + "\"/>"), "<doc>v</doc>",
                   transformer);
    }

    TempDir m_dir;
    PRSMXslTransformer m_transformer;
    int m_status = -100;
};

} // namespace prsm::test
