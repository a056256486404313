// The tool's calls into the transformer for parameters, messages and queries of every kind.
#include "LibraryEntries.hpp"

#include "Console.hpp"
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"

#include <ostream>

namespace prsm::cli
{
namespace
{

// `text` as an XPath expression whose value is exactly `text`: a literal in whichever quotes it
// does not contain, else a concat() of apostrophe-free pieces and quoted apostrophes.
std::string stringLiteral(const std::string& text)
{
    if (text.find('\'') == std::string::npos)
        return "'" + text + "'";
    if (text.find('"') == std::string::npos)
        return "\"" + text + "\"";
    std::string expression = "concat(''";
    std::string::size_type start = 0;
    for (std::string::size_type quote; (quote = text.find('\'', start)) != std::string::npos;
         start = quote + 1)
        expression += ", '" + text.substr(start, quote - start) + "', \"'\"";
    return expression + ", '" + text.substr(start) + "')";
}

} // namespace

void setParameters(PRSMXslTransformer& transformer, const std::vector<Parameter>& parameters)
{
    for (const Parameter& parameter : parameters)
    {
        const std::string expression = parameter.kind == Parameter::Kind::Expression
                                           ? parameter.value
                                           : stringLiteral(parameter.value);
        transformer.setStylesheetParamExpression(parameter.name.c_str(), expression.c_str());
    }
}

void attachMessageSink(PRSMXslTransformer& transformer, MessageSink& sink)
{
    transformer.setMessageSink(
        [&sink](const PRSMXslMessage& message)
        {
            sink.receive(EngineMessage{message.text, message.location,
                                       message.line > 0 ? static_cast<long>(message.line) : 0});
        });
}

int queryAll(PRSMXslTransformer& transformer, Dom2Dom& document, const std::string& expression,
             std::ostream& out)
{
    return transformer.doXPathAll(document, expression.c_str(), out);
}

} // namespace prsm::cli
