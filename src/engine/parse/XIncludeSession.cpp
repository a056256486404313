// What every inclusion made while one document is parsed shares.
#include "engine/parse/XIncludeSession.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "engine/limits/ParseBudget.hpp"
#include "engine/limits/ResourcePolicy.hpp"
#include "engine/parse/IncludedText.hpp"
#include "engine/parse/ResourceResolver.hpp"
#include "engine/parse/UriText.hpp"
#include "engine/parse/XIncludeFilter.hpp"
#include "engine/parse/XPointer.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"
#include "platform/Utf8.hpp"

#include <xercesc/sax/SAXException.hpp>
#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLURL.hpp>

#include <algorithm>
#include <memory>
#include <vector>

namespace prsm::detail
{
namespace
{

// As deep as xsltproc lets inclusions nest: each level holds a parser on the stack.
constexpr std::size_t kMaxNesting = 40;

constexpr XMLSize_t kChunk = 64 * 1024;

std::string quoted(const std::string& text)
{
    return '"' + text + '"';
}

// A resource opened before its parse starts, so that one that cannot be opened is known while
// XInclude may still fall back.
class OpenedInput final : public xercesc::InputSource
{
public:
    OpenedInput(std::unique_ptr<xercesc::BinInputStream> stream, const XMLCh* systemId)
        : xercesc::InputSource(systemId, &engineMemory()), m_stream(std::move(stream))
    {
    }

    xercesc::BinInputStream* makeStream() const override
    {
        return m_stream.release(); // the parser owns it from here, and reads it once
    }

private:
    mutable std::unique_ptr<xercesc::BinInputStream> m_stream;
};

std::unique_ptr<xercesc::BinInputStream> opened(const std::string& url)
{
    try
    {
        const xalanc::XalanDOMString text = toEngine(url.c_str());
        const xercesc::XMLURL location(text.c_str(), &engineMemory());
        std::unique_ptr<xercesc::BinInputStream> stream(location.makeNewStream());
        if (stream)
            return stream;
    }
    catch (const xercesc::XMLException& e)
    {
        throw IncludeFailure(utf8Of(e.getMessage()));
    }
    throw IncludeFailure("it cannot be read");
}

} // namespace

XIncludeSession::XIncludeSession(ParseBudget& budget, IncludeParser& parser, const std::string& url)
    : m_budget(budget), m_parser(parser), m_folder(currentFolderUri())
{
    m_open.emplace_back(location(url), std::u16string());
}

std::string XIncludeSession::location(const std::string& url) const
{
    // The transformer's catalogs map an href as they map a URI that document() names.
    const std::string at = resolveUri(url, m_folder);
    const ResolvedResource resolved = resolveResource(m_budget.operation(), "", at, "");
    if (!resolved.isMapped)
        return at;
    // A catalog answers with a path; inclusions are located by URL.
    return resolved.location.front() == '/' ? "file://" + resolved.location : resolved.location;
}

void XIncludeSession::admit(const std::string& location)
{
    const std::string refusal = resourceRefusal(m_budget.operation().limits(), location, "");
    if (!refusal.empty())
        m_budget.refuse(refusal);
    const auto known = m_characters.find(location);
    if (known != m_characters.end())
        m_budget.reserveContent(known->second, "including " + quoted(location) + " once more");
}

void XIncludeSession::includeDocument(const IncludeSite& site, xercesc::ContentHandler& content,
                                      xercesc::LexicalHandler* lexical)
{
    const std::string at = location(site.url);
    const std::pair<std::string, std::u16string> inclusion(at, site.pointer);
    if (std::find(m_open.begin(), m_open.end(), inclusion) != m_open.end())
        m_budget.refuse("xi:include of " + quoted(at) +
                        (site.pointer.empty() ? "" : " at " + quoted(utf16ToUtf8(site.pointer))) +
                        " lies inside its own inclusion: the inclusions form a loop");
    if (m_open.size() > kMaxNesting)
        m_budget.refuse("xi:include of " + quoted(at) + " nests inclusions deeper than " +
                        std::to_string(kMaxNesting) + " levels");
    admit(at);
    std::vector<ElementPointer> parts;
    if (!site.pointer.empty())
    {
        parts = elementPointers(site.pointer);
        if (parts.empty())
            throw IncludeFailure("the xpointer " + quoted(utf16ToUtf8(site.pointer)) +
                                 " is neither a name nor a list of element() parts");
    }

    m_open.push_back(inclusion);
    struct Close
    {
        std::vector<std::pair<std::string, std::u16string>>& open;
        ~Close() { open.pop_back(); }
    } close{m_open};
    const xalanc::XalanDOMString systemId = toEngine(at.c_str());
    for (std::size_t part = 0; part < std::max<std::size_t>(parts.size(), 1); ++part)
    {
        OpenedInput input(opened(at), systemId.c_str());
        XIncludeFilter filter(*this, site, parts.empty() ? nullptr : &parts[part], content,
                              lexical);
        const bool isFirstRead = m_characters.count(at) == 0;
        const std::uint64_t before = m_budget.contentCharacters();
        {
            const ParseBudget::Inclusion keep(m_budget);
            std::string problem;
            try
            {
                m_parser.parseIncluded(input, isFirstRead, filter, filter);
            }
            catch (const xercesc::SAXException& e)
            {
                problem = utf8Of(e.getMessage());
                if (m_budget.operation().failure() != nullptr || filter.hasPassedOn())
                    throw;
            }
            catch (const xercesc::XMLException& e)
            {
                problem = utf8Of(e.getMessage());
                if (m_budget.operation().failure() != nullptr || filter.hasPassedOn())
                    throw;
            }
            if (!problem.empty())
                throw IncludeFailure(problem);
        }
        if (isFirstRead)
            m_characters[at] = m_budget.contentCharacters() - before;
        if (filter.hasSelected())
            return;
    }
    throw IncludeFailure("the xpointer " + quoted(utf16ToUtf8(site.pointer)) +
                         " selects no element");
}

std::string XIncludeSession::readAll(const std::string& location, bool countsInput)
{
    std::unique_ptr<xercesc::BinInputStream> stream = opened(location);
    std::string bytes;
    std::vector<XMLByte> chunk(kChunk);
    try
    {
        while (const XMLSize_t count = stream->readBytes(chunk.data(), kChunk))
        {
            bytes.append(reinterpret_cast<const char*>(chunk.data()), count);
            if (countsInput)
                m_budget.addInput(count);
            m_budget.addContent(0); // the operation's clock and memory
        }
    }
    catch (const xercesc::XMLException& e)
    {
        throw IncludeFailure(utf8Of(e.getMessage()));
    }
    return bytes;
}

void XIncludeSession::includeText(const IncludeSite& site, xercesc::ContentHandler& content)
{
    const std::string at = location(site.url);
    admit(at);
    const bool isFirstRead = m_characters.count(at) == 0;
    std::u16string text;
    try
    {
        text = decodedText(readAll(at, isFirstRead), site.encoding, engineMemory());
    }
    catch (const std::runtime_error& e)
    {
        if (dynamic_cast<const IncludeFailure*>(&e) != nullptr)
            throw;
        throw IncludeFailure(e.what());
    }
    m_budget.addContent(text.size());
    if (isFirstRead)
        m_characters[at] = text.size();
    if (!text.empty())
        content.characters(text.data(), text.size());
}

} // namespace prsm::detail
