// The classes of failure of prsm-xslt, each with its own exit status, and the transformer's
// failure reports told in one line.
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

// `report` (the transformer's getLastError()) in one line: without the exception's class and
// type, with the engine's places written as "(FILE, line L, column C)" and without the parts of a
// place it does not know, and with the expression of an XPath error named without its tokens.
std::string oneLineReport(const std::string& report);

// What is wrong with an XPath expression that did not compile, or nothing when `report` tells of
// another kind of failure.
std::string expressionProblem(const std::string& report);

// The text of the xsl:message that ended the transformation with terminate="yes", or nothing
// when `report` tells of another kind of failure.
std::string terminationText(const std::string& report);

// Whether `report` tells of an operation that ran out of memory.
bool isOutOfMemory(const std::string& report);

} // namespace prsm::cli
