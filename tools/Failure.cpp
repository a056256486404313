// The classes of failure of prsm-xslt, each with its own exit status.
#include "Failure.hpp"

#include <cstring>

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

} // namespace prsm::cli
