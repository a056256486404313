// xsl:namespace-alias with result-prefix="#default" where no default namespace is declared.
#pragma once

#include "engine/parse/PrefixScopes.hpp"

#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xercesc/sax/DocumentHandler.hpp>
#include <xercesc/sax/Locator.hpp>

#include <string>
#include <utility>
#include <vector>

namespace prsm::detail
{

// Corrects the engine's Stylesheet::processNSAliasElement (XSLT/Stylesheet.cpp), which looks
// result-prefix="#default" up as the prefix "" and stops the compilation with "The prefix '' is
// not declared" where the module declares no default namespace; XSLT 1.0 (7.1.1) then means the
// null namespace, and xsltproc writes the aliased elements in it. The engine's aliases keep an
// element's prefix and change only its namespace, so they cannot reach the null namespace at
// all. This filter holds a module's events until its end, takes such an alias element out, and
// writes each literal result element and attribute of the module in the aliased namespace under
// its local name, in the null namespace, with the aliased namespace excluded from the result.
// Modules without such an alias pass unchanged. Aliases in one module do not reach the literal
// result elements of another. The engine's fix: let processNSAliasElement map "#default" without
// a declaration to the null namespace, and let ElemLiteralResult drop the prefix of an element
// and its attributes whose namespace is aliased to it.
class NullNamespaceAlias final : public xercesc::DocumentHandler, private xercesc::Locator
{
public:
    // `handler` must outlive the filter.
    NullNamespaceAlias(xercesc::DocumentHandler& handler, xalanc::MemoryManager& manager);

    // Whether a module of these bytes may hold such an alias element: any that names
    // namespace-alias, and any whose bytes cannot say (an encoding other than one of ASCII's
    // supersets, a document type declaration whose entities could bring the element in). A module
    // that cannot may be read without the filter.
    static bool mayApplyTo(const std::string& bytes);

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
    enum class Kind
    {
        Start,
        End,
        Characters,
        Whitespace,
        Instruction
    };
    struct Attribute
    {
        std::u16string name, type, value;
    };
    struct Event
    {
        Kind kind;
        std::u16string name; // element name, processing instruction target
        std::u16string data; // characters, processing instruction data
        std::vector<Attribute> attributes;
        XMLFileLoc line = 0, column = 0;
        bool dropped = false; // the alias element, start and end
    };

    const XMLCh* getPublicId() const override;
    const XMLCh* getSystemId() const override;
    XMLFileLoc getLineNumber() const override;
    XMLFileLoc getColumnNumber() const override;

    void record(Event event);
    void replay();
    void replayStart(const Event& event, PrefixScopes& scopes, std::vector<bool>& xslt,
                     std::vector<std::u16string>& defaults);

    xercesc::DocumentHandler& m_handler;
    xalanc::MemoryManager& m_manager;
    const xercesc::Locator* m_locator = nullptr;
    std::u16string m_publicId, m_systemId;
    const Event* m_current = nullptr;
    std::vector<Event> m_events;
    PrefixScopes m_prefixes;               // while recording
    std::vector<std::size_t> m_starts;     // the open elements' start events, while recording
    std::vector<std::u16string> m_aliased; // namespaces aliased to the null namespace
};

} // namespace prsm::detail
