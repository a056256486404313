// The parser error handler that stops a parse as the engine's own does, without printing.
#pragma once

#include <xercesc/sax/ErrorHandler.hpp>

namespace prsm::detail
{

// Without a handler of its own, the engine's parser liaison writes every parse problem to
// std::cerr before acting on it. This one acts alike and writes nothing: a fatal error ends the
// parse with the parser's own exception, so the engine reports the same status and text, and
// warnings and recoverable errors are passed over, as the engine does while validation is off
// (the library never turns it on).
class QuietErrorHandler final : public xercesc::ErrorHandler
{
public:
    void warning(const xercesc::SAXParseException& exception) override;
    void error(const xercesc::SAXParseException& exception) override;
    // Throws a copy of `exception`.
    [[noreturn]] void fatalError(const xercesc::SAXParseException& exception) override;
    void resetErrors() override;
};

// The process's one handler, made on first use. It holds no state, so every parser on every
// thread may share it; the engine never deletes a handler it is given.
QuietErrorHandler& quietErrorHandler();

} // namespace prsm::detail
