// Event handlers that pass every parse event on after a parse budget has counted it.
#pragma once

#include <xercesc/sax/DocumentHandler.hpp>
#include <xercesc/sax2/ContentHandler.hpp>
#include <xercesc/sax2/LexicalHandler.hpp>

#include <string>

namespace prsm::detail
{

class ParseBudget;

// Stands between the parser and the engine's handlers of a namespace-aware parse (documents):
// counts elements and characters in `budget` and hands each event on, except that character
// events reach the engine as one until another event comes between them; entity and CDATA
// boundaries, which the engine's source tree ignores, do not count. The parser cuts text at every
// buffer end and entity reference, and the engine grows its text by exactly each piece, so text
// made of many pieces would cost it time quadratic in its length. `lexical` may be null.
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
    void flush();

    ParseBudget& m_budget;
    xercesc::ContentHandler& m_content;
    xercesc::LexicalHandler* m_lexical;
    std::u16string m_text;
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
    void flush();

    ParseBudget& m_budget;
    xercesc::DocumentHandler& m_handler;
    std::u16string m_text;
};

} // namespace prsm::detail
