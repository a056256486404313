// The one place where an engine is assembled, for every transformation path.
#include "engine/xslt/Engine.hpp"

#include "PRSMXslTransformer.hpp"
#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/parse/SourceDocument.hpp"
#include "engine/stylesheets/CompiledStylesheet.hpp"
#include "engine/xpath/XPathCompiler.hpp"
#include "engine/xslt/EngineSupport.hpp"
#include "engine/xslt/GuardedExecutionContext.hpp"
#include "engine/xslt/TemplateTails.hpp"
#include "engine/xslt/TransformationTables.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>

namespace prsm::detail
{

Engine::Loan::Loan(EngineSupport& support, OperationGuard& guard) : m_support(support)
{
    if (!m_support.lend())
        throw LimitException("this transformer is already running a transformation; a host "
                             "function may not start another on it (use another transformer)",
                             nullptr);
    m_support.liaison().setGuard(&guard);
    m_support.context().setGuard(&guard);
}

// Runs after the processor has reset the environment and the factories it was given, or after
// a construction that failed part way; the context goes back as the engine's own transformer
// leaves it after each run.
Engine::Loan::~Loan()
{
    GuardedExecutionContext& context = m_support.context();
    context.setXSLTProcessor(nullptr);
    m_support.envSupport().setProcessor(nullptr);
    context.reset();
    context.setGuard(nullptr);
    m_support.liaison().endOperation();
    m_support.takeBack();
}

Engine::Engine(EngineSupport& support, const EngineTables& tables,
               xalanc::ProblemListener& listener, OperationGuard& guard)
    : m_support(support), m_guard(guard), m_loan(support, guard),
      m_numbers(tables.lenient ? NumberStyle::Xsltproc : NumberStyle::XPath),
      m_order(tables.lenient),
      m_processor(support.manager(), support.liaison(), support.envSupport(), support.domSupport(),
                  support.objectFactory(), support.xpathFactory())
{
    m_support.envSupport().setProcessor(&m_processor);
    m_processor.setProblemListener(&listener);
    m_support.liaison().setStylesheetWarnings(tables.lenient ? &listener : nullptr);
    m_support.context().setXSLTProcessor(&m_processor);

    for (const auto& [name, expression] : tables.parameters)
    {
        checkParameter(name, expression, guard);
        m_processor.setStylesheetParam(toEngine(name), toEngine(expression));
    }
    m_support.installFunctions(tables);
}

// The context lets go of this run's objects before the processor empties the factories that
// made them.
Engine::~Engine()
{
    GuardedExecutionContext& context = m_support.context();
    context.reset();
    context.setXSLTProcessor(nullptr);
    m_support.envSupport().setProcessor(nullptr);
}

SharedStylesheet Engine::compile(const xalanc::XSLTInputSource& source,
                                 std::vector<std::string>& modules)
{
    // The host named this stylesheet, so the access policy lets it through; what it includes,
    // imports or loads is checked.
    m_support.liaison().setHostInput(&source);
    m_support.liaison().setModuleRecorder(&modules);
    forgetTemplateTails();
    auto compiled = std::make_shared<const CompiledStylesheet>(m_support.manager(), source,
                                                               m_processor, m_guard);
    m_support.liaison().setModuleRecorder(nullptr);
    m_support.liaison().setHostInput(nullptr);
    throwIfStopped();
    return compiled;
}

void Engine::transform(const SourceDocument& source,
                       const xalanc::XalanCompiledStylesheet& stylesheet,
                       xalanc::XSLTResultTarget& target, ResultDocuments& documents)
{
    xalanc::XalanSourceTreeDocument& document = source.document();
    // Registered under its URL, so document() of the source's own name reuses the parsed tree.
    if (!source.uri().empty())
        m_support.envSupport().setSourceDocument(source.uri(), &document);
    xalanc::XSLTInputSource input(&document, m_support.manager());
    input.setSystemId(source.uri().c_str());
    GuardedExecutionContext& context = m_support.context();
    context.setStylesheetRoot(stylesheet.getStylesheetRoot());
    forgetSpaceStripping();
    context.beginTransformation(document);
    // The documents go with this call; the context outlives it.
    class Lend
    {
    public:
        Lend(GuardedExecutionContext& context, ResultDocuments& documents) : m_context(context)
        {
            m_context.setResultDocuments(&documents);
        }
        Lend(const Lend&) = delete;
        Lend& operator=(const Lend&) = delete;
        ~Lend() { m_context.setResultDocuments(nullptr); }

    private:
        GuardedExecutionContext& m_context;
    } lend(context, documents);
    m_processor.process(input, target, context);
    throwIfStopped();
}

void Engine::throwIfStopped() const
{
    if (const std::string* failure = m_guard.failure())
        throw LimitException(*failure, nullptr);
}

} // namespace prsm::detail
