// A file written beside its target and moved over it only once it is complete.
#pragma once

#include "InterruptCleanup.hpp"

#include <optional>
#include <string>
#include <sys/types.h>

namespace prsm::cli
{

class TempFile
{
public:
    // Creates an empty file with a unique name in the folder of `target`, with the permission
    // bits `mode` when given, else those of a new file under the umask. An interrupt removes it.
    // Throws Failure (unwritable output).
    TempFile(const std::string& target, std::optional<mode_t> mode);
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    // Closes the file and removes it unless it was moved into place.
    ~TempFile();

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

    // Closes the file and renames it to the target, replacing the target in one step. Throws
    // Failure (unwritable output); the file is then removed by the destructor.
    void moveIntoPlace();

private:
    std::string m_target;
    std::string m_path;
    int m_fd = -1;
    bool m_isMoved = false;
    std::optional<InterruptRegistration> m_registration;
};

// The folder that holds `file` ("." for a bare name).
std::string directoryOf(const std::string& file);

} // namespace prsm::cli
