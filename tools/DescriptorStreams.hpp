// Stream buffers over file descriptors that remember why a read or a write failed.
#pragma once

#include <memory>
#include <streambuf>

namespace prsm::cli
{

// Reads a descriptor it does not own. A failed read ends the input and is kept in error().
class InputChannel final : public std::streambuf
{
public:
    explicit InputChannel(int fd);

    // The errno of the failed read, or 0.
    int error() const { return m_error; }

protected:
    int_type underflow() override;

private:
    int m_fd;
    int m_error = 0;
    std::unique_ptr<char[]> m_buffer; // made by the first read
};

// Writes to a descriptor it does not own. Bytes reach the descriptor when the buffer fills and
// on flush(); the first failed write is kept in error(), and everything after it is dropped.
class OutputChannel final : public std::streambuf
{
public:
    explicit OutputChannel(int fd);

    // Writes out what is buffered. Returns false once any write has failed.
    bool flush();

    // The errno of the first failed write, or 0.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    bool writeAll(const char* data, std::size_t size);

    int m_fd;
    int m_error = 0;
    std::unique_ptr<char[]> m_buffer; // made by the first write
};

} // namespace prsm::cli
