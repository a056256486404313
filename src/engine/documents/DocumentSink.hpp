// Where the bytes of one secondary result document go: a file made whole, or the host's stream.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace prsm::detail
{

// A file sink is created empty under a unique name in the target's folder, with the mode of
// any new file under the umask, and the target appears only through commit(), whole; a file
// never committed is removed. A write that fails throws a DocumentException naming the
// document, so the failure ends the transformation where it happened. Once abandoned, a sink
// swallows what it is given: the engine's writers flush as they go away.
class DocumentSink final : private std::streambuf
{
public:
    // A new file for `target`. Throws DocumentException when it cannot be made.
    explicit DocumentSink(const std::string& target);
    // The host's stream `host`; `name` names the document in failures.
    DocumentSink(std::ostream& host, const std::string& name);
    DocumentSink(const DocumentSink&) = delete;
    DocumentSink& operator=(const DocumentSink&) = delete;
    ~DocumentSink() override;

    std::ostream& stream() { return m_stream; }

    // Writes out what is buffered; a file is closed and renamed to its target. Throws
    // DocumentException; a file is then removed.
    void commit();

    // Drops the document: a file is removed; later writes are swallowed.
    void abandon() noexcept;

private:
    int overflow(int c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

    void writeOut(const char* data, std::size_t size);
    [[noreturn]] void fail(const std::string& what, int error);

    std::string m_target;
    std::string m_path;
    std::ostream* m_host = nullptr;
    int m_fd = -1;
    bool m_isAbandoned = false;
    char m_buffer[16384];
    std::ostream m_stream;
};

} // namespace prsm::detail
