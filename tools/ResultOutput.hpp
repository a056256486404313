// Where the result of one source goes: standard output, a file, memory, or nowhere.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

namespace prsm::cli
{

// A destination that counts as written only once commit() returns. One that is never committed
// is abandoned: a file being written beside its target is removed, the target left as it was.
class ResultOutput
{
public:
    virtual ~ResultOutput() = default;

    // The stream that the transformation writes into.
    virtual std::ostream& stream() = 0;

    // Throws Failure (unwritable output) if a write has failed so far.
    virtual void checkWritten() const = 0;

    // Writes out what is buffered and puts a file in place. Throws Failure (unwritable output).
    virtual void commit() = 0;

    // The text an output to memory holds, moved out; empty for every other output.
    virtual std::string takeText() { return {}; }
};

// Standard output, written as the result comes, without a file in between.
std::unique_ptr<ResultOutput> openStandardOutput();

// The file `name`, as resolveOutputPath() reads it. Throws Failure (unwritable output).
std::unique_ptr<ResultOutput> openFileOutput(const std::string& name);

// A text in memory, handed on by takeText().
std::unique_ptr<ResultOutput> openMemoryOutput();

// Nowhere: everything written is dropped.
std::unique_ptr<ResultOutput> openDiscardedOutput();

// Writes `text` to standard output and flushes it. Throws Failure (unwritable output).
void writeStandardOutput(const std::string& text);

} // namespace prsm::cli
