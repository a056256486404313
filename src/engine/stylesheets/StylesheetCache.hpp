// Compiled stylesheets kept for reuse by every transformer of the process.
#pragma once

#include "PRSMXslTransformer.hpp"
#include "platform/FunctionRef.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct PRSMXslLimits;

namespace XALAN_CPP_NAMESPACE
{
class XalanCompiledStylesheet;
}

namespace prsm::detail
{

class ModulePrefetch;

// A compiled stylesheet, immutable once made; transformations on any thread may run it at once.
using SharedStylesheet = std::shared_ptr<const xalanc::XalanCompiledStylesheet>;

// One version of a local file: the file (device and inode), its modification time and its size.
// A file rewritten in place within one clock tick to the same size looks unchanged.
struct FileVersion
{
    using Modified = std::chrono::nanoseconds;

    std::uintmax_t device = 0;
    std::uintmax_t inode = 0;
    Modified modified{0};
    std::uintmax_t size = 0;

    bool operator==(const FileVersion& other) const
    {
        return device == other.device && inode == other.inode && modified == other.modified &&
               size == other.size;
    }
    bool operator!=(const FileVersion& other) const { return !(*this == other); }

    // The version of the regular file at `path`, or none (missing, not a regular file). One
    // stat(), and nothing more: reuse checks every module on every call.
    static std::optional<FileVersion> of(const std::string& path);
};

// The bytes of the regular file at `path` as it is at `version`: none when it cannot be read or
// no longer has that size.
std::optional<std::string> bytesOf(const std::string& path, const FileVersion& version);

// A module a stylesheet included or imported, at any depth, as it was when compiled.
struct ModuleVersion
{
    std::string path;
    FileVersion version;
};

// What a compiled stylesheet depends on besides its own file: its modules, and whether every one
// of them is a local file whose version can be checked. Also the files a kept DTD grammar was read
// from (DtdGrammarStore).
struct StylesheetModules
{
    std::vector<ModuleVersion> modules;
    bool isCheckable = true;
    // Whether every module is watched for changes (ModuleWatch), so that checks can be skipped
    // while no watched file changes.
    bool isWatched = true;

    // Records the module named by `systemId` (a URL or a path) as it is now: a module that is
    // not a local file, or that cannot be read, makes the stylesheet uncheckable.
    void add(const std::string& systemId);
    // Whether every module still has the version recorded.
    bool areUnchanged() const;
};

// What identifies one version of a stylesheet compiled under some limits: the name it was given
// by, the version of the file it names, and the limits that decide whether it compiles (what it
// may read, DTDs, expression nesting, parse bounds). The current folder is not part of it: a
// relative name that reaches the same file from elsewhere is the same stylesheet, whose relative
// includes and imports resolve against the file's own folder. Hosts that rewrite a file within
// one clock tick to the same size clear the cache.
struct StylesheetKey
{
    std::string name;
    FileVersion version;
    std::string limits;

    bool operator==(const StylesheetKey& other) const
    {
        return version == other.version && name == other.name && limits == other.limits;
    }

    // The key of the local file `name` names, compiled under `limits`, or none for a name that
    // is not a readable local file (a URL, a missing file): such stylesheets are compiled on
    // every use.
    static std::optional<StylesheetKey> of(const std::string& name, const PRSMXslLimits& limits);

    // The key of the stylesheet text `text` read with the base URI `baseUri`, compiled under
    // `limits`: the same text with the same base is the same stylesheet.
    static StylesheetKey ofText(const std::string& text, const std::string& baseUri,
                                const PRSMXslLimits& limits);

    // Whether the key is one of a text (ofText) rather than of the file that `name` names.
    bool isText() const { return !name.empty() && name.front() == kTextMark; }

    // Starts the name of a text's key: no file name starts with a control character.
    static constexpr char kTextMark = '\x01';
};

// The limits that decide whether a stylesheet compiles, as one text: equal texts compile alike.
std::string compileLimitsText(const PRSMXslLimits& limits);

// A bounded table, least recently used out first. Every member is safe to call from any thread.
class StylesheetCache
{
public:
    static constexpr std::size_t kDefaultCapacity = 64;

    static StylesheetCache& instance();

    // The compiled stylesheet of `key` (a file or a text, with the limits of the transformer):
    // the kept one while the file and every module it includes or imports are unchanged, else
    // the one `compile` makes (adding the system id of every module it reads to its argument),
    // kept for the next call unless there is no key (no local file) or a module is no local
    // file. One that fails to compile is never kept, so every call reports the failure again,
    // exactly as a first compilation would. While another call compiles the same key, waits for
    // its result rather than compiling the stylesheet a second time (at most for the time the
    // calling operation has left). `use` tells which it was, and how long compiling took. Lets
    // the exceptions of `compile` through.
    SharedStylesheet obtain(const std::optional<StylesheetKey>& key, PRSMXslStylesheetUse& use,
                            FunctionRef<SharedStylesheet(std::vector<std::string>&)> compile);

    // For a thread about to parse a source while another compiles a stylesheet file: records
    // modules of that compilation while there is room ahead of it. The source would otherwise be
    // parsed first and the compilation read its first modules itself; the recording goes on once
    // this thread waits for the stylesheet.
    void readAhead();

    // The stylesheet stored under `key` while every module it was compiled from is unchanged,
    // or null. The modules are checked outside the table's lock.
    SharedStylesheet find(const StylesheetKey& key);

    // Stores `stylesheet` with the modules it was compiled from, replacing what was kept under
    // the same name and limits. Does nothing while the capacity is 0 or for modules that cannot
    // be checked.
    void insert(const StylesheetKey& key, SharedStylesheet stylesheet, StylesheetModules modules);

    // Sets the number of entries kept; 0 switches reuse off. Extra entries go at once.
    void setCapacity(std::size_t capacity);

    // Forgets every entry; transformations running one keep it until they end.
    void clear();

    std::size_t size();

private:
    struct Entry
    {
        StylesheetKey key;
        SharedStylesheet stylesheet;
        std::shared_ptr<const StylesheetModules> modules;
        // The ModuleWatch epoch at which the modules were last found unchanged.
        std::uint64_t checkedEpoch = kNeverChecked;
    };
    static constexpr std::uint64_t kNeverChecked = ~std::uint64_t(0);

    void trim(); // the caller holds m_mutex

    // What a call that missed does next.
    enum class Turn
    {
        Compile,      // nobody compiles the key: this call does, then calls endCompiling
        Look,         // another call compiled it meanwhile: look again
        CompileAlone, // this operation's time ran out waiting: compile without waiting more
    };
    // A call that compiles gets the compilation's prefetch, which a waiting call helps with.
    Turn takeTurn(const StylesheetKey& key, std::shared_ptr<ModulePrefetch>& prefetch);
    void endCompiling(const StylesheetKey& key);

    struct Compilation
    {
        StylesheetKey key;
        std::shared_ptr<ModulePrefetch> prefetch; // null for a stylesheet that is no file
    };

    std::mutex m_mutex;
    std::condition_variable m_compiled;
    // The compilation of `key` in m_compiling, or its end; the caller holds m_mutex.
    std::vector<Compilation>::iterator compilationOf(const StylesheetKey& key);

    std::vector<Compilation> m_compiling; // what some call compiles now
    std::list<Entry> m_entries;           // most recently used first
    std::size_t m_capacity = kDefaultCapacity;
};

} // namespace prsm::detail
