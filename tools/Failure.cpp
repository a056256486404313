// The classes of failure of prsm-xslt, and the transformer's failure reports told in one line.
#include "Failure.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace prsm::cli
{
namespace
{

// strerror_r comes in two forms: the GNU one returns the text, the POSIX one fills the buffer.
[[maybe_unused]] const char* errorText(const char* text, const char*)
{
    return text;
}

[[maybe_unused]] const char* errorText(int, const char* buffer)
{
    return buffer;
}

constexpr std::string_view kTypePrefix = "XSLException Type is: ";
constexpr std::string_view kMessagePrefix = " Message is: ";

std::string foldLines(const std::string& text)
{
    std::string line;
    for (char c : text)
    {
        const char folded = c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
        if (folded != ' ' || (!line.empty() && line.back() != ' '))
            line += folded;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

bool startsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

void replaceAll(std::string& text, std::string_view piece, std::string_view replacement)
{
    for (auto at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + replacement.size()))
        text.replace(at, piece.size(), replacement);
}

// The type of an engine exception, from "XSLException Type is: TYPE Message is: ...".
std::string exceptionType(const std::string& line)
{
    const auto end = line.find(kMessagePrefix);
    if (!startsWith(line, kTypePrefix) || end == std::string::npos)
        return {};
    return line.substr(kTypePrefix.size(), end - kTypePrefix.size());
}

std::string withoutClassAndType(const std::string& line)
{
    const auto message = line.find(kMessagePrefix);
    if (startsWith(line, kTypePrefix) && message != std::string::npos)
        return line.substr(message + kMessagePrefix.size());
    for (const std::string_view prefix : {"SAXParseException: ", "SAXException: "})
        if (startsWith(line, prefix))
            return line.substr(prefix.size());
    return line;
}

// The end of "('a' '(' ')')": the tokens are quoted, so a parenthesis among them is skipped.
std::size_t endOfTokens(const std::string& line, std::size_t at)
{
    at = line.find('(', at);
    while (at != std::string::npos && ++at < line.size() && line[at] != ')')
        if (line[at] == '\'')
            at = line.find('\'', at + 1);
    return at == std::string::npos ? line.size() : std::min(at + 1, line.size());
}

// "... expression = 'E' Remaining tokens are: ('a' 'b')" becomes "... (expression 'E')".
void nameExpressionWithoutTokens(std::string& line)
{
    constexpr std::string_view kExpression = " expression = '";
    constexpr std::string_view kTokens = "' Remaining tokens are:";
    const auto start = line.find(kExpression);
    const auto tokens = start == std::string::npos ? start : line.find(kTokens, start);
    if (tokens == std::string::npos)
        return;
    const std::string expression =
        line.substr(start + kExpression.size(), tokens - start - kExpression.size());
    line.replace(start, endOfTokens(line, tokens + kTokens.size()) - start,
                 " (expression '" + expression + "')");
}

// "(Occurred in entity 'F', at line L, column C.)" becomes "(F, line L, column C)".
void shortenEntityPlaces(std::string& line)
{
    constexpr std::string_view kEntity = "(Occurred in entity '";
    constexpr std::string_view kAt = "', at line ";
    for (auto start = line.find(kEntity); start != std::string::npos;
         start = line.find(kEntity, start + 1))
    {
        const auto at = line.find(kAt, start);
        const auto end = at == std::string::npos ? at : line.find(".)", at);
        if (end == std::string::npos)
            return;
        const std::string file = line.substr(start + kEntity.size(), at - start - kEntity.size());
        const std::string place = line.substr(at + kAt.size(), end - at - kAt.size());
        line.replace(start, end + 2 - start, "(" + file + ", line " + place + ")");
    }
}

} // namespace

std::string withErrno(const std::string& what, int error)
{
    char buffer[256] = {};
    return what + ": " + errorText(strerror_r(error, buffer, sizeof buffer), buffer);
}

std::string oneLineReport(const std::string& report)
{
    std::string line = withoutClassAndType(foldLines(report));
    nameExpressionWithoutTokens(line);
    shortenEntityPlaces(line);
    replaceAll(line, " (Unknown URI, line -1, column -1)", "");
    replaceAll(line, " (Unknown system ID, line -1, column -1)", "");
    replaceAll(line, ", line -1, column -1)", ")");
    replaceAll(line, "(file://", "(");
    return line.empty() ? "no reason given" : line;
}

std::string expressionProblem(const std::string& report)
{
    if (exceptionType(foldLines(report)) != "XPathParserException")
        return {};
    std::string problem = oneLineReport(report);
    const auto expression = problem.find(" (expression '");
    if (expression != std::string::npos)
        problem.erase(expression);
    return problem;
}

bool isOutOfMemory(const std::string& report)
{
    return startsWith(foldLines(report), "Out of memory:");
}

std::string terminationText(const std::string& report)
{
    if (exceptionType(foldLines(report)) != "ElemMessageTerminateExpression")
        return {};
    return oneLineReport(report);
}

} // namespace prsm::cli
