// The reader of source documents, which may serve many parses one after the other.
#include "engine/parse/SourceReader.hpp"

#include "platform/EngineText.hpp"

#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/common/Grammar.hpp>

namespace prsm::detail
{

SourceReader::SourceReader(xercesc::MemoryManager& manager,
                           std::shared_ptr<DtdGrammarCache> grammars)
    : GrammarCacheHold{std::move(grammars)}, GuardedParser<xercesc::SAX2XMLReaderImpl>(
                                                 &manager, GrammarCacheHold::m_grammars.get()),
      m_manager(manager)
{
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
        m_dtdId = systemId;
    GuardedParser<xercesc::SAX2XMLReaderImpl>::doctypeDecl(elemDecl, publicId, systemId,
                                                           hasIntSubset, hasExtSubset);
}

void SourceReader::elementDecl(const xercesc::DTDElementDecl& decl, const bool isIgnored)
{
    m_hasReadDeclarations = true;
    GuardedParser<xercesc::SAX2XMLReaderImpl>::elementDecl(decl, isIgnored);
}

void SourceReader::entityDecl(const xercesc::DTDEntityDecl& decl, const bool isPEDecl,
                              const bool isIgnored)
{
    m_hasReadDeclarations = true;
    GuardedParser<xercesc::SAX2XMLReaderImpl>::entityDecl(decl, isPEDecl, isIgnored);
}

void SourceReader::startAttList(const xercesc::DTDElementDecl& decl)
{
    m_hasReadDeclarations = true;
    GuardedParser<xercesc::SAX2XMLReaderImpl>::startAttList(decl);
}

void SourceReader::keepDtd(const XMLCh* documentId)
{
    DtdGrammarCache* cache = GrammarCacheHold::m_grammars.get();
    if (cache == nullptr || !m_isDtdCacheable || !m_hasReadDeclarations)
        return;
    try
    {
        const std::basic_string<XMLCh> dtd =
            absoluteSystemId(documentId, m_dtdId.c_str(), m_manager);
        if (dtd.empty() || !cache->shouldTry(utf8Of(dtd.c_str())))
            return;
        xercesc::XMLEntityResolver* resolver = getXMLEntityResolver();
        cache->readRecorded(resolver,
                            [&](xercesc::XMLEntityResolver* recording)
                            {
                                setXMLEntityResolver(recording);
                                loadGrammar(dtd.c_str(), xercesc::Grammar::DTDGrammarType, true);
                            });
        setXMLEntityResolver(resolver);
    }
    catch (...)
    {
        m_hasFailed = true;
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
    if (GrammarCacheHold::m_grammars)
        GrammarCacheHold::m_grammars->countRead(bytes);
    m_dtdId.clear();
    m_isDtdCacheable = false;
    m_hasReadDeclarations = false;
}

} // namespace prsm::detail
