// Event handlers that pass every parse event on after a parse budget has counted it.
#include "engine/parse/GuardedHandlers.hpp"

#include <xercesc/sax/AttributeList.hpp>
#include <xercesc/sax2/Attributes.hpp>

namespace prsm::detail
{

GuardedContentHandler::GuardedContentHandler(ParseBudget& budget, xercesc::ContentHandler& content,
                                             xercesc::LexicalHandler* lexical)
    : m_events(budget, content), m_lexical(lexical)
{
}

void GuardedContentHandler::characters(const XMLCh* const chars, const XMLSize_t length)
{
    m_events.text(chars, length);
}

void GuardedContentHandler::endDocument()
{
    m_events.next().endDocument();
}

void GuardedContentHandler::endElement(const XMLCh* const uri, const XMLCh* const localname,
                                       const XMLCh* const qname)
{
    m_events.closeElement().endElement(uri, localname, qname);
}

void GuardedContentHandler::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length)
{
    m_events.content(length).ignorableWhitespace(chars, length);
}

void GuardedContentHandler::processingInstruction(const XMLCh* const target,
                                                  const XMLCh* const data)
{
    m_events.instruction(target, data).processingInstruction(target, data);
}

void GuardedContentHandler::setDocumentLocator(const xercesc::Locator* const locator)
{
    m_events.setLocator(locator);
}

void GuardedContentHandler::startDocument()
{
    m_events.passed().startDocument();
}

void GuardedContentHandler::startElement(const XMLCh* const uri, const XMLCh* const localname,
                                         const XMLCh* const qname, const xercesc::Attributes& attrs)
{
    m_events.openElement(qname, attrs).startElement(uri, localname, qname, attrs);
}

void GuardedContentHandler::startPrefixMapping(const XMLCh* const prefix, const XMLCh* const uri)
{
    m_events.next().startPrefixMapping(prefix, uri);
}

void GuardedContentHandler::endPrefixMapping(const XMLCh* const prefix)
{
    m_events.next().endPrefixMapping(prefix);
}

void GuardedContentHandler::skippedEntity(const XMLCh* const name)
{
    m_events.next().skippedEntity(name);
}

void GuardedContentHandler::comment(const XMLCh* const chars, const XMLSize_t length)
{
    m_events.content(length);
    if (m_lexical != nullptr)
        m_lexical->comment(chars, length);
}

void GuardedContentHandler::endCDATA()
{
    if (m_lexical != nullptr)
        m_lexical->endCDATA();
}

void GuardedContentHandler::endDTD()
{
    m_events.next();
    if (m_lexical != nullptr)
        m_lexical->endDTD();
}

void GuardedContentHandler::endEntity(const XMLCh* const name)
{
    if (m_lexical != nullptr)
        m_lexical->endEntity(name);
}

void GuardedContentHandler::startCDATA()
{
    if (m_lexical != nullptr)
        m_lexical->startCDATA();
}

void GuardedContentHandler::startDTD(const XMLCh* const name, const XMLCh* const publicId,
                                     const XMLCh* const systemId)
{
    m_events.next();
    if (m_lexical != nullptr)
        m_lexical->startDTD(name, publicId, systemId);
}

void GuardedContentHandler::startEntity(const XMLCh* const name)
{
    if (m_lexical != nullptr)
        m_lexical->startEntity(name);
}

GuardedDocumentHandler::GuardedDocumentHandler(ParseBudget& budget,
                                               xercesc::DocumentHandler& handler)
    : m_events(budget, handler)
{
}

void GuardedDocumentHandler::characters(const XMLCh* const chars, const XMLSize_t length)
{
    m_events.text(chars, length);
}

void GuardedDocumentHandler::endDocument()
{
    m_events.next().endDocument();
}

void GuardedDocumentHandler::endElement(const XMLCh* const name)
{
    m_events.closeElement().endElement(name);
}

void GuardedDocumentHandler::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length)
{
    m_events.content(length).ignorableWhitespace(chars, length);
}

void GuardedDocumentHandler::processingInstruction(const XMLCh* const target,
                                                   const XMLCh* const data)
{
    m_events.instruction(target, data).processingInstruction(target, data);
}

void GuardedDocumentHandler::resetDocument()
{
    m_events.next().resetDocument();
}

void GuardedDocumentHandler::setDocumentLocator(const xercesc::Locator* const locator)
{
    m_events.setLocator(locator);
}

void GuardedDocumentHandler::startDocument()
{
    m_events.passed().startDocument();
}

void GuardedDocumentHandler::startElement(const XMLCh* const name, xercesc::AttributeList& attrs)
{
    m_events.openElement(name, attrs).startElement(name, attrs);
}

} // namespace prsm::detail
