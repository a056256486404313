// What every engine of one transformer shares: its memory and the engine's last error text.
#pragma once

#include "PRSMXslLimits.hpp"
#include "engine/EngineTables.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>

#include <memory>
#include <string>

namespace XALAN_CPP_NAMESPACE
{
class XSLTInputSource;
class XSLTResultTarget;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class OperationGuard;
class SourceDocument;

// The memory every engine object of the library is made in and given back to. Lives from its
// first use to the end of the process, across stops and restarts of the engine.
xalanc::MemoryManager& engineMemory();

// Runs the parses and transformations whose failures are told by status and the engine's own
// text, not by a report: the file and stream transformations and the set-up of input handles.
// Shared by a transformer and its handles, so a handle that outlives its transformer still has it,
// and so do the transformer's limits.
class EngineContext
{
public:
    // Parses `source` into `document` under `guard`. Returns 0, or the engine's status with its
    // text kept; on failure `document` is left empty. Lets other exceptions through.
    int parse(const xalanc::XSLTInputSource& source, std::unique_ptr<SourceDocument>& document,
              OperationGuard& guard);

    // Transforms `source` by `stylesheet` into `target` with an engine built for the call, under
    // `guard`. Returns 0, or the engine's status with its text kept. Lets other exceptions
    // through.
    int transform(const SourceDocument& source, const xalanc::XSLTInputSource& stylesheet,
                  xalanc::XSLTResultTarget& target, const EngineTables& tables,
                  OperationGuard& guard);

    // The limits every operation of the transformer and its handles runs under.
    const PRSMXslLimits& limits() const { return m_limits; }
    void setLimits(const PRSMXslLimits& limits) { m_limits = limits; }

    // The text of the last failed parse or transformation; empty after a success.
    const std::string& lastError() const { return m_lastError; }

private:
    std::string m_lastError;
    PRSMXslLimits m_limits;
};

} // namespace prsm::detail
