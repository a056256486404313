// Small stylesheets shared by the transformation tests.
#pragma once

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

} // namespace prsm::test
