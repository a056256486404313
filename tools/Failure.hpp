// The classes of failure of prsm-xslt, each with its own exit status.
#pragma once

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
    kExitOutOfMemory = 6,
};

// A failure that ends the run of a source, or the whole run, with its status and one line of text.
struct Failure
{
    int status;
    std::string message;
};

// `what` followed by the text of `error` (an errno value), as in "cannot read a.xml: No such file".
std::string withErrno(const std::string& what, int error);

} // namespace prsm::cli
