// A document in the engine's source tree, with the parser that owns it.
#include "engine/parse/SourceDocument.hpp"

#include <xalanc/PlatformSupport/URISupport.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xercesc/util/XMLException.hpp>

namespace prsm::detail
{

SourceDocument::SourceDocument(xalanc::MemoryManager& manager) : m_liaison(manager), m_uri(manager)
{
}

std::unique_ptr<SourceDocument> SourceDocument::parse(xalanc::MemoryManager& manager,
                                                      const xalanc::XSLTInputSource& source,
                                                      OperationGuard& guard, IdleReader* idleReader)
{
    std::unique_ptr<SourceDocument> parsed(new SourceDocument(manager));
    parsed->m_liaison.setGuard(&guard);
    parsed->m_liaison.setHostInput(&source);
    parsed->m_liaison.setIdleReader(idleReader);
    parsed->m_document = parsed->m_liaison.mapDocument(parsed->m_liaison.parseXMLStream(source));
    // The liaison outlives the operation; it parses nothing more.
    parsed->m_liaison.setGuard(nullptr);
    parsed->m_liaison.setHostInput(nullptr);
    parsed->m_liaison.setIdleReader(nullptr);
    if (const XMLCh* systemId = source.getSystemId())
    {
        try
        {
            xalanc::URISupport::getURLStringFromString(systemId, parsed->m_uri);
        }
        catch (const xercesc::XMLException&)
        {
            // The parser has already read the document, so the id names no real resource:
            // it is a base for relative references only, kept as given.
            parsed->m_uri = systemId;
        }
    }
    return parsed;
}

std::unique_ptr<SourceDocument> SourceDocument::empty(xalanc::MemoryManager& manager)
{
    std::unique_ptr<SourceDocument> tree(new SourceDocument(manager));
    tree->m_document = tree->m_liaison.createXalanSourceTreeDocument();
    return tree;
}

} // namespace prsm::detail
