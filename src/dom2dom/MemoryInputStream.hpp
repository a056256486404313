// A read-only input stream over bytes that stay where the caller put them.
#pragma once

#include <cstddef>
#include <istream>
#include <streambuf>

namespace prsm::detail
{

// Reads [begin, begin + size) in place: the bytes are never copied and never written, and must
// outlive the buffer. Supports the positioning the parser may ask for (tellg, seekg).
class MemoryStreamBuffer : public std::streambuf
{
public:
    MemoryStreamBuffer(const char* begin, std::size_t size);

    MemoryStreamBuffer(const MemoryStreamBuffer&) = delete;
    MemoryStreamBuffer& operator=(const MemoryStreamBuffer&) = delete;

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;
};

// An istream over a NUL-terminated text, read up to (not including) the NUL. A null text reads
// as empty.
class MemoryInputStream : public std::istream
{
public:
    explicit MemoryInputStream(const char* text);

private:
    MemoryStreamBuffer m_buffer;
};

} // namespace prsm::detail
