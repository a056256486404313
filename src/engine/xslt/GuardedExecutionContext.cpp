// The execution context of a transformation that obeys the operation's limits.
#include "engine/xslt/GuardedExecutionContext.hpp"

#include "engine/documents/ExsltDocumentElement.hpp"
#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/xpath/DynamicEvaluationCheck.hpp"
#include "engine/xpath/XPathCompiler.hpp"
#include "engine/xslt/GuardedTreeBuilder.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XPath/XalanQName.hpp>
#include <xalanc/XPath/XalanQNameByValue.hpp>
#include <xalanc/XSLT/ElemTemplate.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#include <xalanc/XalanSourceTree/FormatterToSourceTree.hpp>

#include <typeinfo>

namespace prsm::detail
{
namespace
{

std::string describe(const xalanc::ElemTemplate& theTemplate)
{
    const xalanc::XalanDOMString& name = theTemplate.getNameAttribute().getLocalPart();
    return name.empty() ? std::string("a template without a name")
                        : "the template '" + utf8Of(name) + "'";
}

} // namespace

GuardedExecutionContext::GuardedExecutionContext(xalanc::MemoryManager& manager)
    : DeclaredVariablesContext(manager), m_keyTables(manager)
{
}

GuardedExecutionContext::~GuardedExecutionContext() = default;

void GuardedExecutionContext::pushOutputContext(xalanc::FormatterListener* listener)
{
    if (dynamic_cast<xalanc::FormatterToSourceTree*>(listener) == nullptr)
    {
        DeclaredVariablesContext::pushOutputContext(listener);
        return;
    }
    m_builders.push_back(std::make_unique<GuardedTreeBuilder>(*listener, *this));
    DeclaredVariablesContext::pushOutputContext(m_builders.back().get());
}

void GuardedExecutionContext::popOutputContext()
{
    const bool isBuilder = !m_builders.empty() && getFormatterListener() == m_builders.back().get();
    DeclaredVariablesContext::popOutputContext();
    if (isBuilder)
        m_builders.pop_back();
}

const xalanc::XPath*
GuardedExecutionContext::createMatchPattern(const xalanc::XalanDOMString& str,
                                            const xalanc::PrefixResolver& resolver)
{
    if (str.empty() || str[0] != u'&')
        return DeclaredVariablesContext::createMatchPattern(str, resolver);
    xalanc::XalanDOMString attribute(str, getMemoryManager());
    attribute[0] = u'@';
    return DeclaredVariablesContext::createMatchPattern(attribute, resolver);
}

xalanc::XalanDOMString& GuardedExecutionContext::getCachedString()
{
    // Once the operation has failed, only the first borrow throws: the engine borrows strings
    // for its reports while it unwinds.
    if (m_guard != nullptr && m_guard->failure() == nullptr)
        step(nullptr);
    return DeclaredVariablesContext::getCachedString();
}

void GuardedExecutionContext::reset()
{
    DeclaredVariablesContext::reset();
    m_builders.clear();
    forgetTransformationTables();
}

void GuardedExecutionContext::beginTransformation(const xalanc::XalanDocument& source)
{
    forgetTransformationTables();
    m_documentNumbers.numberOf(&source);
}

void GuardedExecutionContext::forgetTransformationTables()
{
    m_modeLists.clear();
    m_keyTables.clear();
    m_positionalSteps.clear();
}

void GuardedExecutionContext::setStylesheetRoot(const xalanc::StylesheetRoot* theStylesheet)
{
    m_stylesheetRoot = theStylesheet;
    DeclaredVariablesContext::setStylesheetRoot(theStylesheet);
}

void GuardedExecutionContext::getNodeSetByKey(xalanc::XalanNode* context,
                                              const xalanc::XalanQName& qname,
                                              const xalanc::XalanDOMString& ref,
                                              const xercesc::Locator* locator,
                                              xalanc::MutableNodeRefList& nodelist)
{
    const xalanc::PrefixResolver* resolver = getPrefixResolver();
    const xalanc::MutableNodeRefList* nodes =
        m_stylesheetRoot != nullptr && resolver != nullptr && context != nullptr
            ? m_keyTables.nodesOf(*this, *m_stylesheetRoot, context, qname, ref, *resolver)
            : nullptr;
    if (nodes == nullptr)
        DeclaredVariablesContext::getNodeSetByKey(context, qname, ref, locator, nodelist);
    else if (nodelist.empty())
        nodelist = *nodes;
    else
        nodelist.addNodesInDocOrder(*nodes, *this);
}

void GuardedExecutionContext::getNodeSetByKey(xalanc::XalanNode* context,
                                              const xalanc::XalanDOMString& name,
                                              const xalanc::XalanDOMString& ref,
                                              const xercesc::Locator* locator,
                                              xalanc::MutableNodeRefList& nodelist)
{
    // The name in the namespaces of the expression, as the engine reads it.
    xalanc::XalanQNameByValue qname(getMemoryManager());
    qname.set(name, getPrefixResolver(), locator);
    getNodeSetByKey(context, qname, ref, locator, nodelist);
}

ModeLists* modeListsOf(xalanc::StylesheetExecutionContext& context)
{
    // The library's contexts are exactly this class: a type comparison is enough, where a cast
    // that searches the class tree would cost a tenth of the search it serves.
    return typeid(context) == typeid(GuardedExecutionContext)
               ? &static_cast<GuardedExecutionContext&>(context).modeLists()
               : nullptr;
}

PositionalSteps* positionalStepsOf(xalanc::XPathExecutionContext& context)
{
    return typeid(context) == typeid(GuardedExecutionContext)
               ? &static_cast<GuardedExecutionContext&>(context).positionalSteps()
               : nullptr;
}

bool GuardedExecutionContext::elementAvailable(const xalanc::XalanQName& theQName) const
{
    if (isDocumentElement(theQName.getNamespace().c_str(), theQName.getLocalPart().c_str()))
        return true;
    return StylesheetExecutionContextDefault::elementAvailable(theQName);
}

void GuardedExecutionContext::setGuard(OperationGuard* guard)
{
    m_guard = guard;
    m_templateDepth = 0;
    m_rule.clear();
    m_documentNumbers.clear();
}

void GuardedExecutionContext::pushCurrentTemplate(const xalanc::ElemTemplate* theTemplate)
{
    // xsl:for-each pushes no template (null): only template instantiations count.
    if (theTemplate == nullptr)
    {
        step(nullptr);
        DeclaredVariablesContext::pushCurrentTemplate(theTemplate);
        m_rule.push(theTemplate);
        return;
    }
    const xercesc::Locator* locator = theTemplate->getLocator();
    step(locator);
    const std::size_t limit = m_guard == nullptr ? 0 : m_guard->limits().maxCallDepth;
    if (limit > 0 && m_templateDepth >= limit)
    {
        const std::string reason =
            "templates nest deeper than the limit of " + std::to_string(limit) +
            " (PRSMXslLimits::maxCallDepth) on entering " + describe(*theTemplate) + " at depth " +
            std::to_string(m_templateDepth + 1);
        m_guard->fail(reason);
        throw LimitException(reason, locator);
    }
    DeclaredVariablesContext::pushCurrentTemplate(theTemplate);
    m_rule.push(theTemplate);
    ++m_templateDepth;
}

void GuardedExecutionContext::popCurrentTemplate()
{
    const bool isTemplate = DeclaredVariablesContext::getCurrentTemplate() != nullptr;
    DeclaredVariablesContext::popCurrentTemplate();
    m_rule.pop();
    if (isTemplate && m_templateDepth > 0)
        --m_templateDepth;
}

const xalanc::ElemTemplate* GuardedExecutionContext::getCurrentTemplate() const
{
    return m_rule.get();
}

void GuardedExecutionContext::pushCurrentNode(xalanc::XalanNode* theCurrentNode)
{
    step(nullptr);
    DeclaredVariablesContext::pushCurrentNode(theCurrentNode);
}

void GuardedExecutionContext::pushContextNodeList(const xalanc::NodeRefListBase& theList)
{
    step(nullptr);
    DeclaredVariablesContext::pushContextNodeList(theList);
}

void GuardedExecutionContext::enterEvaluation(const xercesc::Locator* locator)
{
    step(locator);
    checkDynamicEvaluation(m_guard, m_templateDepth, locator);
    ++m_templateDepth;
}

void GuardedExecutionContext::leaveEvaluation() noexcept
{
    if (m_templateDepth > 0)
        --m_templateDepth;
}

void GuardedExecutionContext::step(const xercesc::Locator* locator)
{
    if (m_guard == nullptr)
        return;
    if (const std::string* reason = m_guard->step())
        throw LimitException(*reason, locator);
}

std::unique_ptr<CompiledExpression>
GuardedExecutionContext::compileExpression(const xalanc::XalanDOMString& expression,
                                           const xalanc::PrefixResolver& resolver,
                                           const xercesc::Locator* locator)
{
    if (m_guard == nullptr)
        throw LimitException("an expression was compiled outside an operation", locator);
    return std::make_unique<CompiledXPath>(expression, resolver, *m_guard, locator);
}

} // namespace prsm::detail
