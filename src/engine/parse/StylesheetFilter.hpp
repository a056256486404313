// Stands between the parser and the engine's stylesheet handler, for each stylesheet module.
#pragma once

#include "engine/parse/PrefixScopes.hpp"

#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xercesc/sax/DocumentHandler.hpp>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace XALAN_CPP_NAMESPACE
{
class ProblemListener;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

// Corrects, for one module, what the engine's stylesheet handler gets wrong, and with `lenient`
// set accepts what xsltproc accepts:
//
// - exclude-result-prefixes and extension-element-prefixes of an included module. The engine's
//   StylesheetHandler::processInclude (XSLT/StylesheetHandler.cpp) parses the included module
//   under a PushPopIncludeState, whose destructor swaps the including module's namespaces
//   handler back and so discards the exclusions the included module's xsl:stylesheet element
//   made; its literal result elements then copy those namespaces into the result (XSLT 1.0 7.1.1
//   makes the attribute apply to the subtree of its element). Shown by a module, included,
//   that declares xmlns:x with exclude-result-prefixes="x" and whose template writes <p/>: the
//   engine writes <p xmlns:x="...">. Here each literal result element that is a child of an XSLT
//   element gets the module's prefixes in its own xsl:exclude-result-prefixes, which the engine
//   honours for the element's subtree. The engine's fix: PushPopIncludeState's destructor merge
//   the included module's excluded prefixes and extension namespaces into the handler it
//   restores, or the handler keep them per module.
// - With `lenient` set, a module's excluded namespaces stay excluded in the modules included
//   after it, and in the rest of the module that includes it, up to the next import, as in
//   xsltproc: libxslt (xslt.c, xsltParseStylesheetExcludePrefix) pushes each module's exclusions
//   onto the stylesheet it is part of and never pops them, so DocBook's html/pi.xsl loses the
//   xmlns:xlink that html/inline.xsl, included before it, excludes. XSLT 1.0 (7.1.1) makes them
//   per module, as the strict mode has them.
// - With `lenient` set, an attribute in no namespace that XSLT 1.0 does not define on an XSLT
//   element of a stylesheet of version 1.0 (<xsl:otherwise test="...">) is left out, with a
//   warning to `warnings`, where the engine stops the compilation; xsltproc ignores it.
//
// It also spares the engine work it throws away. StylesheetHandler::processText
// (XSLT/StylesheetHandler.cpp) makes an ElemTextLiteral, some 350 bytes in the construction
// context's arena, for every run of whitespace between two tags of a template, and then drops
// the most of them: they stay in the arena for as long as the stylesheet lives (some 26,000 in
// DocBook's html/docbook.xsl, a third of its compiled size). A run of whitespace that the handler
// would drop is held back here and never handed on: one that ends at a tag, in no element with an
// xml:space attribute or an xsl:text in scope, with no processing instruction or ignorable
// whitespace since the last tag, and either right after an xsl:text or in an element where no text
// has been handed on since its last child instruction began (the handler keeps whitespace that
// follows a text it added last, which an element it leaves out of the tree, as xsl:sort, does not
// hide).
class StylesheetFilter final : public xercesc::DocumentHandler
{
public:
    // The namespaces that the modules of one compilation have excluded so far, the way xsltproc
    // keeps them: per principal or imported module, with what its included modules add.
    struct Exclusions
    {
        enum class Next
        {
            Principal,
            Included,
            Imported
        };
        std::vector<std::vector<std::u16string>> styles;
        Next next = Next::Principal; // how the next module to be read is named
    };

    // `warnings` receives the warnings of the lenient mode; null is the engine's strictness.
    // `exclusions`, kept by the caller across the modules of one compilation, is used in the
    // lenient mode only. All must outlive the filter.
    StylesheetFilter(xercesc::DocumentHandler& handler, xalanc::ProblemListener* warnings,
                     Exclusions& exclusions, xalanc::MemoryManager& manager);

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
    struct Scope
    {
        bool isXslt = false;
        bool isText = false;     // xsl:text, whose text the handler adds to the parent
        bool keepsSpace = false; // xml:space or xsl:text here or above: whitespace is text
        bool hasText = false;    // text other than whitespace was handed on in this element
    };

    // Notes the xsl:version of a literal result element, which the engine takes as the module's.
    void noteDeclaredVersion(const xercesc::AttributeList& attrs);
    // Throws the engine's own refusal of an xsl:text start tag it would refuse. The engine's
    // handler builds xsl:text in a ReusableArenaBlock (XalanElemTextAllocator::create) that
    // counts the object before its constructor runs: when the constructor throws, the handler's
    // destructor later destroys the object that was never built, and the host dies.
    void refuseBrokenText(const xercesc::AttributeList& attrs) const;
    // Throws the engine's refusal of an xsl:stylesheet below the root of a module, as xsltproc
    // refuses it. The engine takes one for a second start of the stylesheet: its
    // extension-element-prefixes replace the namespaces' handlers the first made
    // (Stylesheet::processExtensionNamespace), which are never freed.
    void refuseNestedStylesheet(const XMLCh* name) const;
    std::u16string xsltPrefix() const;
    std::u16string carriedExclusions() const;
    // Ends the run of text before a tag: the held-back whitespace is dropped where the handler
    // would drop it, else handed on.
    void endRun();
    // Hands on the held-back whitespace; the rest of the run goes on unchanged.
    void passRun();
    // Notes that the handler has text in the current element.
    void noteText();

    xercesc::DocumentHandler& m_handler;
    xalanc::ProblemListener* m_warnings;
    Exclusions& m_exclusions;
    Exclusions::Next m_kind; // how this module was named
    xalanc::MemoryManager& m_manager;
    const xercesc::Locator* m_locator = nullptr;
    std::vector<Scope> m_scopes;
    PrefixScopes m_prefixes;           // a scope for each of m_scopes
    std::u16string m_moduleExclusions; // the module's prefixes, blank-separated
    bool m_isVersion1 = true;
    double m_declaredVersion = 1.0; // as the engine reads it: forwards-compatible above 1.0
    std::u16string m_heldSpace;     // the whitespace of the current run, not yet handed on
    bool m_isRunPassed = false;     // the current run goes on unchanged
    bool m_followsText = false;     // the last tag ended an xsl:text
};

} // namespace prsm::detail
