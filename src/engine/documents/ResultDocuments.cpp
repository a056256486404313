// The secondary result documents of one transformation, under the transformer's write policy.
#include "engine/documents/ResultDocuments.hpp"

#include "engine/documents/DocumentException.hpp"
#include "engine/documents/DocumentListener.hpp"
#include "engine/documents/DocumentPath.hpp"
#include "engine/documents/DocumentSink.hpp"
#include "platform/EngineText.hpp"

#include <algorithm>
#include <stdexcept>

namespace prsm::detail
{
namespace
{

std::string parentFolder(const std::string& path)
{
    return path.substr(0, std::max<std::size_t>(path.find_last_of('/'), 1));
}

} // namespace

// Declared so that the listener, whose writers flush as they go, goes before the sink.
struct ResultDocuments::Open
{
    PRSMXslResultDocument document;
    std::unique_ptr<DocumentSink> sink;
    std::unique_ptr<DocumentListener> listener;

    ~Open()
    {
        if (sink)
            sink->abandon();
    }
};

ResultDocuments::ResultDocuments(const PRSMXslWritePolicy& policy, std::string mainResult)
    : m_policy(policy), m_mainResult(std::move(mainResult))
{
}

// Innermost first, as they were opened.
ResultDocuments::~ResultDocuments()
{
    while (!m_open.empty())
        m_open.pop_back();
}

void ResultDocuments::refuse(const std::string& href, const std::string& why,
                             const xercesc::Locator* locator) const
{
    throw DocumentException("exsl:document href=\"" + href + "\" refused: " + why, locator);
}

xalanc::FormatterListener& ResultDocuments::open(const std::u16string& hrefText,
                                                 const DocumentFormat& format,
                                                 const xalanc::StylesheetExecutionContext& context,
                                                 const xercesc::Locator* locator)
{
    const std::string href = utf8Of(hrefText.c_str());
    auto open = std::make_unique<Open>();
    open->document.href = href;
    open->document.method = utf8Of(format.method.c_str());
    open->document.encoding = utf8Of(format.encoding.c_str());
    if (!m_policy.handler && m_policy.writableFolders.empty())
        refuse(href,
               "this transformer may not write result documents (allow folders with "
               "PRSMXslWritePolicy::writableFolders, or take documents in memory with "
               "PRSMXslWritePolicy::handler, through PRSMXslTransformer::setWritePolicy)",
               locator);
    bool isRelative = false;
    std::string base;
    try
    {
        if (m_base.empty())
        {
            if (m_mainResult.empty())
                m_base = absoluteFolder(m_policy.baseFolder);
            else
            {
                const std::string result =
                    m_mainResult.front() == '/'
                        ? normalPath(m_mainResult)
                        : normalPath(absoluteFolder("") + '/' + m_mainResult);
                m_paths.insert(result);
                m_base = parentFolder(result);
            }
        }
        // A document inside another resolves against the other's folder, as in xsltproc.
        base = m_open.empty() ? m_base : parentFolder(m_open.back()->document.path);
        open->document.path = documentPath(href, base, isRelative);
    }
    catch (const std::runtime_error& error)
    {
        refuse(href, error.what(), locator);
    }
    if (m_paths.count(open->document.path) != 0)
        throw DocumentException("exsl:document href=\"" + href + "\": " + open->document.path +
                                    " is already a result of this transformation",
                                locator);

    if (m_policy.handler)
    {
        std::ostream* const stream = m_policy.handler(open->document);
        if (stream == nullptr)
            refuse(href, "the host's document handler gave no stream", locator);
        open->sink = std::make_unique<DocumentSink>(*stream, href);
    }
    else
    {
        try
        {
            prepareDocumentFolder(open->document.path, base, isRelative, m_policy.writableFolders,
                                  m_policy.mayCreateFolders);
        }
        catch (const std::runtime_error& error)
        {
            refuse(href, error.what(), locator);
        }
        open->sink = std::make_unique<DocumentSink>(open->document.path);
    }
    m_paths.insert(open->document.path);
    open->listener = std::make_unique<DocumentListener>(open->sink->stream(), format, context);
    m_open.push_back(std::move(open));
    return *m_open.back()->listener;
}

void ResultDocuments::close(const xercesc::Locator* locator)
{
    if (m_open.empty())
        throw DocumentException("exsl:document: no document is open", locator);
    Open& open = *m_open.back();
    open.listener->endDocument();
    open.sink->commit();
    open.document.method = utf8Of(open.listener->method().c_str());
    const PRSMXslResultDocument document = open.document;
    m_open.pop_back();
    if (m_policy.observer)
        m_policy.observer(document);
}

} // namespace prsm::detail
