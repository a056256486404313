// What every engine of one transformer shares: its memory, its execution context and the
// engine's last error text.
#pragma once

#include "PRSMXslTransformer.hpp"
#include "ZBLCore.hpp"
#include "engine/EngineTables.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>

#include <memory>
#include <string>

namespace XALAN_CPP_NAMESPACE
{
class StylesheetExecutionContextDefault;
class XalanDOMString;
class XSLTInputSource;
class XSLTResultTarget;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class LocaleFunctors;
class SourceDocument;

// The memory every engine object of the library is made in and given back to. Exists only between
// start-up and shut-down.
xalanc::MemoryManager& engineMemory();

// Runs the parses and transformations of one transformer. Shared by the transformer and its
// handles, so a handle that outlives its transformer still has it. Not for use by two threads at
// once.
class EngineContext
{
public:
    EngineContext();
    EngineContext(const EngineContext&) = delete;
    EngineContext& operator=(const EngineContext&) = delete;
    ~EngineContext();

    // Parses `source` into `document`. Returns 0, or the engine's status with its text kept; on
    // failure `document` is left empty. Lets other exceptions through.
    int parse(const xalanc::XSLTInputSource& source, std::unique_ptr<SourceDocument>& document);

    // Transforms `source` by the stylesheet file `stylesheet` into `target`. Returns 0, or the
    // engine's status with its text kept. Lets other exceptions through.
    int transform(const SourceDocument& source, const I18NString& stylesheet,
                  xalanc::XSLTResultTarget& target, const EngineTables& tables);

    // The same, letting every exception through; what the engine reported before it threw is
    // left in `collected`. A stylesheet compiled before is reused while its file is unchanged.
    void run(const SourceDocument& source, const I18NString& stylesheet,
             xalanc::XSLTResultTarget& target, const EngineTables& tables,
             xalanc::XalanDOMString& collected);

    // Where later transformations deliver their messages and warnings; empty discards them.
    void setMessageSink(PRSMXslMessageSink sink) { m_messageSink = std::move(sink); }

    // How the last transformation came by its stylesheet.
    const PRSMXslStylesheetUse& lastStylesheetUse() const { return m_lastStylesheetUse; }

    // The text of the last failed parse or transformation; empty after a success.
    const std::string& lastError() const { return m_lastError; }

private:
    std::unique_ptr<xalanc::StylesheetExecutionContextDefault> m_executionContext;
    std::unique_ptr<LocaleFunctors> m_localeFunctors;
    std::string m_lastError;
    PRSMXslMessageSink m_messageSink;
    PRSMXslStylesheetUse m_lastStylesheetUse;
};

} // namespace prsm::detail
