// Standard input, output and error as the tool finds them when it starts.
#include "StandardDescriptors.hpp"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace prsm::cli
{

void occupyClosedStandardDescriptors()
{
    // /dev/null opened the other way round: a write to a read-only descriptor fails with EBADF,
    // and so does a read from a write-only one.
    const int wrongWay[] = {O_WRONLY, O_RDONLY, O_RDONLY};
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
    {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() returns the lowest free number, which is this one.
        const int standIn = ::open("/dev/null", wrongWay[fd]);
        if (standIn != fd && standIn >= 0)
            ::close(standIn);
    }
}

} // namespace prsm::cli
