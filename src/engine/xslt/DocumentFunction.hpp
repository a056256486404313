// document() in place of the engine's, which gives nothing for document('', node).
#pragma once

#include <xalanc/XSLT/FunctionDocument.hpp>

namespace prsm::detail
{

// Corrects the engine's FunctionDocument::doExecute (XSLT/FunctionDocument.cpp): it reads an
// empty URI reference as the stylesheet only with one argument and otherwise skips it, so
// document('', node) is empty. XSLT 1.0 (12.1) resolves the reference against the base URI of
// the first node of the second argument, and the empty reference then names that node's own
// document, as xsltproc finds it; DocBook's automatic glossary looks up its terms so. Shown by
// name(document('', /*)/*) over <a/>: "a". Here that case answers with the node's document;
// every other call is the engine's. The engine's fix: in doExecute, with two arguments, take an
// empty reference as the base URI itself rather than skipping it.
//
// Also: the engine's parseDoc (same file) turns every failed load into an empty node-set, one
// that a bound stopped too (the parse budget's, or a network read past the operation's time);
// the operation then went on and wrote output before its end noticed. Here every call checks the
// operation's limits as soon as the engine's document() returns.
class DocumentFunction final : public xalanc::FunctionDocument
{
public:
    using xalanc::FunctionDocument::execute;

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const xalanc::XObjectPtr arg1,
                               const xercesc::Locator* locator) const override;
    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const xalanc::XObjectPtr arg1,
                               const xalanc::XObjectPtr arg2,
                               const xercesc::Locator* locator) const override;
    DocumentFunction* clone(xalanc::MemoryManager& manager) const override;

    // Puts this function in the engine's process-wide table in place of its own; call after
    // the engine has started and while nothing runs.
    static void install();
};

} // namespace prsm::detail
