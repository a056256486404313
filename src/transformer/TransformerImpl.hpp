// The private state of a transformer.
#pragma once

#include "PRSMXslTransformer.hpp"
#include "engine/xslt/EngineContext.hpp"
#include "engine/xslt/EngineTables.hpp"
#include "transformer/FailureReport.hpp"

#include <memory>

class PRSMXslTransformer::Impl
{
public:
    prsm::detail::EngineTables tables() const
    {
        return {m_stylesheetParams, m_externalFunctions, m_functionsRevision};
    }

    // Where the reporting operations leave their reports.
    prsm::detail::ReportSinks sinks() { return {m_lastError, m_xalanTransformer->lastFailure()}; }

    // The report of the last failed in-memory operation; once set, never emptied.
    I18NString m_lastError;
    // Shared with the transformer's handles, which record their parse failures in it.
    std::shared_ptr<prsm::detail::EngineContext> m_xalanTransformer =
        std::make_shared<prsm::detail::EngineContext>();
    prsm::detail::ParameterTable m_stylesheetParams;
    prsm::detail::FunctionTable m_externalFunctions;
    // Renewed by every change of m_externalFunctions.
    std::uint64_t m_functionsRevision = prsm::detail::nextFunctionsRevision();
};
