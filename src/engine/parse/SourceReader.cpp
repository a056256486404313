// The reader of source documents, which may serve many parses one after the other.
#include "engine/parse/SourceReader.hpp"

#include "platform/EngineText.hpp"

#include <xercesc/sax/InputSource.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/DTD/DTDElementDecl.hpp>
#include <xercesc/validators/common/Grammar.hpp>

#include <memory>

namespace prsm::detail
{
namespace
{

// The place of a resolution made after the parse, which has none.
class NoPlace final : public xercesc::Locator
{
public:
    const XMLCh* getPublicId() const override { return nullptr; }
    const XMLCh* getSystemId() const override { return nullptr; }
    XMLFileLoc getLineNumber() const override { return 0; }
    XMLFileLoc getColumnNumber() const override { return 0; }
};

} // namespace

SourceReader::SourceReader(xercesc::MemoryManager& manager,
                           std::shared_ptr<DtdGrammarCache> grammars)
    : SourceReaderMemory(manager), GrammarCacheHold{std::move(grammars)},
      GuardedParser<xercesc::SAX2XMLReaderImpl>(&m_memory, GrammarCacheHold::m_grammars.get()),
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
    {
        m_dtdId = systemId;
        m_dtdPublicId = publicId != nullptr ? publicId : u"";
    }
    GuardedParser<xercesc::SAX2XMLReaderImpl>::doctypeDecl(elemDecl, publicId, systemId,
                                                           hasIntSubset, hasExtSubset);
}

void SourceReader::elementDecl(const xercesc::DTDElementDecl& decl, const bool isIgnored)
{
    m_hasReadDeclarations = true;
    GuardedParser<xercesc::SAX2XMLReaderImpl>::elementDecl(decl, isIgnored);
    // The declaration belongs to the grammar being read, which the parser holds as non-const.
    if (!m_validates)
        const_cast<xercesc::DTDElementDecl&>(decl).setContentSpec(nullptr);
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
    // A host that asked to hear of every catalog resolution would hear of the DTD's twice.
    // A kept grammar has no content models, which validation needs.
    if (cache == nullptr || m_validates || !m_isDtdCacheable || !m_hasReadDeclarations ||
        m_budget == nullptr || m_budget->operation().limits().reportCatalogResolutions)
        return;
    try
    {
        const std::basic_string<XMLCh> dtd =
            absoluteSystemId(documentId, m_dtdId.c_str(), m_manager);
        if (dtd.empty() || !cache->shouldTry(utf8Of(dtd.c_str())))
            return;
        xercesc::XMLEntityResolver* resolver = getXMLEntityResolver();
        // The parse is over: a refusal while reading the DTD again has no place in it.
        if (m_budget != nullptr)
            m_budget->setLocator(nullptr);
        cache->readRecorded(
            resolver,
            [&](xercesc::XMLEntityResolver* recording)
            {
                setXMLEntityResolver(recording);
                // Resolved as the parse resolved it, public identifier included, so that a
                // catalog maps it alike.
                const NoPlace place;
                xercesc::XMLResourceIdentifier identifier(
                    xercesc::XMLResourceIdentifier::ExternalEntity, m_dtdId.c_str(), nullptr,
                    m_dtdPublicId.empty() ? nullptr : m_dtdPublicId.c_str(), documentId, &place);
                std::unique_ptr<xercesc::InputSource> source(recording->resolveEntity(&identifier));
                if (source)
                    loadGrammar(*source, xercesc::Grammar::DTDGrammarType, true);
                else
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
    m_dtdId.clear();
    m_dtdPublicId.clear();
    m_isDtdCacheable = false;
    m_hasReadDeclarations = false;
}

} // namespace prsm::detail
