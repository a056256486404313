// Statuses and texts of the file and stream transformations, as the engine's own transformer
// reports them.
#pragma once

#include "PRSMXslFailure.hpp"
#include "engine/failures/EngineFailure.hpp"
#include "platform/FunctionRef.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <string>

namespace prsm::detail
{

// Runs `work` and returns its status. An engine or parser exception that ends it becomes the
// status and text by which the engine's own transformer reports it: -1 XSLException, -2
// SAXParseException or SAXException, -3 XMLException, -4 XalanDOMException, with `collected`
// (what the problem listener gathered) as the text when it holds any, else the exception's own
// formatted message. The text replaces `text`, as UTF-8; a success empties it. Anything else
// passes through. Every outcome, a passing exception included, replaces `failure`, classified
// in the phase `phase` holds when the exception arrives, by `guard`, and with `place` (null for
// none) for an exception that lacks its own.
int runWithEngineStatus(std::string& text, PRSMXslFailure& failure,
                        const xalanc::XalanDOMString& collected, const FailurePhase& phase,
                        const OperationGuard& guard, const ProblemPlace* place,
                        FunctionRef<int()> work);

} // namespace prsm::detail
