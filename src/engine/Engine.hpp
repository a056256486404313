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
class StylesheetExecutionContextDefault;
class XSLTInputSource;
class XSLTResultTarget;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class SourceDocument;

// An engine for one transformation, assembled as the engine's own transformer assembles its
// own: parser, DOM support, environment with `nodeset` and the table's functions, object and
// XPath factories, processor; it borrows a long-lived execution context (which carries the
// locale functors) and gives it back reset. Pool sizes are the engine's defaults, the ones its
// own transformer runs with. Documents that the stylesheet loads belong to this engine and go
// with it. Members are declared in construction order, so each goes before what it refers to.
class Engine
{
public:
    // Hands the tables to the engine: parameters, then `nodeset`, then the functions, each in
    // ascending name order. `listener` receives the engine's problems and messages. Both
    // `context` and `listener` must outlive the engine, and one context serves one engine at a
    // time.
    Engine(xalanc::MemoryManager& manager, const EngineTables& tables,
           xalanc::StylesheetExecutionContextDefault& context, xalanc::ProblemListener& listener);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine();

    // Compiles the stylesheet `source`; the result no longer needs this engine. Lets every
    // exception through.
    SharedStylesheet compile(const xalanc::XSLTInputSource& source);

    // Transforms `source` by `stylesheet` into `target`. Lets every exception through.
    void transform(const SourceDocument& source, const xalanc::XalanCompiledStylesheet& stylesheet,
                   xalanc::XSLTResultTarget& target);

private:
    xalanc::MemoryManager& m_manager;
    ParserLiaison m_liaison;
    DocumentSupport m_domSupport;
    xalanc::XSLTProcessorEnvSupportDefault m_envSupport;
    xalanc::XObjectFactoryDefault m_objectFactory;
    xalanc::XPathFactoryBlock m_xpathFactory;
    xalanc::XSLTEngineImpl m_processor;
    xalanc::StylesheetExecutionContextDefault& m_context;
};

} // namespace prsm::detail
