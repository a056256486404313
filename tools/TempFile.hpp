// A temporary file that is removed unless it is moved into place.
#pragma once

#include <string>

namespace prsm::cli
{

class TempFile
{
public:
    // Creates an empty file with a unique name in `directory`. Throws std::runtime_error.
    explicit TempFile(const std::string& directory);
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    const std::string& path() const { return m_path; }

    // Renames the file to `target`, replacing it in one step. Throws std::runtime_error.
    void moveTo(const std::string& target);

private:
    std::string m_path;
    bool m_moved = false;
};

// The folder that holds `file` ("." for a bare name).
std::string directoryOf(const std::string& file);

} // namespace prsm::cli
