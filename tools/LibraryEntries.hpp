// The tool's calls into the transformer for parameters, messages and queries of every kind.
#pragma once

#include "CommandLine.hpp"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

class Dom2Dom;
class PRSMXslTransformer;

namespace prsm::cli
{

class MessageSink;
struct EngineMessage;

// Gives `transformer` the limits and the xsltproc compatibility of `options`, which decide how a
// stylesheet compiles: transformers set up alike share their compiled stylesheets.
void applyCompileSettings(PRSMXslTransformer& transformer, const Options& options);

// Sets every parameter on `transformer`: a --stringparam value exactly as given, a --param value
// as an XPath expression.
void setParameters(PRSMXslTransformer& transformer, const std::vector<Parameter>& parameters);

// Hands the xsl:message output and the engine warnings of `transformer` to `receive`.
void forwardMessages(PRSMXslTransformer& transformer,
                     std::function<void(const EngineMessage&)> receive);

// Sends them to `sink`, which must outlive the transformer.
void attachMessageSink(PRSMXslTransformer& transformer, MessageSink& sink);

// Evaluates `expression` over the document of `document` and writes the result to `out`: a
// number or a boolean as its string value, each node of a node-set on its own line. Returns the
// transformer's status, as doXPath does.
int queryAll(PRSMXslTransformer& transformer, Dom2Dom& document, const std::string& expression,
             std::ostream& out);

} // namespace prsm::cli
