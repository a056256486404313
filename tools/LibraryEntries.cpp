// The tool's calls into the transformer for parameters, messages and queries of every kind.
#include "LibraryEntries.hpp"

#include "Dom2Dom.hpp"
#include "MessageSink.hpp"
#include "PRSMXslTransformer.hpp"

#include <ostream>

namespace prsm::cli
{

void setParameters(PRSMXslTransformer& transformer, const std::vector<Parameter>& parameters)
{
    for (const Parameter& parameter : parameters)
    {
        // setStylesheetParam passes its value as a literal in apostrophes, so it carries neither
        // an expression nor a string with an apostrophe. Both wait for the transformer's entries
        // for verbatim strings and for expressions.
        if (parameter.kind == Parameter::Kind::Expression)
            throw UsageError("--param " + parameter.name +
                             ": this transformer takes no expressions as parameters yet");
        if (parameter.value.find('\'') != std::string::npos)
            throw UsageError("--stringparam " + parameter.name +
                             ": this transformer takes no value with an apostrophe yet");
        transformer.setStylesheetParam(parameter.name.c_str(), parameter.value.c_str());
    }
}

void attachMessageSink(PRSMXslTransformer&, MessageSink&)
{
    // The transformer discards messages until it takes a sink; this is where `sink` goes to it.
}

int queryAll(PRSMXslTransformer& transformer, Dom2Dom& document, const std::string& expression,
             std::ostream& out)
{
    // doXPath writes a single node or a string and nothing for other results; doXPathAll, when the
    // transformer has it, writes every kind.
    return transformer.doXPath(document, expression.c_str(), out);
}

} // namespace prsm::cli
