// Event handlers that pass every parse event on after a parse budget has counted it.
#pragma once

#include "engine/limits/ParseBudget.hpp"

#include <xercesc/sax/DocumentHandler.hpp>
#include <xercesc/sax2/ContentHandler.hpp>
#include <xercesc/sax2/LexicalHandler.hpp>
#include <xercesc/util/XMLString.hpp>

#include <string>

namespace prsm::detail
{

// The rules both handlers below follow, for the engine's SAX2 or SAX1 handler `Next`: every
// event is counted in the budget, and character events are held and reach `Next` as one piece
// when any other event comes. The parser cuts text at every buffer end and entity reference, and
// the engine grows its text by exactly each piece, so text made of many pieces would cost it time
// quadratic in its length. Each member that returns `Next` has handed the held text on first.
template <class Next>
class CountedEvents
{
public:
    CountedEvents(ParseBudget& budget, Next& next) : m_budget(budget), m_next(next) {}

    void text(const XMLCh* chars, XMLSize_t length)
    {
        m_budget.addContent(length);
        m_text.append(chars, length);
    }

    Next& next()
    {
        if (!m_text.empty())
        {
            m_next.characters(m_text.data(), m_text.size());
            m_text.clear();
        }
        return m_next;
    }

    // An event that brings `characters` of content: whitespace, a comment.
    Next& content(XMLSize_t characters)
    {
        Next& handler = next();
        m_budget.addContent(characters);
        return handler;
    }

    Next& instruction(const XMLCh* target, const XMLCh* data)
    {
        return content(lengthOf(target) + lengthOf(data));
    }

    // Attribute values count as content: entity references inside them expand without events.
    template <class Attributes>
    Next& openElement(const XMLCh* name, const Attributes& attributes)
    {
        Next& handler = next();
        m_budget.openElement(attributes.getLength());
        std::size_t characters = lengthOf(name);
        for (XMLSize_t i = 0; i < attributes.getLength(); ++i)
            characters += lengthOf(attributes.getValue(i)) + 1;
        m_budget.addContent(characters);
        return handler;
    }

    Next& closeElement()
    {
        Next& handler = next();
        m_budget.closeElement();
        return handler;
    }

    // Events the budget does not count and the text need not end at.
    Next& passed() { return m_next; }

    void setLocator(const xercesc::Locator* locator)
    {
        m_budget.setLocator(locator);
        m_next.setDocumentLocator(locator);
    }

private:
    static std::size_t lengthOf(const XMLCh* text)
    {
        return text == nullptr ? 0 : xercesc::XMLString::stringLen(text);
    }

    ParseBudget& m_budget;
    Next& m_next;
    std::u16string m_text;
};

// Stands between the parser and the engine's handlers of a namespace-aware parse (documents),
// by the rules of CountedEvents; entity and CDATA boundaries, which the engine's source tree
// ignores, neither count nor end the held text. `lexical` may be null.
class GuardedContentHandler final : public xercesc::ContentHandler, public xercesc::LexicalHandler
{
public:
    GuardedContentHandler(ParseBudget& budget, xercesc::ContentHandler& content,
                          xercesc::LexicalHandler* lexical);

    void characters(const XMLCh* const chars, const XMLSize_t length) override;
    void endDocument() override;
    void endElement(const XMLCh* const uri, const XMLCh* const localname,
                    const XMLCh* const qname) override;
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length) override;
    void processingInstruction(const XMLCh* const target, const XMLCh* const data) override;
    void setDocumentLocator(const xercesc::Locator* const locator) override;
    void startDocument() override;
    void startElement(const XMLCh* const uri, const XMLCh* const localname,
                      const XMLCh* const qname, const xercesc::Attributes& attrs) override;
    void startPrefixMapping(const XMLCh* const prefix, const XMLCh* const uri) override;
    void endPrefixMapping(const XMLCh* const prefix) override;
    void skippedEntity(const XMLCh* const name) override;

    void comment(const XMLCh* const chars, const XMLSize_t length) override;
    void endCDATA() override;
    void endDTD() override;
    void endEntity(const XMLCh* const name) override;
    void startCDATA() override;
    void startDTD(const XMLCh* const name, const XMLCh* const publicId,
                  const XMLCh* const systemId) override;
    void startEntity(const XMLCh* const name) override;

private:
    CountedEvents<xercesc::ContentHandler> m_events;
    xercesc::LexicalHandler* m_lexical;
};

// The same for a parse without namespaces (stylesheets, which the engine reads as SAX1 events).
class GuardedDocumentHandler final : public xercesc::DocumentHandler
{
public:
    GuardedDocumentHandler(ParseBudget& budget, xercesc::DocumentHandler& handler);

    void characters(const XMLCh* const chars, const XMLSize_t length) override;
    void endDocument() override;
    void endElement(const XMLCh* const name) override;
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length) override;
    void processingInstruction(const XMLCh* const target, const XMLCh* const data) override;
    void resetDocument() override;
    void setDocumentLocator(const xercesc::Locator* const locator) override;
    void startDocument() override;
    void startElement(const XMLCh* const name, xercesc::AttributeList& attrs) override;

private:
    CountedEvents<xercesc::DocumentHandler> m_events;
};

} // namespace prsm::detail
