// A stylesheet compiled under an operation's limits, then kept apart from it.
#include "engine/stylesheets/CompiledStylesheet.hpp"

#include "platform/EngineMemory.hpp"

#include <xalanc/XSLT/StylesheetRoot.hpp>
#include <xalanc/XSLT/XSLTEngineImpl.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>

namespace prsm::detail
{

CompiledStylesheet::CompiledStylesheet(xalanc::MemoryManager& manager,
                                       const xalanc::XSLTInputSource& source,
                                       xalanc::XSLTEngineImpl& processor, OperationGuard& guard)
    : m_xpathFactory(expressionMemory()),
      m_constructionContext(manager, processor, m_xpathFactory, guard),
      m_root(processor.processStylesheet(source, m_constructionContext))
{
    m_constructionContext.release();
}

CompiledStylesheet::~CompiledStylesheet() = default;

} // namespace prsm::detail
