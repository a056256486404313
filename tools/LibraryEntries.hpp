// The tool's calls into the transformer for parameters, messages and queries of every kind.
#pragma once

#include "CommandLine.hpp"

#include <iosfwd>
#include <string>
#include <vector>

class Dom2Dom;
class PRSMXslTransformer;

namespace prsm::cli
{

class MessageSink;

// Sets every parameter on `transformer`: a --stringparam value exactly as given, a --param value
// as an XPath expression.
void setParameters(PRSMXslTransformer& transformer, const std::vector<Parameter>& parameters);

// Sends the xsl:message output and the engine warnings of `transformer` to `sink`, which must
// outlive it.
void attachMessageSink(PRSMXslTransformer& transformer, MessageSink& sink);

// Evaluates `expression` over the document of `document` and writes the result to `out`: a
// number or a boolean as its string value, each node of a node-set on its own line. Returns the
// transformer's status, as doXPath does.
int queryAll(PRSMXslTransformer& transformer, Dom2Dom& document, const std::string& expression,
             std::ostream& out);

} // namespace prsm::cli
