// A stylesheet compiled ahead of the transformations that use it.
#include "PRSMXslTransformer.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/xslt/EngineStartup.hpp"
#include "transformer/TransformerImpl.hpp"

int PRSMXslTransformer::prepareStylesheet(const I18NString& stylesheet)
{
    prsm::detail::requireEngine("PRSMXslTransformer::prepareStylesheet");
    prsm::detail::EngineContext& engine = *m_impl->m_xalanTransformer;
    prsm::detail::OperationGuard guard(engine.limits());
    return engine.prepare(stylesheet, m_impl->tables(), guard);
}
