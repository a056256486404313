// External DTD subsets parsed once and reused by the later parses that name them.
#include "engine/parse/DtdGrammarCache.hpp"

#include "platform/EngineText.hpp"

#include <xercesc/framework/XMLGrammarDescription.hpp>
#include <xercesc/sax/InputSource.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLURL.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/common/Grammar.hpp>

#include <memory>

namespace prsm::detail
{
namespace
{

// What a resolution reads: the resolver's source, or the identifier taken against its base, as
// the parser itself would read it.
std::string readName(const xercesc::XMLResourceIdentifier& identifier,
                     const xercesc::InputSource* source)
{
    if (source != nullptr && source->getSystemId() != nullptr)
        return utf8Of(source->getSystemId());
    if (identifier.getSystemId() == nullptr)
        return std::string();
    return utf8Of(absoluteSystemId(identifier.getBaseURI(), identifier.getSystemId(),
                                   *xercesc::XMLPlatformUtils::fgMemoryManager)
                      .c_str());
}

} // namespace

std::basic_string<XMLCh> absoluteSystemId(const XMLCh* base, const XMLCh* name,
                                          xercesc::MemoryManager& manager)
{
    try
    {
        const xercesc::XMLURL url(base, name);
        return url.getURLText();
    }
    catch (...)
    {
    }
    xercesc::XMLURL absolute(&manager);
    if (name[0] == xercesc::chForwardSlash ||
        (xercesc::XMLURL::parse(name, absolute) && !absolute.isRelative()))
        return name;
    if (base == nullptr || *base == 0)
        return std::basic_string<XMLCh>();
    XMLCh* woven = xercesc::XMLPlatformUtils::weavePaths(base, name, &manager);
    std::basic_string<XMLCh> path(woven);
    manager.deallocate(woven);
    return path;
}

DtdGrammarCache::DtdGrammarCache(xercesc::MemoryManager& manager,
                                 std::shared_ptr<DtdGrammarStore> store)
    : xercesc::XMLGrammarPoolImpl(&manager), m_store(std::move(store))
{
}

bool DtdGrammarCache::cacheGrammar(xercesc::Grammar* const grammar)
{
    return m_recording != nullptr &&
           m_store->adopt(grammar, *m_recording,
                          m_loadingKey.empty() ? nullptr : m_loadingKey.c_str());
}

xercesc::Grammar*
DtdGrammarCache::retrieveGrammar(xercesc::XMLGrammarDescription* const description)
{
    const XMLCh* const key = description != nullptr ? description->getGrammarKey() : nullptr;
    if (key == nullptr)
        return nullptr;
    if (xercesc::Grammar* kept = m_store->find(key))
        return kept;
    // The parser also looks up the grammar of the parse itself, by a name that is no file.
    if (m_loader == nullptr ||
        xercesc::XMLString::equals(key, xercesc::XMLUni::fgDTDEntityString) ||
        !m_loader->mayLoadDtd())
        return nullptr;
    auto load = [&]
    {
        m_loadingKey = key;
        m_loader->loadDtd(key);
        m_loadingKey.clear();
    };
    return m_store->findOrLoad(key, load);
}

DtdGrammarCache::Recording::Recording(DtdGrammarCache& cache, xercesc::XMLEntityResolver* inner)
    : m_cache(cache), m_inner(inner)
{
    m_cache.m_recording = &m_files;
}

DtdGrammarCache::Recording::~Recording()
{
    m_cache.m_recording = nullptr;
}

xercesc::InputSource*
DtdGrammarCache::Recording::resolveEntity(xercesc::XMLResourceIdentifier* identifier)
{
    std::unique_ptr<xercesc::InputSource> source(
        m_inner != nullptr ? m_inner->resolveEntity(identifier) : nullptr);
    m_files.add(readName(*identifier, source.get()));
    return source.release();
}

} // namespace prsm::detail
