// The transformer's failure reports, told in one line.
#pragma once

#include <string>

namespace prsm::cli
{

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
