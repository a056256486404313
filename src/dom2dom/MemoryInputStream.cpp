// A read-only input stream over bytes that stay where the caller put them.
#include "dom2dom/MemoryInputStream.hpp"

#include <cstring>

namespace prsm::detail
{

MemoryStreamBuffer::MemoryStreamBuffer(const char* begin, std::size_t size)
{
    // The get area only ever reads; the const_cast satisfies streambuf's char* interface.
    char* const first = const_cast<char*>(begin);
    setg(first, first, first + size);
}

MemoryStreamBuffer::pos_type MemoryStreamBuffer::seekoff(off_type offset,
                                                         std::ios_base::seekdir direction,
                                                         std::ios_base::openmode which)
{
    if ((which & std::ios_base::in) == 0)
        return pos_type(off_type(-1));
    off_type base = 0;
    if (direction == std::ios_base::cur)
        base = gptr() - eback();
    else if (direction == std::ios_base::end)
        base = egptr() - eback();
    const off_type target = base + offset;
    if (target < 0 || target > egptr() - eback())
        return pos_type(off_type(-1));
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
}

MemoryStreamBuffer::pos_type MemoryStreamBuffer::seekpos(pos_type position,
                                                         std::ios_base::openmode which)
{
    return seekoff(off_type(position), std::ios_base::beg, which);
}

MemoryInputStream::MemoryInputStream(const char* text)
    : std::istream(nullptr),
      m_buffer(text != nullptr ? text : "", text != nullptr ? std::strlen(text) : 0)
{
    // The buffer is a member, built after the istream base; attach it only now.
    rdbuf(&m_buffer);
}

} // namespace prsm::detail
