// Failure reports of the in-memory transformation and the XPath query.
#pragma once

#include "ZBLCore.hpp"
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
// builds, so all of them are gone before the report is composed. A success leaves `lastError`
// as it was. Lets through only a failure to compose the report itself (lack of memory).
int runReporting(ReportingOperation operation, I18NString& lastError, FunctionRef<int()> work);

// Why an operation was refused before it built anything.
enum class Refusal
{
    NoDocument, // the input handle holds no document (fresh, or an output to a stream)
    NoTarget,   // the output handle is not an output
    SameHandle  // the output handle is the input handle
};

// Stores a plain-words report of `refusal` in `lastError` and returns its status
// (kNoDocumentStatus, or kNoTargetStatus for the two output refusals).
int refuse(Refusal refusal, I18NString& lastError);

} // namespace prsm::detail
