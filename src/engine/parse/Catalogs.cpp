// A list of XML catalogs, looked up through libxml2's catalog module.
#include "engine/parse/Catalogs.hpp"

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <libxml/catalog.h>
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <mutex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace prsm::detail
{
namespace
{

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

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

std::string percentDecoded(const std::string& text)
{
    std::string decoded;
    for (std::size_t at = 0; at < text.size(); ++at)
    {
        if (text[at] == '%' && at + 2 < text.size() && hexValue(text[at + 1]) >= 0 &&
            hexValue(text[at + 2]) >= 0)
        {
            decoded += static_cast<char>(hexValue(text[at + 1]) * 16 + hexValue(text[at + 2]));
            at += 2;
        }
        else
        {
            decoded += text[at];
        }
    }
    return decoded;
}

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

struct Catalogs::Lists
{
    std::vector<xmlCatalogPtr> catalogs;

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
