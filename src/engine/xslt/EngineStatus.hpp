// Statuses and texts of the file and stream transformations, as the engine's own transformer
// reports them.
#pragma once

#include "platform/FunctionRef.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <string>

namespace prsm::detail
{

// The text of an operation that ran out of memory, on every path.
inline constexpr char kOutOfMemoryText[] =
    "Out of memory: the process could not get the memory the operation needed";

// Runs `work` and returns its status. An engine or parser exception that ends it becomes the
// status and text by which the engine's own transformer reports it: -1 XSLException, -2
// SAXParseException or SAXException, -3 XMLException, -4 XalanDOMException, with `collected`
// (what the problem listener gathered) as the text when it holds any, else the exception's own
// formatted message; -5 for running out of memory (std::bad_alloc, or the parser's and the
// engine's OutOfMemoryException), with kOutOfMemoryText. The text replaces `text`, as UTF-8; a
// success empties it. Anything else passes through.
int runWithEngineStatus(std::string& text, const xalanc::XalanDOMString& collected,
                        FunctionRef<int()> work);

} // namespace prsm::detail
