// A parser that reports to the budget of the parse it runs.
#pragma once

#include "engine/limits/OperationGuard.hpp"
#include "engine/limits/ParseBudget.hpp"
#include "platform/EngineText.hpp"

#include <xercesc/framework/XMLEntityDecl.hpp>
#include <xercesc/framework/XMLErrorCodes.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/DTD/DTDElementDecl.hpp>

#include <string>
#include <utility>

namespace prsm::detail
{

// One of the parser's two classes with the hooks that only a parser sees: the document type
// declaration, entity references in content, and the parser's own entity-expansion error.
template <class Parser>
class GuardedParser : public Parser
{
public:
    template <class... Args>
    explicit GuardedParser(Args&&... args) : Parser(std::forward<Args>(args)...)
    {
    }

    // The budget of the parse about to start; it must outlive the parse. Null between parses.
    void setBudget(ParseBudget* budget) { m_budget = budget; }

    void doctypeDecl(const xercesc::DTDElementDecl& elemDecl, const XMLCh* const publicId,
                     const XMLCh* const systemId, const bool hasIntSubset,
                     const bool hasExtSubset) override
    {
        if (!m_budget->operation().limits().allowDtd)
            m_budget->refuse("the document has a document type declaration, which is not "
                             "allowed (PRSMXslLimits::allowDtd)");
        Parser::doctypeDecl(elemDecl, publicId, systemId, hasIntSubset, hasExtSubset);
    }

    void startEntityReference(const xercesc::XMLEntityDecl& entityDecl) override
    {
        m_budget->enterEntity(&entityDecl, entityDecl.isExternal());
        Parser::startEntityReference(entityDecl);
    }

    void endEntityReference(const xercesc::XMLEntityDecl& entityDecl) override
    {
        m_budget->leaveEntity();
        Parser::endEntityReference(entityDecl);
    }

    // The parser reports its entity-expansion limit as a fatal error, which the error handler
    // throws; recorded first, so that a parse whose exception the engine swallows still fails.
    void error(const unsigned int errCode, const XMLCh* const msgDomain,
               const xercesc::XMLErrorReporter::ErrTypes errType, const XMLCh* const errorText,
               const XMLCh* const systemId, const XMLCh* const publicId, const XMLFileLoc lineNum,
               const XMLFileLoc colNum) override
    {
        if (errCode == xercesc::XMLErrs::EntityExpansionLimitExceeded &&
            xercesc::XMLString::equals(msgDomain, xercesc::XMLUni::fgXMLErrDomain))
            m_budget->record(utf8Of(errorText) + " (PRSMXslLimits::maxEntityExpansions)");
        Parser::error(errCode, msgDomain, errType, errorText, systemId, publicId, lineNum, colNum);
    }

private:
    ParseBudget* m_budget = nullptr;
};

} // namespace prsm::detail
