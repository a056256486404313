// The parser error handler that stops a parse as the engine's own does, without printing.
#include "engine/parse/QuietErrorHandler.hpp"

#include <xercesc/sax/SAXParseException.hpp>

namespace prsm::detail
{

void QuietErrorHandler::warning(const xercesc::SAXParseException&) {}

void QuietErrorHandler::error(const xercesc::SAXParseException&) {}

void QuietErrorHandler::fatalError(const xercesc::SAXParseException& exception)
{
    throw exception;
}

void QuietErrorHandler::resetErrors() {}

QuietErrorHandler& quietErrorHandler()
{
    static QuietErrorHandler handler;
    return handler;
}

} // namespace prsm::detail
