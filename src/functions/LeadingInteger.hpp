// Reading an argument text as an integer, by the C rules of atoi and atol.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace prsm::detail
{

// The integer at the start of `text`, read like C atoi/atol on a platform with a 32-bit long:
// leading white space is skipped, an optional sign and then decimal digits are read up to the
// first other character, and a text without digits (or a null text) gives 0. A number outside
// the 32-bit range gives the nearest limit; atoi leaves that case undefined, so this never calls
// it.
inline std::int32_t leadingInteger(const char* text)
{
    if (text == nullptr)
        return 0;
    const int savedErrno = errno;
    const long long value = std::strtoll(text, nullptr, 10);
    errno = savedErrno;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

} // namespace prsm::detail
