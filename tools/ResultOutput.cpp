// Where the result of one source goes: standard output, a file, memory, or nowhere.
#include "ResultOutput.hpp"

#include "DescriptorStreams.hpp"
#include "Failure.hpp"
#include "OutputPath.hpp"
#include "TempFile.hpp"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <ostream>
#include <unistd.h>

namespace prsm::cli
{
namespace
{

// Only the main thread writes here: workers hand their results over in memory.
OutputChannel& standardOutputChannel()
{
    static OutputChannel channel(STDOUT_FILENO);
    return channel;
}

void check(const OutputChannel& channel, const std::string& name)
{
    if (channel.error() != 0)
        throw Failure{kExitUnwritableOutput, withErrno("cannot write " + name, channel.error())};
}

class StandardOutput final : public ResultOutput
{
public:
    std::ostream& stream() override { return m_stream; }
    void checkWritten() const override { check(standardOutputChannel(), kName); }
    void commit() override
    {
        standardOutputChannel().flush();
        checkWritten();
    }

private:
    static constexpr const char* kName = "to standard output";
    std::ostream m_stream{&standardOutputChannel()};
};

// Owns a descriptor that it opened; closing it is part of writing, so it is checked on commit.
class OpenedFile
{
public:
    explicit OpenedFile(int fd) : m_fd(fd) {}
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;
    ~OpenedFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int fd() const { return m_fd; }

    // Returns the errno of a failed close, or 0.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

class FileOutput final : public ResultOutput
{
public:
    FileOutput(const std::string& name, const OutputPath& path) : m_name(name)
    {
        switch (path.kind)
        {
        case OutputPath::Kind::Replace:
            m_tempFile.emplace(path.path, path.mode);
            m_channel.emplace(m_tempFile->fd());
            break;
        case OutputPath::Kind::WriteInto:
            m_opened.emplace(::open(path.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
            if (m_opened->fd() < 0)
                throw Failure{kExitUnwritableOutput, withErrno("cannot write " + name, errno)};
            m_channel.emplace(m_opened->fd());
            break;
        case OutputPath::Kind::Descriptor:
            m_channel.emplace(path.fd);
            break;
        }
        m_stream.rdbuf(&*m_channel);
    }

    std::ostream& stream() override { return m_stream; }
    void checkWritten() const override { check(*m_channel, m_name); }
    void commit() override
    {
        m_channel->flush();
        checkWritten();
        if (m_opened)
        {
            if (const int error = m_opened->close())
                throw Failure{kExitUnwritableOutput, withErrno("cannot write " + m_name, error)};
        }
        if (m_tempFile)
            m_tempFile->moveIntoPlace();
    }

private:
    std::string m_name;
    // Declared before the channel that writes into them, so the channel goes first.
    std::optional<TempFile> m_tempFile;
    std::optional<OpenedFile> m_opened;
    std::optional<OutputChannel> m_channel;
    std::ostream m_stream{nullptr};
};

// Collects the text in a string that can be moved out without a copy.
class StringBuffer final : public std::streambuf
{
public:
    std::string take() { return std::move(m_text); }

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            m_text += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        m_text.append(text, static_cast<std::size_t>(count));
        return count;
    }

private:
    std::string m_text;
};

class MemoryOutput final : public ResultOutput
{
public:
    std::ostream& stream() override { return m_stream; }
    void checkWritten() const override {}
    void commit() override {}
    std::string takeText() override { return m_buffer.take(); }

private:
    StringBuffer m_buffer;
    std::ostream m_stream{&m_buffer};
};

class DropBuffer final : public std::streambuf
{
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

class DiscardedOutput final : public ResultOutput
{
public:
    std::ostream& stream() override { return m_stream; }
    void checkWritten() const override {}
    void commit() override {}

private:
    DropBuffer m_buffer;
    std::ostream m_stream{&m_buffer};
};

} // namespace

std::unique_ptr<ResultOutput> openStandardOutput()
{
    return std::make_unique<StandardOutput>();
}

std::unique_ptr<ResultOutput> openFileOutput(const std::string& name)
{
    return std::make_unique<FileOutput>(name, resolveOutputPath(name));
}

std::unique_ptr<ResultOutput> openMemoryOutput()
{
    return std::make_unique<MemoryOutput>();
}

std::unique_ptr<ResultOutput> openDiscardedOutput()
{
    return std::make_unique<DiscardedOutput>();
}

void writeStandardOutput(const std::string& text)
{
    StandardOutput output;
    output.stream().write(text.data(), static_cast<std::streamsize>(text.size()));
    output.commit();
}

} // namespace prsm::cli
