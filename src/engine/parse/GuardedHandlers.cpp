// Event handlers that pass every parse event on after a parse budget has counted it.
#include "engine/parse/GuardedHandlers.hpp"

#include "engine/limits/ParseBudget.hpp"

#include <xercesc/sax/AttributeList.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/util/XMLString.hpp>

namespace prsm::detail
{
namespace
{

std::size_t lengthOf(const XMLCh* text)
{
    return text == nullptr ? 0 : xercesc::XMLString::stringLen(text);
}

// Attribute values count as content: entity references inside them expand without events.
template <class List>
std::size_t attributeCharacters(const List& attributes)
{
    std::size_t characters = 0;
    for (XMLSize_t i = 0; i < attributes.getLength(); ++i)
        characters += lengthOf(attributes.getValue(i)) + 1;
    return characters;
}

} // namespace

GuardedContentHandler::GuardedContentHandler(ParseBudget& budget, xercesc::ContentHandler& content,
                                             xercesc::LexicalHandler* lexical)
    : m_budget(budget), m_content(content), m_lexical(lexical)
{
}

void GuardedContentHandler::characters(const XMLCh* const chars, const XMLSize_t length)
{
    m_budget.addContent(length);
    m_text.append(chars, length);
}

void GuardedContentHandler::flush()
{
    if (m_text.empty())
        return;
    m_content.characters(m_text.data(), m_text.size());
    m_text.clear();
}

void GuardedContentHandler::endDocument()
{
    flush();
    m_content.endDocument();
}

void GuardedContentHandler::endElement(const XMLCh* const uri, const XMLCh* const localname,
                                       const XMLCh* const qname)
{
    flush();
    m_budget.closeElement();
    m_content.endElement(uri, localname, qname);
}

void GuardedContentHandler::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length)
{
    flush();
    m_budget.addContent(length);
    m_content.ignorableWhitespace(chars, length);
}

void GuardedContentHandler::processingInstruction(const XMLCh* const target,
                                                  const XMLCh* const data)
{
    flush();
    m_budget.addContent(lengthOf(target) + lengthOf(data));
    m_content.processingInstruction(target, data);
}

void GuardedContentHandler::setDocumentLocator(const xercesc::Locator* const locator)
{
    m_budget.setLocator(locator);
    m_content.setDocumentLocator(locator);
}

void GuardedContentHandler::startDocument()
{
    m_content.startDocument();
}

void GuardedContentHandler::startElement(const XMLCh* const uri, const XMLCh* const localname,
                                         const XMLCh* const qname, const xercesc::Attributes& attrs)
{
    flush();
    m_budget.openElement();
    m_budget.addContent(lengthOf(qname) + attributeCharacters(attrs));
    m_content.startElement(uri, localname, qname, attrs);
}

void GuardedContentHandler::startPrefixMapping(const XMLCh* const prefix, const XMLCh* const uri)
{
    flush();
    m_content.startPrefixMapping(prefix, uri);
}

void GuardedContentHandler::endPrefixMapping(const XMLCh* const prefix)
{
    flush();
    m_content.endPrefixMapping(prefix);
}

void GuardedContentHandler::skippedEntity(const XMLCh* const name)
{
    flush();
    m_content.skippedEntity(name);
}

void GuardedContentHandler::comment(const XMLCh* const chars, const XMLSize_t length)
{
    flush();
    m_budget.addContent(length);
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
    flush();
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
    flush();
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
    : m_budget(budget), m_handler(handler)
{
}

void GuardedDocumentHandler::characters(const XMLCh* const chars, const XMLSize_t length)
{
    m_budget.addContent(length);
    m_text.append(chars, length);
}

void GuardedDocumentHandler::flush()
{
    if (m_text.empty())
        return;
    m_handler.characters(m_text.data(), m_text.size());
    m_text.clear();
}

void GuardedDocumentHandler::endDocument()
{
    flush();
    m_handler.endDocument();
}

void GuardedDocumentHandler::endElement(const XMLCh* const name)
{
    flush();
    m_budget.closeElement();
    m_handler.endElement(name);
}

void GuardedDocumentHandler::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length)
{
    flush();
    m_budget.addContent(length);
    m_handler.ignorableWhitespace(chars, length);
}

void GuardedDocumentHandler::processingInstruction(const XMLCh* const target,
                                                   const XMLCh* const data)
{
    flush();
    m_budget.addContent(lengthOf(target) + lengthOf(data));
    m_handler.processingInstruction(target, data);
}

void GuardedDocumentHandler::resetDocument()
{
    flush();
    m_handler.resetDocument();
}

void GuardedDocumentHandler::setDocumentLocator(const xercesc::Locator* const locator)
{
    m_budget.setLocator(locator);
    m_handler.setDocumentLocator(locator);
}

void GuardedDocumentHandler::startDocument()
{
    m_handler.startDocument();
}

void GuardedDocumentHandler::startElement(const XMLCh* const name, xercesc::AttributeList& attrs)
{
    flush();
    m_budget.openElement();
    m_budget.addContent(lengthOf(name) + attributeCharacters(attrs));
    m_handler.startElement(name, attrs);
}

} // namespace prsm::detail
