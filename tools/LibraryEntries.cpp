// The tool's calls into the transformer for parameters, messages and queries of every kind.
#include "LibraryEntries.hpp"

#include "Console.hpp"
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"

#include <ostream>

namespace prsm::cli
{

void setParameters(PRSMXslTransformer& transformer, const std::vector<Parameter>& parameters)
{
    for (const Parameter& parameter : parameters)
    {
        if (parameter.kind == Parameter::Kind::Expression)
            transformer.setStylesheetParamExpression(parameter.name.c_str(),
                                                     parameter.value.c_str());
        else
            transformer.setStylesheetParamString(parameter.name.c_str(), parameter.value.c_str());
    }
}

void applyCompileSettings(PRSMXslTransformer& transformer, const Options& options)
{
    transformer.setLimits(options.limits);
    transformer.setXsltprocCompatible(!options.isStrict);
}

void forwardMessages(PRSMXslTransformer& transformer,
                     std::function<void(const EngineMessage&)> receive)
{
    transformer.setMessageSink(
        [receive = std::move(receive)](const PRSMXslMessage& message)
        {
            receive(EngineMessage{message.text, message.location,
                                  message.line > 0 ? static_cast<long>(message.line) : 0});
        });
}

void attachMessageSink(PRSMXslTransformer& transformer, MessageSink& sink)
{
    forwardMessages(transformer, [&sink](const EngineMessage& message) { sink.receive(message); });
}

int queryAll(PRSMXslTransformer& transformer, Dom2Dom& document, const std::string& expression,
             std::ostream& out)
{
    return transformer.doXPathAll(document, expression.c_str(), out);
}

} // namespace prsm::cli
