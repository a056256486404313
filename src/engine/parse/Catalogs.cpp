// A list of XML catalogs, looked up through libxml2's catalog module.
#include "engine/parse/Catalogs.hpp"

#include "engine/limits/ResourcePolicy.hpp"

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <libxml/catalog.h>
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/uri.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace prsm::detail
{
namespace
{

bool hasScheme(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size() && (std::isalnum(static_cast<unsigned char>(text[at])) ||
                                text[at] == '+' || text[at] == '-' || text[at] == '.'))
        ++at;
    return at >= 2 && at < text.size() && text[at] == ':' &&
           std::isalpha(static_cast<unsigned char>(text[0]));
}

} // namespace

std::string localFilePath(const std::string& name)
{
    if (!hasScheme(name))
        return name;
    if (name.compare(0, 5, "file:") != 0)
        return {};
    std::string rest = name.substr(5);
    if (rest.compare(0, 2, "//") == 0)
    {
        const std::size_t slash = rest.find('/', 2);
        const std::string host = rest.substr(2, slash == std::string::npos ? slash : slash - 2);
        if (!host.empty() && host != "localhost")
            return {};
        rest = slash == std::string::npos ? "/" : rest.substr(slash);
    }
    return percentDecoded(rest);
}

namespace
{

bool isFile(const std::string& path)
{
    struct stat status;
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// Every list shares the files libxml2 has parsed, and a lookup may parse one; so one lookup at a
// time, process-wide.
std::mutex& catalogLock()
{
    static std::mutex lock;
    return lock;
}

// The problems of the lookup running on this thread: set while libxml2 runs, read after.
thread_local std::vector<std::pair<std::string, std::string>>* t_problems = nullptr;

void noteProblem(std::string file, std::string text)
{
    if (t_problems != nullptr)
        t_problems->emplace_back(std::move(file), std::move(text));
}

void collectError(void*, xmlErrorPtr error)
{
    if (error == nullptr)
        return;
    std::string text = error->message != nullptr ? error->message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    std::string file = error->file != nullptr ? error->file : "";
    if (file.empty() && error->str1 != nullptr)
        file = error->str1;
    std::ostringstream described;
    described << "XML catalog " << (file.empty() ? std::string("(unknown)") : file);
    if (error->line > 0)
        described << ":" << error->line;
    described << ": " << text;
    noteProblem(file.empty() ? text : file, described.str());
}

void ignoreGeneric(void*, const char*, ...) {}

// Catalog files are opened here rather than by libxml2's own input handlers, which would fetch
// a catalog that another names by an http: or ftp: URL.
xmlParserInputBufferPtr openLocalOnly(const char* uri, xmlCharEncoding encoding)
{
    const std::string name = uri != nullptr ? uri : "";
    const std::string path = localFilePath(name);
    if (path.empty())
    {
        noteProblem(name,
                    "XML catalog " + name + " not read: catalogs are read from local files only");
        return nullptr;
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
    {
        noteProblem(name, "XML catalog " + name + " is missing; passed over");
        return nullptr;
    }
    xmlParserInputBufferPtr buffer = xmlParserInputBufferCreateFd(descriptor, encoding);
    if (buffer == nullptr)
        ::close(descriptor);
    return buffer;
}

// Holds the lock for one lookup and points libxml2's error output and catalog reading on this
// thread at this library, restoring what the thread had before.
class LibxmlScope
{
public:
    explicit LibxmlScope(std::vector<std::pair<std::string, std::string>>& problems)
        : m_lock(catalogLock()), m_structured(xmlStructuredError),
          m_structuredContext(xmlStructuredErrorContext), m_generic(xmlGenericError),
          m_genericContext(xmlGenericErrorContext),
          m_open(xmlParserInputBufferCreateFilenameDefault(openLocalOnly))
    {
        t_problems = &problems;
        xmlSetStructuredErrorFunc(nullptr, collectError);
        xmlSetGenericErrorFunc(nullptr, ignoreGeneric);
    }
    LibxmlScope(const LibxmlScope&) = delete;
    LibxmlScope& operator=(const LibxmlScope&) = delete;

    ~LibxmlScope()
    {
        xmlParserInputBufferCreateFilenameDefault(m_open);
        xmlSetGenericErrorFunc(m_genericContext, m_generic);
        xmlSetStructuredErrorFunc(m_structuredContext, m_structured);
        t_problems = nullptr;
    }

private:
    std::lock_guard<std::mutex> m_lock;
    xmlStructuredErrorFunc m_structured;
    void* m_structuredContext;
    xmlGenericErrorFunc m_generic;
    void* m_genericContext;
    xmlParserInputBufferCreateFilenameFunc m_open;
};

void startLibxml()
{
    static std::once_flag started;
    std::call_once(started, [] { xmlInitParser(); });
}

std::string taken(xmlChar* answer)
{
    if (answer == nullptr)
        return {};
    std::string text(reinterpret_cast<const char*>(answer));
    xmlFree(answer);
    return text;
}

const xmlChar* orNull(const std::string& text)
{
    return text.empty() ? nullptr : reinterpret_cast<const xmlChar*>(text.c_str());
}

} // namespace

std::vector<std::string> systemCatalogFiles()
{
    std::vector<std::string> files;
    if (const char* listed = std::getenv("XML_CATALOG_FILES"))
    {
        std::istringstream names(listed);
        for (std::string name; names >> name;)
            files.push_back(name);
        return files;
    }
    if (isFile("/etc/xml/catalog"))
        files.emplace_back("/etc/xml/catalog");
    return files;
}

namespace
{

// A systemSuffix or uriSuffix entry, which libxml2 passes over.
struct SuffixEntry
{
    bool isUri;
    std::string suffix;
    std::string target;
};

std::string attribute(xmlNodePtr node, const char* name)
{
    return taken(xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)));
}

// `reference` made absolute against the base of `node` (xml:base included).
std::string againstBase(xmlNodePtr node, const std::string& reference)
{
    const std::string base = taken(xmlNodeGetBase(node->doc, node));
    return taken(xmlBuildURI(reinterpret_cast<const xmlChar*>(reference.c_str()),
                             reinterpret_cast<const xmlChar*>(base.c_str())));
}

void collectSuffixes(const std::string& file, std::vector<SuffixEntry>& entries,
                     std::set<std::string>& seen);

void collectSuffixes(xmlNodePtr parent, std::vector<SuffixEntry>& entries,
                     std::set<std::string>& seen)
{
    static const xmlChar kNamespace[] = "urn:oasis:names:tc:entity:xmlns:xml:catalog";
    for (xmlNodePtr node = parent->children; node != nullptr; node = node->next)
    {
        if (node->type != XML_ELEMENT_NODE || node->ns == nullptr ||
            !xmlStrEqual(node->ns->href, kNamespace))
            continue;
        const std::string name(reinterpret_cast<const char*>(node->name));
        if (name == "group")
            collectSuffixes(node, entries, seen);
        else if (name == "nextCatalog")
            collectSuffixes(againstBase(node, attribute(node, "catalog")), entries, seen);
        else if (name == "systemSuffix" || name == "uriSuffix")
        {
            const bool isUri = name == "uriSuffix";
            SuffixEntry entry{isUri, attribute(node, isUri ? "uriSuffix" : "systemIdSuffix"),
                              againstBase(node, attribute(node, "uri"))};
            if (!entry.suffix.empty() && !entry.target.empty())
                entries.push_back(std::move(entry));
        }
    }
}

// Reads the catalogs below the libxml2 parser's catalog reader, which bypasses catalogs and
// opens files through this library's local-only reader.
void collectSuffixes(const std::string& file, std::vector<SuffixEntry>& entries,
                     std::set<std::string>& seen)
{
    if (file.empty() || seen.size() > 100 || !seen.insert(file).second)
        return;
    xmlDocPtr document = xmlParseCatalogFile(file.c_str());
    if (document == nullptr)
        return;
    if (xmlNodePtr root = xmlDocGetRootElement(document))
        collectSuffixes(root, entries, seen);
    xmlFreeDoc(document);
}

} // namespace

struct Catalogs::Lists
{
    std::vector<xmlCatalogPtr> catalogs;
    std::optional<std::vector<SuffixEntry>> suffixes; // read on first need

    // The target of the longest suffix entry of the kind asked for that ends `identifier`.
    std::string bySuffix(const std::vector<std::string>& files, const std::string& identifier,
                         bool isUri)
    {
        if (!suffixes)
        {
            suffixes.emplace();
            std::set<std::string> seen;
            for (const std::string& file : files)
                collectSuffixes(file, *suffixes, seen);
        }
        const SuffixEntry* best = nullptr;
        for (const SuffixEntry& entry : *suffixes)
            if (entry.isUri == isUri && entry.suffix.size() <= identifier.size() &&
                identifier.compare(identifier.size() - entry.suffix.size(), entry.suffix.size(),
                                   entry.suffix) == 0 &&
                (best == nullptr || entry.suffix.size() > best->suffix.size()))
                best = &entry;
        return best != nullptr ? best->target : std::string();
    }

    ~Lists()
    {
        std::vector<std::pair<std::string, std::string>> ignored;
        LibxmlScope scope(ignored);
        for (xmlCatalogPtr catalog : catalogs)
            xmlFreeCatalog(catalog);
    }
};

Catalogs::Catalogs(std::vector<std::string> files)
    : m_files(std::move(files)), m_lists(std::make_unique<Lists>())
{
    startLibxml();
    std::vector<std::pair<std::string, std::string>> problems;
    {
        LibxmlScope scope(problems);
        for (const std::string& file : m_files)
        {
            const std::string path = localFilePath(file);
            if (path.empty())
                problems.emplace_back(file, "XML catalog " + file +
                                                " not read: catalogs are read from local files "
                                                "only");
            else if (!isFile(path))
                problems.emplace_back(file, "XML catalog " + file + " is missing; passed over");
            else if (xmlCatalogPtr catalog = xmlLoadACatalog(path.c_str()))
                m_lists->catalogs.push_back(catalog);
            else
                problems.emplace_back(file, "XML catalog " + file + " could not be read");
        }
    }
    keepProblems(problems);
}

Catalogs::~Catalogs() = default;

std::string Catalogs::resolveExternal(const std::string& publicId, const std::string& systemId)
{
    if (publicId.empty() && systemId.empty())
        return {};
    std::vector<std::pair<std::string, std::string>> problems;
    std::string answer;
    {
        LibxmlScope scope(problems);
        for (xmlCatalogPtr catalog : m_lists->catalogs)
        {
            answer = taken(xmlACatalogResolve(catalog, orNull(publicId), orNull(systemId)));
            if (!answer.empty())
                break;
        }
        if (answer.empty() && !systemId.empty())
            answer = m_lists->bySuffix(m_files, systemId, false);
    }
    keepProblems(problems);
    return answer;
}

std::string Catalogs::resolveUri(const std::string& uri)
{
    if (uri.empty())
        return {};
    std::vector<std::pair<std::string, std::string>> problems;
    std::string answer;
    {
        LibxmlScope scope(problems);
        for (xmlCatalogPtr catalog : m_lists->catalogs)
        {
            answer = taken(xmlACatalogResolveURI(catalog, orNull(uri)));
            if (!answer.empty())
                break;
        }
        if (answer.empty())
            answer = m_lists->bySuffix(m_files, uri, true);
    }
    keepProblems(problems);
    return answer;
}

void Catalogs::keepProblems(std::vector<std::pair<std::string, std::string>>& problems)
{
    for (auto& [file, text] : problems)
        if (m_problemFiles.insert(file).second)
            m_problems.push_back(std::move(text));
}

std::vector<std::string> Catalogs::takeProblems()
{
    return std::exchange(m_problems, {});
}

} // namespace prsm::detail
