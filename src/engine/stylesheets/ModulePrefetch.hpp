// The modules of one compilation, parsed ahead by the threads that wait for it.
#pragma once

#include "engine/parse/ModuleRecording.hpp"
#include "engine/stylesheets/StylesheetCache.hpp"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace prsm::detail
{

// A thread that wants a stylesheet another thread is compiling would otherwise only wait; it
// parses the modules the compilation will include and import instead, from the stylesheet's file
// down in document order, and leaves each as a recording for the compiling thread, which replays
// it in place of parsing it. Only modules that the compilation would read from their bytes
// unchanged qualify (local files without a document type declaration or a namespace alias), and
// only a parse that reported nothing: the compilation parses any other module itself, so it
// behaves and fails exactly as it would alone. A recording is found by the version of the file
// it was made from, so a module that changed in between is parsed again.
// A module that the compilation may read from its bytes, unfiltered (ParserLiaison): a local
// regular file of at most 4 MB. The compilation and the threads that record ahead of it decide
// by this one rule, so that a recording stands only for a module the compilation would read so.
struct ModuleFile
{
    std::string path;
    FileVersion version;

    // The file that `systemId` (a URL or a path) names, where it is such a module.
    static std::optional<ModuleFile> named(const std::string& systemId);

    // Its bytes as they are at its version, where no filter applies to them (no namespace
    // alias, no document type declaration: NullNamespaceAlias::mayApplyTo); none otherwise.
    std::optional<std::string> unfilteredBytes() const;
};

class ModulePrefetch
{
public:
    // For the compilation of the stylesheet file at `path`.
    explicit ModulePrefetch(std::string path);
    ModulePrefetch(const ModulePrefetch&) = delete;
    ModulePrefetch& operator=(const ModulePrefetch&) = delete;

    // For the compiling thread: the recording of the module file at `version`, if one was made;
    // from now on no helper records it.
    std::shared_ptr<const ModuleRecording> take(const FileVersion& version);

    // How long a thread records: until the compilation ends, waiting whenever enough is
    // recorded ahead of it, or only while there is room ahead, for a thread with work of its own
    // to do before it waits (a later call goes on from where this one stopped).
    enum class Help
    {
        UntilEnd,
        WhileRoomAhead,
    };

    // Records modules, depth first from the stylesheet's file, until `how` says to stop, none is
    // left, or the operation running on this thread runs out of time, keeping at most a bounded
    // amount recorded ahead of the compilation. One thread helps at a time; others return at
    // once.
    void help(Help how = Help::UntilEnd);

    // The compilation ended: helpers stop and what they recorded goes.
    void close();

    // The prefetch of the compilation running on this thread, or null.
    static ModulePrefetch* current();

    // Makes `prefetch` (which may be null) the current one of this thread while it lives.
    class Scope
    {
    public:
        explicit Scope(ModulePrefetch* prefetch);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ModulePrefetch* m_outer;
    };

private:
    struct Pending
    {
        std::string url;
        std::size_t depth;
    };

    // Records the next pending module and makes those it names the next ones. Returns false
    // once helping should stop.
    bool recordNext(ModuleRecording::Maker& maker, Help how);
    bool isTaken(const FileVersion& version) const; // the caller holds m_mutex

    const std::string m_path;
    std::mutex m_mutex;
    std::condition_variable m_progress; // a recording taken, or the end
    bool m_isClosed = false;
    std::size_t m_ahead = 0;        // bytes recorded and not yet taken
    bool m_isHelped = false;        // a thread is recording
    bool m_isStarted = false;       // the stylesheet's file is pending or was recorded
    bool m_isAbandoned = false;     // a helper failed: the compilation reads the rest itself
    std::vector<Pending> m_pending; // the next one last
    std::vector<FileVersion> m_taken;
    std::vector<FileVersion> m_seen; // recorded by the helper, against cycles and past a bound
    std::vector<std::pair<FileVersion, std::shared_ptr<const ModuleRecording>>> m_ready;
};

} // namespace prsm::detail
