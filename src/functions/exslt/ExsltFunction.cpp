// The one engine function class behind every EXSLT function of this library.
#include "functions/exslt/ExsltFunction.hpp"

#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xalanc/PlatformSupport/XalanMessageLoader.hpp>

#include <string>

namespace prsm::detail
{

ExsltFunction::ExsltFunction(const char* name, ExsltArity arity, Worker worker)
    : m_name(name), m_arity(arity), m_worker(worker)
{
}

xalanc::XObjectPtr ExsltFunction::execute(xalanc::XPathExecutionContext& executionContext,
                                          xalanc::XalanNode* context,
                                          const XObjectArgVectorType& args,
                                          const xercesc::Locator* locator) const
{
    if (args.size() < m_arity.fewest || args.size() > m_arity.most)
        generalError(executionContext, context, locator);
    return m_worker(ExsltCall{executionContext, context, args, locator});
}

ExsltFunction* ExsltFunction::clone(xalanc::MemoryManager& manager) const
{
    return xalanc::XalanCopyConstruct(manager, *this);
}

const xalanc::XalanDOMString& ExsltFunction::getError(xalanc::XalanDOMString& buffer) const
{
    const std::string name = std::string(m_name) + "()";
    return xalanc::XalanMessageLoader::getMessage(buffer, m_arity.countError, name.c_str());
}

} // namespace prsm::detail
