// The pages of the libraries the tool was loaded with that hold only the files' own bytes.
#include "MappedLibraries.hpp"

#include <cstdint>
#include <elf.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

namespace prsm::cli
{
namespace
{

// Whether the library's loader had to write into its code (text relocations): its read-only
// segments then hold pages of its own.
bool writesIntoCode(const dl_phdr_info& library)
{
    for (ElfW(Half) i = 0; i < library.dlpi_phnum; ++i)
    {
        const ElfW(Phdr)& header = library.dlpi_phdr[i];
        if (header.p_type != PT_DYNAMIC)
            continue;
        for (auto* entry = reinterpret_cast<const ElfW(Dyn)*>(library.dlpi_addr + header.p_vaddr);
             entry->d_tag != DT_NULL; ++entry)
            if (entry->d_tag == DT_TEXTREL ||
                (entry->d_tag == DT_FLAGS && (entry->d_un.d_val & DF_TEXTREL) != 0))
                return true;
    }
    return false;
}

int releaseLibrary(dl_phdr_info* library, std::size_t, void* pageSize)
{
    // The program itself and the kernel's virtual library have no file name.
    if (library->dlpi_name == nullptr || library->dlpi_name[0] != '/' || writesIntoCode(*library))
        return 0;
    const std::uintptr_t page = *static_cast<const std::uintptr_t*>(pageSize);
    for (ElfW(Half) i = 0; i < library->dlpi_phnum; ++i)
    {
        const ElfW(Phdr)& header = library->dlpi_phdr[i];
        // A writable segment holds the data the loader relocates, later protected or not.
        if (header.p_type != PT_LOAD || (header.p_flags & PF_W) != 0)
            continue;
        const std::uintptr_t start = (library->dlpi_addr + header.p_vaddr + page - 1) & ~(page - 1);
        const std::uintptr_t end =
            (library->dlpi_addr + header.p_vaddr + header.p_filesz) & ~(page - 1);
        if (end > start)
            madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
    }
    return 0;
}

} // namespace

void releaseUnchangedLibraryPages()
{
    const long size = sysconf(_SC_PAGESIZE);
    if (size <= 0)
        return;
    std::uintptr_t page = static_cast<std::uintptr_t>(size);
    dl_iterate_phdr(releaseLibrary, &page);
}

} // namespace prsm::cli
