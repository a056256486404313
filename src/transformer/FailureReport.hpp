// Failure reports of the in-memory transformation and the XPath query.
#pragma once

#include "ZBLCore.hpp"
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

// Runs `work` and returns its status. An exception that leaves it becomes a report that replaces
// `lastError`, and the status of its kind: -1 XSLException, -2 SAXParseException or SAXException,
// -3 XMLException, -4 XalanDOMException, -5 anything else. `work` owns every engine object it
// builds, so all of them are gone before the report is composed. An XSLException that lacks its
// place (the engine often throws without the place it has just reported) takes it from `place`
// when that is given and known. A success leaves `lastError` as it was. Lets through only a
// failure to compose the report itself (lack of memory).
int runReporting(ReportingOperation operation, I18NString& lastError, FunctionRef<int()> work,
                 const ProblemPlace* place = nullptr);

// Why an operation was refused before it built anything.
enum class Refusal
{
    NoDocument, // the input handle holds no document (fresh, or an output to a stream)
    NoTarget,   // the output handle is not an output
    SameHandle, // the output handle is the input handle
    NotStarted, // the library is not started
    StaleHandle // a handle was made before the library was last stopped
};

// Stores a plain-words report of `refusal` in `lastError` and returns its status
// (kNoDocumentStatus, kNoTargetStatus for the two output refusals, kNotInitializedStatus for the
// last two).
int refuse(Refusal refusal, I18NString& lastError);

} // namespace prsm::detail
