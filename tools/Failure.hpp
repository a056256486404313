// The classes of failure of prsm-xslt, each with its own exit status, and the transformer's
// failures told in one line.
#pragma once

#include "PRSMXslFailure.hpp"

#include <string>

namespace prsm::cli
{

// Exit statuses, one per class of failure; --help lists them. A higher status is the worse one:
// a run over several sources ends with the highest status any of them had.
enum ExitStatus : int
{
    kExitOk = 0,
    kExitUsage = 2,
    kExitUnreadableInput = 3,
    kExitTransformationFailed = 4,
    kExitUnwritableOutput = 5,
    kExitRefusedByLimit = 6,
};

// A failure that ends the run of a source, or the whole run, with its status and one line of text.
struct Failure
{
    int status;
    std::string message;
};

// `what` followed by the text of `error` (an errno value), as in "cannot read a.xml: No such file".
std::string withErrno(const std::string& what, int error);

// The failure in one line: its message, then its place as "(FILE, line L, column C)" with as
// much of it as is known.
std::string describeFailure(const PRSMXslFailure& failure);

// The exit status of a source that failed with `failure`: a limit's refusal has its own.
int exitStatusOf(const PRSMXslFailure& failure);

} // namespace prsm::cli
