// The one classifier of the exceptions that end an operation: its status, its kind, its place and
// every text by which an operation reports it.
#pragma once

#include "PRSMXslFailure.hpp"

#include <string>

namespace prsm::detail
{

class OperationGuard;
struct ProblemPlace;

// What the operation was doing when the exception ended it; it decides the kind of the engine's
// exceptions, which are the same classes whether a stylesheet or a document is at fault.
enum class FailurePhase
{
    Parse,     // parsing a source document or a handle's input
    Compile,   // compiling a stylesheet, its modules included
    Transform, // running a compiled stylesheet
    Query      // compiling and evaluating an XPath query
};

// One caught exception, classified once.
struct EngineFailure
{
    // Whether it is one of the engine's or the parser's exception classes, which file and stream
    // transformations report; anything else passes through them.
    bool isEngine = false;
    // -1 XSLException, -2 SAXParseException or SAXException, -3 XMLException, -4
    // XalanDOMException, -5 anything else.
    int status = -5;
    // The structured account, status included.
    PRSMXslFailure failure;
    // The text by which the engine's own transformer reports it (file and stream paths).
    std::string engineText;
    // The reports of the in-memory transformation and of the query, which differ for three kinds.
    std::string transformReport;
    std::string queryReport;
};

// Classifies the exception being handled: call only inside a catch block. `guard` (null for none)
// tells a refusal by the limits from the rest, whatever exception carried it; `place` (null for
// none) supplies the place the engine reported when the exception lacks one.
EngineFailure classifyCurrentException(FailurePhase phase, const OperationGuard* guard,
                                       const ProblemPlace* place);

// A failure of no exception: `kind` with `message`, and `status`.
PRSMXslFailure plainFailure(int status, PRSMXslFailureKind kind, std::string message);

} // namespace prsm::detail
