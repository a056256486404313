// The one place where an engine is assembled, for every transformation path.
#pragma once

#include "engine/stylesheets/StylesheetCache.hpp"
#include "engine/xslt/EngineTables.hpp"
#include "engine/xslt/LocaleFunctors.hpp"
#include "platform/InterposedNumberToString.hpp"

#include <xalanc/XSLT/XSLTEngineImpl.hpp>

namespace XALAN_CPP_NAMESPACE
{
class ProblemListener;
class XSLTInputSource;
class XSLTResultTarget;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class EngineSupport;
class OperationGuard;
class ResultDocuments;
class SourceDocument;

// An engine for one transformation, assembled as the engine's own transformer assembles its
// own: a processor of its own over the transformer's kept support (parser, DOM support,
// environment with `nodeset` and the table's functions, object and XPath factories) and its
// long-lived execution context, which carries the locale functors. Pool sizes are the engine's
// defaults, the ones its own transformer runs with. Documents that the stylesheet loads belong
// to this engine and go with it, as does everything else it made: the support and the context
// are given back reset. Everything the engine parses, compiles and runs obeys the operation's
// guard.
class Engine
{
public:
    // Hands the tables to the engine: parameters, then the functions, each in ascending name
    // order. A parameter that does not compile ends the construction with the engine's XPath
    // exception, before the engine could print it. `listener` receives the engine's problems and
    // messages. `support`, `listener` and `guard` must outlive the engine.
    Engine(EngineSupport& support, const EngineTables& tables, xalanc::ProblemListener& listener,
           OperationGuard& guard);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine();

    // Compiles the stylesheet `source`; the result no longer needs this engine or the guard.
    // Every module it reads (xsl:include, xsl:import, at any depth) is added to `modules` by its
    // system id as it is read. Lets every exception through.
    SharedStylesheet compile(const xalanc::XSLTInputSource& source,
                             std::vector<std::string>& modules);

    // Transforms `source` by `stylesheet` into `target`, its exsl:document elements into
    // `documents`. Lets every exception through; a limit that stopped a parse the engine
    // swallowed (document()) ends it with a LimitException.
    void transform(const SourceDocument& source, const xalanc::XalanCompiledStylesheet& stylesheet,
                   xalanc::XSLTResultTarget& target, ResultDocuments& documents);

private:
    // Lends the support to one operation, and takes it back, emptied, after the processor has
    // gone: declared before it, so it is destroyed after it. A second engine over a support
    // already lent ends its construction with a LimitException: the two would share it.
    class Loan
    {
    public:
        Loan(EngineSupport& support, OperationGuard& guard);
        Loan(const Loan&) = delete;
        Loan& operator=(const Loan&) = delete;
        ~Loan();

    private:
        EngineSupport& m_support;
    };

    // Throws a LimitException when the guard recorded why the operation must stop.
    void throwIfStopped() const;

    EngineSupport& m_support;
    OperationGuard& m_guard;
    Loan m_loan;
    // xsltproc's numbers go with its leniency: what a stylesheet written for it computes
    // reads as it does there (20.736pt, not 20.735999999999997pt).
    NumberStyleScope m_numbers;
    // ... and so does its order of sort keys without a language.
    LocaleFunctors::CodePointScope m_order;
    xalanc::XSLTEngineImpl m_processor;
};

} // namespace prsm::detail
