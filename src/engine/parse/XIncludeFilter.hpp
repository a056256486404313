// The XInclude processor: a filter of parse events that replaces each xi:include element.
#pragma once

#include "engine/parse/XPointer.hpp"

#include <xercesc/sax2/ContentHandler.hpp>
#include <xercesc/sax2/LexicalHandler.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace prsm::detail
{

class XIncludeSession;
struct IncludeSite;

// Stands between the parser front and the engine's handlers of one document and passes its
// events on, except that each xi:include element (with what it holds) is replaced by the events
// of the resource it names, parsed through `session`, or by the content of its xi:fallback when
// the resource fails. For an included document it also drops what the including one already has
// (document start and end, the DTD), passes on only the element its pointer selects (when it has
// one), and gives each element it passes on at the top the xml:base and namespace declarations
// that keep its meaning where it lands. Errors end the parse through the session's budget.
class XIncludeFilter final : public xercesc::ContentHandler, public xercesc::LexicalHandler
{
public:
    // For the document that the parse is for, at `url`. `lexical` may be null.
    XIncludeFilter(XIncludeSession& session, std::string url, xercesc::ContentHandler& content,
                   xercesc::LexicalHandler* lexical);

    // For the document included at `site`, of which `pointer` (null for all) selects the part.
    XIncludeFilter(XIncludeSession& session, const IncludeSite& site, const ElementPointer* pointer,
                   xercesc::ContentHandler& content, xercesc::LexicalHandler* lexical);

    // Whether any event has been passed on, after which a failure can no longer fall back.
    bool hasPassedOn() const { return m_hasPassedOn; }

    // Whether the pointer, if any, selected an element.
    bool hasSelected() const { return m_pointer == nullptr || m_selection != Selection::Before; }

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
    // What becomes of an element and of what it holds.
    enum class Role
    {
        Passed,     // passed on, and so is its content
        Unselected, // outside the pointer's element: dropped, searched for it
        Included,   // an xi:include that succeeded: it and its content are dropped
        Failed,     // an xi:include that failed: only its xi:fallback counts
        Fallback,   // the xi:fallback of a failed xi:include: its content is passed on
    };

    enum class Selection
    {
        Before,
        Inside,
        After
    };

    struct Element
    {
        Element(Role r, std::shared_ptr<const std::string> b) : role(r), base(std::move(b)) {}

        Role role;
        // The base of what it holds, shared with the elements inside that keep it.
        std::shared_ptr<const std::string> base;
        std::vector<std::pair<std::u16string, std::u16string>> declared; // prefix, namespace
        std::u16string id;
        std::size_t position = 0; // among the elements of its parent, from 1
        std::size_t children = 0; // elements met in it so far
        bool hasFallback = false;
        std::string failure; // why a failed xi:include failed
    };

    bool isPassing() const;
    Element describe(const xercesc::Attributes& attrs);
    Role include(const xercesc::Attributes& attrs, Element& element);
    void passStart(const XMLCh* uri, const XMLCh* localname, const XMLCh* qname,
                   const xercesc::Attributes& attrs, const Element& element, bool isTop);
    const std::u16string* namespaceOf(const std::u16string& prefix) const;

    XIncludeSession& m_session;
    xercesc::ContentHandler& m_content;
    xercesc::LexicalHandler* m_lexical;
    const std::string m_url;
    const bool m_isIncluded;
    const ElementPointer* m_pointer = nullptr;
    std::u16string m_fixedBase;
    std::u16string m_inheritedDefault;
    std::vector<Element> m_open; // the document first, then each open element
    std::size_t m_skipped = 0;   // depth inside content that is dropped whole
    Selection m_selection = Selection::Before;
    bool m_isInDtd = false;
    bool m_hasPassedOn = false;
};

} // namespace prsm::detail
