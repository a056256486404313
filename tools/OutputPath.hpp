// What writing a result to a named file means for that name.
#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace prsm::cli
{

struct OutputPath
{
    enum class Kind
    {
        // A regular file or a new name: written beside it and moved over it on success.
        Replace,
        // A device, a FIFO or a socket: opened and written into, never replaced.
        WriteInto,
        // A name of one of our own descriptors, such as /dev/stdout: written into that descriptor.
        Descriptor,
    };

    Kind kind;
    // Replace and WriteInto: the file itself, symbolic links followed.
    std::string path;
    // Replace: the permission bits of the file being replaced; none for a new file.
    std::optional<mode_t> mode;
    // Descriptor: the descriptor.
    int fd = -1;
};

// Resolves `name`, following symbolic links to what they name. Throws Failure (unwritable output)
// for a folder, a file we may not write, a loop of links, or a name that cannot be looked up.
OutputPath resolveOutputPath(const std::string& name);

} // namespace prsm::cli
