// What every engine of one transformer shares: its execution context, its limits and the
// engine's last error text.
#pragma once

#include "PRSMXslFailure.hpp"
#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"
#include "PRSMXslWritePolicy.hpp"
#include "ZBLCore.hpp"
#include "engine/failures/EngineFailure.hpp"
#include "engine/parse/ReaderPool.hpp"
#include "engine/parse/ResourceResolver.hpp"
#include "engine/stylesheets/StylesheetSource.hpp"
#include "engine/xslt/EngineTables.hpp"
#include "platform/FunctionRef.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <memory>
#include <string>

namespace XALAN_CPP_NAMESPACE
{
class XalanCompiledStylesheet;
class XalanDOMString;
class XSLTInputSource;
class XSLTResultTarget;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class Engine;
class EngineSupport;
class GuardedExecutionContext;
class LocaleFunctors;
class OperationGuard;
class SourceDocument;
struct ProblemPlace;

// Runs the parses and transformations of one transformer. Shared by the transformer and its
// handles, so a handle that outlives its transformer still has it, and so do the transformer's
// limits. Not for use by two threads at once. Every live context is known to the engine's
// start-up, which releases its engine objects before the engine stops.
class EngineContext
{
public:
    EngineContext();
    EngineContext(const EngineContext&) = delete;
    EngineContext& operator=(const EngineContext&) = delete;
    ~EngineContext();

    // Parses `source` into `document` under `guard`. Returns 0, or the engine's status with its
    // text kept; on failure `document` is left empty. Lets other exceptions through.
    int parse(const xalanc::XSLTInputSource& source, std::unique_ptr<SourceDocument>& document,
              OperationGuard& guard);

    // Transforms `source` by the stylesheet file `stylesheet` into `target` under `guard`.
    // Returns 0, or the engine's status with its text kept. Lets other exceptions through.
    int transform(const SourceDocument& source, const StylesheetSource& stylesheet,
                  xalanc::XSLTResultTarget& target, const EngineTables& tables,
                  OperationGuard& guard);

    // Compiles the stylesheet `stylesheet` as transform() would and keeps it in the process's
    // cache, for the transformations that follow on any transformer with the same limits.
    // Returns 0, or the engine's status with its text kept. Lets other exceptions through.
    int prepare(const StylesheetSource& stylesheet, const EngineTables& tables,
                OperationGuard& guard);

    // The same as transform, letting every exception through; what the engine reported before it
    // threw is left in `collected`, and the place of its last problem in `place`. The stylesheet
    // comes from the process's cache. A transformation started while another runs (a host function
    // calling back into its transformer) ends with a LimitException: the two would share one
    // engine support.
    void run(const SourceDocument& source, const StylesheetSource& stylesheet,
             xalanc::XSLTResultTarget& target, const EngineTables& tables, OperationGuard& guard,
             xalanc::XalanDOMString& collected, ProblemPlace& place);

    // Frees the execution context, its locale functors, the engine support and the kept reader,
    // which belong to the running engine; the next operation makes them again.
    void releaseEngineObjects() noexcept;

    // The limits every operation of the transformer and its handles runs under.
    const PRSMXslLimits& limits() const { return m_limits; }
    void setLimits(const PRSMXslLimits& limits) { m_limits = limits; }

    // What exsl:document may write in later transformations.
    const PRSMXslWritePolicy& writePolicy() const { return m_writePolicy; }
    void setWritePolicy(const PRSMXslWritePolicy& policy) { m_writePolicy = policy; }

    // Where later transformations deliver their messages and warnings; empty discards them.
    void setMessageSink(PRSMXslMessageSink sink) { m_messageSink = std::move(sink); }

    // How the last transformation came by its stylesheet.
    const PRSMXslStylesheetUse& lastStylesheetUse() const { return m_lastStylesheetUse; }

    // The text of the last failed parse or transformation; empty after a success.
    const std::string& lastError() const { return m_lastError; }

    // The last operation of the transformer or of its handles, whatever its path; every
    // operation replaces it, a success with an empty one.
    const PRSMXslFailure& lastFailure() const { return m_lastFailure; }
    PRSMXslFailure& lastFailure() { return m_lastFailure; }

    // What run() was doing when it last stopped: compiling or transforming.
    const FailurePhase& phase() const { return m_phase; }

private:
    // The support and its context, made on the first transformation after a start.
    EngineSupport& engineSupport();

    // Obtains the compiled stylesheet as run() says and hands it to `then`, with the engine.
    void compileThen(const StylesheetSource& stylesheet, const EngineTables& tables,
                     OperationGuard& guard, xalanc::XalanDOMString& collected, ProblemPlace& place,
                     FunctionRef<void(Engine&, const xalanc::XalanCompiledStylesheet&)> then);

    // Declared in the order they are made: each is released before what it refers to.
    ReaderPool m_readers;
    std::unique_ptr<GuardedExecutionContext> m_executionContext;
    std::unique_ptr<LocaleFunctors> m_localeFunctors;
    std::unique_ptr<EngineSupport> m_engineSupport;
    std::string m_lastError;
    PRSMXslFailure m_lastFailure;
    FailurePhase m_phase = FailurePhase::Compile;
    PRSMXslMessageSink m_messageSink;
    ResourceResolver m_resolver{m_messageSink};
    PRSMXslStylesheetUse m_lastStylesheetUse;
    PRSMXslLimits m_limits;
    PRSMXslWritePolicy m_writePolicy;
};

} // namespace prsm::detail
