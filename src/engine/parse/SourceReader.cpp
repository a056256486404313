// The reader of source documents, which may serve many parses one after the other.
#include "engine/parse/SourceReader.hpp"

#include <xercesc/sax/InputSource.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/DTD/DTDElementDecl.hpp>
#include <xercesc/validators/common/Grammar.hpp>

#include <memory>

namespace prsm::detail
{

SourceReader::SourceReader(xercesc::MemoryManager& manager,
                           std::shared_ptr<DtdGrammarCache> grammars)
    : SourceReaderMemory(manager), GrammarCacheHold{std::move(grammars)},
      GuardedParser<xercesc::SAX2XMLReaderImpl>(&m_memory, GrammarCacheHold::m_grammars.get()),
      m_manager(manager)
{
    if (GrammarCacheHold::m_grammars)
        GrammarCacheHold::m_grammars->setLoader(this);
    using xercesc::XMLUni;
    setFeature(XMLUni::fgSAX2CoreNameSpaces, true);
    setFeature(XMLUni::fgSAX2CoreNameSpacePrefixes, true);
    setFeature(XMLUni::fgSAX2CoreValidation, false);
    setFeature(XMLUni::fgXercesDynamic, false);
    setFeature(XMLUni::fgXercesSchema, false);
    if (GrammarCacheHold::m_grammars)
    {
        setFeature(XMLUni::fgXercesUseCachedGrammarInParse, true);
        // A document with an internal subset reads its whole DTD itself.
        setFeature(XMLUni::fgXercesIgnoreCachedDTD, true);
    }
}

void SourceReader::doctypeDecl(const xercesc::DTDElementDecl& elemDecl, const XMLCh* const publicId,
                               const XMLCh* const systemId, const bool hasIntSubset,
                               const bool hasExtSubset)
{
    m_isDtdCacheable = hasExtSubset && !hasIntSubset && systemId != nullptr && *systemId != 0;
    if (m_isDtdCacheable)
    {
        m_dtdId = systemId;
        m_dtdPublicId = publicId != nullptr ? publicId : u"";
        const xercesc::Locator* place = m_budget != nullptr ? m_budget->locator() : nullptr;
        m_documentId =
            place != nullptr && place->getSystemId() != nullptr ? place->getSystemId() : u"";
    }
    GuardedParser<xercesc::SAX2XMLReaderImpl>::doctypeDecl(elemDecl, publicId, systemId,
                                                           hasIntSubset, hasExtSubset);
}

void SourceReader::elementDecl(const xercesc::DTDElementDecl& decl, const bool isIgnored)
{
    GuardedParser<xercesc::SAX2XMLReaderImpl>::elementDecl(decl, isIgnored);
    // The declaration belongs to the grammar being read, which the parser holds as non-const.
    if (!m_validates)
        const_cast<xercesc::DTDElementDecl&>(decl).setContentSpec(nullptr);
}

bool SourceReader::mayLoadDtd() const
{
    return m_isDtdCacheable && !m_validates && m_budget != nullptr &&
           !m_budget->operation().limits().reportCatalogResolutions;
}

void SourceReader::loadDtd(const XMLCh* systemId)
{
    DtdGrammarCache* cache = GrammarCacheHold::m_grammars.get();
    if (cache == nullptr)
        return;
    try
    {
        auto own = std::make_shared<DtdGrammarCache>(m_manager, cache->store());
        SourceReader loader(m_manager, own);
        own->setLoader(nullptr);
        // Throws at the first fatal error and ignores the rest; as a lexical handler it has the
        // parser report the declarations, whose content models then go (elementDecl).
        xercesc::DefaultHandler events;
        loader.setBudget(m_budget);
        loader.setErrorHandler(&events);
        loader.setLexicalHandler(&events);
        loader.setProperty(xercesc::XMLUni::fgXercesSecurityManager,
                           getProperty(xercesc::XMLUni::fgXercesSecurityManager));
        own->readRecorded(
            getXMLEntityResolver(),
            [&](xercesc::XMLEntityResolver* recording)
            {
                loader.setXMLEntityResolver(recording);
                // Resolved as the parse resolved it, public identifier included, so that a
                // catalog maps it alike and the access policy judges it alike.
                xercesc::XMLResourceIdentifier identifier(
                    xercesc::XMLResourceIdentifier::ExternalEntity, m_dtdId.c_str(), nullptr,
                    m_dtdPublicId.empty() ? nullptr : m_dtdPublicId.c_str(),
                    m_documentId.empty() ? nullptr : m_documentId.c_str(), m_budget->locator());
                std::unique_ptr<xercesc::InputSource> source(recording->resolveEntity(&identifier));
                if (source)
                    loader.loadGrammar(*source, xercesc::Grammar::DTDGrammarType, true);
                else
                    loader.loadGrammar(systemId, xercesc::Grammar::DTDGrammarType, true);
            });
        loader.release(0);
    }
    catch (...)
    {
    }
}

void SourceReader::setValidation(bool validate)
{
    using xercesc::XMLUni;
    if (validate == m_validates)
        return;
    setFeature(XMLUni::fgSAX2CoreValidation, validate);
    setFeature(XMLUni::fgXercesDynamic, validate);
    setFeature(XMLUni::fgXercesSchema, validate);
    if (GrammarCacheHold::m_grammars)
        setFeature(XMLUni::fgXercesUseCachedGrammarInParse, !validate);
    m_validates = validate;
}

void SourceReader::release(std::uint64_t bytes) noexcept
{
    setBudget(nullptr);
    setContentHandler(nullptr);
    setLexicalHandler(nullptr);
    setDTDHandler(nullptr);
    setErrorHandler(nullptr);
    setXMLEntityResolver(nullptr);
    // Else the next parse without an expansion bound would still count against this one's.
    setProperty(xercesc::XMLUni::fgXercesSecurityManager, nullptr);
    m_bytesRead += bytes;
    m_isDtdCacheable = false;
    m_dtdId.clear();
    m_dtdPublicId.clear();
    m_documentId.clear();
}

} // namespace prsm::detail
