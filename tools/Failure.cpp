// The classes of failure of prsm-xslt, and the transformer's failures told in one line.
#include "Failure.hpp"

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

} // namespace

std::string withErrno(const std::string& what, int error)
{
    char buffer[256] = {};
    return what + ": " + errorText(strerror_r(error, buffer, sizeof buffer), buffer);
}

std::string describeFailure(const PRSMXslFailure& failure)
{
    std::string line = failure.message.empty() ? "no reason given" : failure.message;
    // Engine places are URIs; a local file reads better as its path.
    constexpr std::string_view kFileScheme = "file://";
    std::string place = failure.uri;
    if (place.compare(0, kFileScheme.size(), kFileScheme) == 0)
        place.erase(0, kFileScheme.size());
    if (failure.line > 0)
    {
        place += (place.empty() ? "line " : ", line ") + std::to_string(failure.line);
        if (failure.column > 0)
            place += ", column " + std::to_string(failure.column);
    }
    return place.empty() ? line : line + " (" + place + ")";
}

int exitStatusOf(const PRSMXslFailure& failure)
{
    return failure.kind == PRSMXslFailureKind::Limit ? kExitRefusedByLimit
                                                     : kExitTransformationFailed;
}

} // namespace prsm::cli
