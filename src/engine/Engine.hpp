// The one place where an engine is assembled, for every transformation path.
#pragma once

#include "engine/EngineTables.hpp"
#include "engine/ParserLiaison.hpp"
#include "engine/StylesheetCache.hpp"

#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPathFactoryBlock.hpp>
#include <xalanc/XSLT/XSLTEngineImpl.hpp>
#include <xalanc/XSLT/XSLTProcessorEnvSupportDefault.hpp>

namespace XALAN_CPP_NAMESPACE
{
class ProblemListener;
class XSLTInputSource;
class XSLTResultTarget;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class GuardedExecutionContext;
class OperationGuard;
class SourceDocument;

// An engine for one transformation, assembled as the engine's own transformer assembles its
// own: parser, DOM support, environment with `nodeset` and the table's functions, object and
// XPath factories, processor; it borrows a long-lived execution context (which carries the
// locale functors) and gives it back reset. Pool sizes are the engine's defaults, the ones its
// own transformer runs with. Documents that the stylesheet loads belong to this engine and go
// with it. Everything the engine parses, compiles and runs obeys the operation's guard. Members
// are declared in construction order, so each goes before what it refers to.
class Engine
{
public:
    // Hands the tables to the engine: parameters, then `nodeset`, then the functions, each in
    // ascending name order. A parameter that does not compile ends the construction with the
    // engine's XPath exception, before the engine could print it. `listener` receives the
    // engine's problems and messages. `context`, `listener` and `guard` must outlive the engine,
    // and one context serves one engine at a time.
    Engine(xalanc::MemoryManager& manager, const EngineTables& tables,
           GuardedExecutionContext& context, xalanc::ProblemListener& listener,
           OperationGuard& guard);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine();

    // Compiles the stylesheet `source`; the result no longer needs this engine or the guard.
    // Lets every exception through.
    SharedStylesheet compile(const xalanc::XSLTInputSource& source);

    // Transforms `source` by `stylesheet` into `target`. Lets every exception through; a limit
    // that stopped a parse the engine swallowed (document()) ends it with a LimitException.
    void transform(const SourceDocument& source, const xalanc::XalanCompiledStylesheet& stylesheet,
                   xalanc::XSLTResultTarget& target);

private:
    // Throws a LimitException when the guard recorded why the operation must stop.
    void throwIfStopped() const;

    xalanc::MemoryManager& m_manager;
    ParserLiaison m_liaison;
    DocumentSupport m_domSupport;
    xalanc::XSLTProcessorEnvSupportDefault m_envSupport;
    xalanc::XObjectFactoryDefault m_objectFactory;
    xalanc::XPathFactoryBlock m_xpathFactory;
    xalanc::XSLTEngineImpl m_processor;
    GuardedExecutionContext& m_context;
    OperationGuard& m_guard;
};

} // namespace prsm::detail
