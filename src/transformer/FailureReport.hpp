// Failure reports of the in-memory transformation and the XPath query.
#pragma once

#include "PRSMXslFailure.hpp"
#include "ZBLCore.hpp"
#include "engine/failures/EngineFailure.hpp"
#include "engine/xslt/LocatingProblemListener.hpp"
#include "platform/FunctionRef.hpp"

namespace prsm::detail
{

// The two operations that report failures; three of the six reports differ between them.
enum class ReportingOperation
{
    Transform,
    XPath
};

// Where a reporting operation leaves what it came to.
struct ReportSinks
{
    I18NString& lastError;   // the specified report; a success leaves it as it was
    PRSMXslFailure& failure; // the structured account; a success empties it
};

// Runs `work` and returns its status. An exception that leaves it becomes a report that replaces
// `sinks.lastError`, and the status of its kind: -1 XSLException, -2 SAXParseException or
// SAXException, -3 XMLException, -4 XalanDOMException, -5 anything else. `work` owns every engine
// object it builds, so all of them are gone before the report is composed. An XSLException that
// lacks its place (the engine often throws without the place it has just reported) takes it from
// `place` when that is given and known. The exception is classified in the phase `phase` holds
// when it arrives and by `guard`. Lets through only a failure to compose the report itself (lack
// of memory).
int runReporting(ReportingOperation operation, ReportSinks sinks, FunctionRef<int()> work,
                 const FailurePhase& phase, const OperationGuard& guard,
                 const ProblemPlace* place = nullptr);

// Why an operation was refused before it built anything.
enum class Refusal
{
    NoDocument, // the input handle holds no document (fresh, or an output to a stream)
    EmptyTree,  // the input handle is a tree output with no document element
    NoTarget,   // the output handle is not an output
    SameHandle, // the output handle is the input handle
    NotStarted, // the library is not started
    StaleHandle // a handle was made before the library was last stopped
};

// Stores a plain-words report of `refusal` in `sinks` (a misuse) and returns its status
// (kNoDocumentStatus for the first two, kNoTargetStatus for the two output refusals,
// kNotInitializedStatus for the last two).
int refuse(Refusal refusal, ReportSinks sinks);

} // namespace prsm::detail
