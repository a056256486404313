// Compiled stylesheets kept for reuse by every transformer of the process.
#pragma once

#include "PRSMXslTransformer.hpp"
#include "platform/FunctionRef.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace XALAN_CPP_NAMESPACE
{
class XalanCompiledStylesheet;
}

namespace prsm::detail
{

// A compiled stylesheet, immutable once made; transformations on any thread may run it at once.
using SharedStylesheet = std::shared_ptr<const xalanc::XalanCompiledStylesheet>;

// What identifies one version of a stylesheet file: the name it was given by, the file it names
// (device and inode), its modification time and its size. The current folder is not part of it:
// a relative name that reaches the same file from elsewhere is the same stylesheet, whose
// relative includes and imports resolve against the file's own folder. A file rewritten in place
// within one clock tick to the same size looks unchanged; hosts that do that clear the cache.
struct StylesheetKey
{
    using Modified = std::chrono::nanoseconds;

    std::string name;
    std::uintmax_t device = 0;
    std::uintmax_t inode = 0;
    Modified modified{0};
    std::uintmax_t size = 0;

    bool operator==(const StylesheetKey& other) const
    {
        return device == other.device && inode == other.inode && name == other.name &&
               modified == other.modified && size == other.size;
    }

    // The key of the local file `name` names, or none for a name that is not a readable local
    // file (a URL, a missing file): such stylesheets are compiled on every use.
    static std::optional<StylesheetKey> of(const std::string& name);
};

// A bounded table, least recently used out first. Every member is safe to call from any thread.
class StylesheetCache
{
public:
    static constexpr std::size_t kDefaultCapacity = 64;

    static StylesheetCache& instance();

    // The compiled stylesheet of the file `name`: the kept one while the file is unchanged, else
    // the one `compile` makes, kept for the next call unless `name` is no local file. One that
    // fails to compile is never kept, so every call reports the failure again. `use` tells which
    // it was, and how long compiling took. Lets the exceptions of `compile` through.
    SharedStylesheet obtain(const std::string& name, PRSMXslStylesheetUse& use,
                            FunctionRef<SharedStylesheet()> compile);

    // The stylesheet stored under `key`, or null.
    SharedStylesheet find(const StylesheetKey& key);

    // Stores `stylesheet`, replacing what was kept under the same name. Does nothing while the
    // capacity is 0.
    void insert(const StylesheetKey& key, SharedStylesheet stylesheet);

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
    };

    void trim(); // the caller holds m_mutex

    std::mutex m_mutex;
    std::list<Entry> m_entries; // most recently used first
    std::size_t m_capacity = kDefaultCapacity;
};

} // namespace prsm::detail
