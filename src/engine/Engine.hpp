// The one place where an engine is assembled, for every transformation path.
#pragma once

#include "engine/EngineTables.hpp"
#include "engine/GuardedConstructionContext.hpp"
#include "engine/GuardedExecutionContext.hpp"
#include "engine/LocaleFunctors.hpp"
#include "engine/ParserLiaison.hpp"

#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPathFactoryBlock.hpp>
#include <xalanc/XSLT/XSLTEngineImpl.hpp>
#include <xalanc/XSLT/XSLTProcessorEnvSupportDefault.hpp>

namespace XALAN_CPP_NAMESPACE
{
class ProblemListener;
class XalanDocument;
class XSLTInputSource;
class XSLTResultTarget;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class OperationGuard;
class SourceDocument;

// An engine for one transformation, assembled as the engine's own transformer assembles its
// own: parser, DOM support, environment with `nodeset` and the table's functions, object and
// XPath factories, processor, construction and execution contexts, locale functors. Pool sizes
// are the engine's defaults, the ones its own transformer runs with. Documents that the
// stylesheet loads belong to this engine and go with it. Members are declared in construction
// order, so each is destroyed before what it refers to.
class Engine
{
public:
    // Hands the tables to the engine: parameters, then `nodeset`, then the functions, each in
    // ascending name order. `listener` receives the engine's problems and messages and must
    // outlive the engine. Everything the engine parses, compiles and runs obeys `guard`, which
    // must outlive it too. A parameter that does not compile ends the construction with the
    // engine's XPath exception, before the engine could print it.
    Engine(xalanc::MemoryManager& manager, const EngineTables& tables,
           xalanc::ProblemListener& listener, OperationGuard& guard);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine();

    // Transforms `source` by `stylesheet` into `target`. Lets every exception through; a limit
    // that stopped a parse the engine swallowed (document()) ends it with a LimitException.
    void transform(const SourceDocument& source, const xalanc::XSLTInputSource& stylesheet,
                   xalanc::XSLTResultTarget& target);

    // Parses `source` into this engine's liaison; the document goes with the engine. Lets the
    // parser's exceptions through.
    xalanc::XalanDocument* parse(const xalanc::XSLTInputSource& source);

private:
    xalanc::MemoryManager& m_manager;
    ParserLiaison m_liaison;
    DocumentSupport m_domSupport;
    xalanc::XSLTProcessorEnvSupportDefault m_envSupport;
    xalanc::XObjectFactoryDefault m_objectFactory;
    xalanc::XPathFactoryBlock m_xpathFactory;
    xalanc::XSLTEngineImpl m_processor;
    OperationGuard& m_guard;
    GuardedConstructionContext m_constructionContext;
    GuardedExecutionContext m_executionContext;
    LocaleFunctors m_localeFunctors;
};

} // namespace prsm::detail
