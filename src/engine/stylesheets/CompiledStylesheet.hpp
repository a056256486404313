// A stylesheet compiled under an operation's limits, then kept apart from it.
#pragma once

#include "engine/xslt/GuardedConstructionContext.hpp"

#include <xalanc/XPath/XPathFactoryBlock.hpp>
#include <xalanc/XalanTransformer/XalanCompiledStylesheet.hpp>

namespace XALAN_CPP_NAMESPACE
{
class XSLTInputSource;
class XSLTEngineImpl;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class OperationGuard;

// What the engine's own compiled stylesheet holds (the XPath factory and the construction context
// that own the stylesheet's parts, and its root), but compiled by a construction context that
// refuses expressions nested beyond the limits. Immutable once made; any number of
// transformations on any threads may run it at once.
class CompiledStylesheet final : public xalanc::XalanCompiledStylesheet
{
public:
    // Compiles `source` with `processor` under `guard`. Lets every exception through.
    CompiledStylesheet(xalanc::MemoryManager& manager, const xalanc::XSLTInputSource& source,
                       xalanc::XSLTEngineImpl& processor, OperationGuard& guard);
    ~CompiledStylesheet() override;

    const xalanc::StylesheetRoot* getStylesheetRoot() const override { return m_root; }

private:
    // Makes the stylesheet's expressions in expressionMemory(), where their unused room goes back.
    xalanc::XPathFactoryBlock m_xpathFactory;
    GuardedConstructionContext m_constructionContext;
    const xalanc::StylesheetRoot* m_root;
};

} // namespace prsm::detail
