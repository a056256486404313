// The parser front that every document of the library goes through.
#pragma once

#include "engine/parse/BudgetedMemory.hpp"
#include "engine/parse/SharedDocuments.hpp"
#include "engine/parse/StylesheetFilter.hpp"

#include <xalanc/XalanSourceTree/XalanSourceTreeDOMSupport.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeParserLiaison.hpp>

#include <optional>
#include <string>
#include <vector>

namespace XALAN_CPP_NAMESPACE
{
class ProblemListener;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class OperationGuard;
class ReaderPool;

// Parses into the engine's source tree and keeps quiet: a parse problem ends the parse with the
// parser's exception and is never printed. It owns every document it parses or creates until
// it is destroyed. Source, stylesheet, handle, xsl:include, xsl:import and document() parses all
// come through here, so a rule about what a parse may do is written once, in this class: each
// parse obeys the limits of the operation it serves (entity expansions, amplification, element
// nesting, the DTD rule and the operation's clock and memory), and every resource that a
// document names, as well as every document the engine loads by name, passes the access policy
// before anything is read. Source documents are read by a reader from the pool it is given, when
// it has one, and processed for XInclude when the operation's limits ask for it.
class ParserLiaison final : public xalanc::XalanSourceTreeParserLiaison
{
public:
    explicit ParserLiaison(xalanc::MemoryManager& manager);

    // The operation whose limits later parses obey; it must outlive them. Null (the start) makes
    // each parse obey the default limits.
    void setGuard(OperationGuard* guard) { m_guard = guard; }

    // Where the idle source reader comes from and goes back to; it must outlive the parses. Null
    // makes a reader for each parse.
    void setReaderPool(ReaderPool* readers) { m_readers = readers; }

    // Where warnings about stylesheets go when the lenient mode of StylesheetFilter is wanted;
    // null (the start) keeps the engine's strictness. It must outlive the parses.
    void setStylesheetWarnings(xalanc::ProblemListener* warnings) { m_warnings = warnings; }

    // The input that the host named itself, read without the access policy; null for none.
    void setHostInput(const xercesc::InputSource* input) { m_hostInput = input; }

    // Where the system id of every stylesheet module read from now on (xsl:include, xsl:import)
    // is added; null records nothing.
    void setModuleRecorder(std::vector<std::string>* modules) { m_modules = modules; }

    // Forgets the operation that has ended: its guard, its host input, the error handler the
    // engine left behind (it sets one per parse and never restores the one before), and every
    // document parsed for it.
    void endOperation();

    using xalanc::XalanSourceTreeParserLiaison::parseXMLStream;

    // A document that document() loads from a local file comes from SharedDocuments, parsed
    // there by the first operation that needs it; any other is parsed for this operation alone.
    xalanc::XalanDocument*
    parseXMLStream(const xercesc::InputSource& inputSource,
                   const xalanc::XalanDOMString& identifier =
                       xalanc::XalanDOMString(xalanc::XalanMemMgrs::getDummyMemMgr())) override;

    void parseXMLStream(const xercesc::InputSource& inputSource,
                        xercesc::ContentHandler& contentHandler,
                        const xalanc::XalanDOMString& identifier, xercesc::DTDHandler* dtdHandler,
                        xercesc::LexicalHandler* lexicalHandler) override;

    // The engine reads stylesheets, included and imported ones too, through this one.
    void parseXMLStream(const xercesc::InputSource& inputSource, xercesc::DocumentHandler& handler,
                        const xalanc::XalanDOMString& identifier) override;

private:
    // The key under which SharedDocuments keeps what `inputSource` names, or none where it must
    // be parsed for the operation alone.
    std::optional<DocumentKey> sharedKey(const xercesc::InputSource& inputSource);

    OperationGuard* m_guard = nullptr;
    xalanc::ProblemListener* m_warnings = nullptr;
    StylesheetFilter::Exclusions m_exclusions;
    const xercesc::InputSource* m_hostInput = nullptr;
    ReaderPool* m_readers = nullptr;
    std::vector<std::string>* m_modules = nullptr;
    // The stylesheet parser makes its exceptions from its own memory, so that memory outlives
    // every parse.
    BudgetedMemory m_stylesheetMemory;
    // The shared documents the operation uses, held until it ends.
    std::vector<SharedDocument> m_shared;
};

// Source-tree DOM support that also answers unparsed-entity-uri() for documents that another
// liaison parsed: a handle's document meets the engine of a later transformation, whose liaison
// has never seen it.
class DocumentSupport final : public xalanc::XalanSourceTreeDOMSupport
{
public:
    explicit DocumentSupport(const xalanc::XalanSourceTreeParserLiaison& liaison);

    const xalanc::XalanDOMString&
    getUnparsedEntityURI(const xalanc::XalanDOMString& name,
                         const xalanc::XalanDocument& document) const override;
};

} // namespace prsm::detail
