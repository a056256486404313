// What every engine of one transformer shares: its memory and the engine's last error text.
#include "engine/EngineContext.hpp"

#include "engine/Engine.hpp"
#include "engine/EngineStatus.hpp"
#include "engine/SourceDocument.hpp"

#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/PlatformSupport/XalanMemoryManagerDefault.hpp>
#include <xalanc/XalanTransformer/XalanTransformerProblemListener.hpp>

namespace prsm::detail
{

xalanc::MemoryManager& engineMemory()
{
    // The parser's own manager goes when the parser stops; this one never goes, so a handle or
    // a transformer that the host destroys after the last stop still frees into a live manager.
    // It throws the parser's out-of-memory exception, which the parser knows how to unwind.
    static xalanc::XalanMemoryManagerDefault& manager = *new xalanc::XalanMemoryManagerDefault;
    return manager;
}

int EngineContext::parse(const xalanc::XSLTInputSource& source,
                         std::unique_ptr<SourceDocument>& document, OperationGuard& guard)
{
    auto work = [&]
    {
        document = SourceDocument::parse(engineMemory(), source, guard);
        return 0;
    };
    return runWithEngineStatus(m_lastError, xalanc::XalanDOMString(engineMemory()), work);
}

int EngineContext::transform(const SourceDocument& source,
                             const xalanc::XSLTInputSource& stylesheet,
                             xalanc::XSLTResultTarget& target, const EngineTables& tables,
                             OperationGuard& guard)
{
    xalanc::MemoryManager& manager = engineMemory();
    // Errors the engine reports before it throws are collected here; warnings go nowhere.
    xalanc::XalanDOMString collected(manager);
    xalanc::DOMStringPrintWriter writer(collected);
    xalanc::XalanTransformerProblemListener listener(manager, nullptr, &writer);
    auto work = [&]
    {
        Engine engine(manager, tables, listener, guard);
        engine.transform(source, stylesheet, target);
        return 0;
    };
    return runWithEngineStatus(m_lastError, collected, work);
}

} // namespace prsm::detail
