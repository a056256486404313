// The extension-function base: engine copies and string conversions.
#include "QxXsltFunction.hpp"

#include "platform/EngineText.hpp"

#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xalanc/XPath/XObject.hpp>

#include <memory>
#include <new>

namespace
{

// The engine's copy of an installed function. The engine allocates and frees its copies through
// its memory manager, while clone() gives a heap object of the host's own class; this holder,
// built in the engine's memory, owns that heap object and forwards every call to it.
class EngineCopy final : public xalanc::Function
{
public:
    explicit EngineCopy(std::unique_ptr<QxXsltFunction> function) : m_function(std::move(function))
    {
    }

    using Function::execute;

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const XObjectArgVectorType& args,
                               const xercesc::Locator* locator) const override
    {
        return m_function->execute(executionContext, context, args, locator);
    }

    xalanc::Function* clone(xalanc::MemoryManager& manager) const override
    {
        return m_function->clone(manager);
    }

protected:
    const xalanc::XalanDOMString& getError(xalanc::XalanDOMString& buffer) const override
    {
        buffer = m_function->getError();
        return buffer;
    }

private:
    std::unique_ptr<QxXsltFunction> m_function;
};

} // namespace

QxXsltFunction::~QxXsltFunction() = default;

xalanc::Function* QxXsltFunction::clone(xalanc::MemoryManager& manager) const
{
    std::unique_ptr<QxXsltFunction> copy(clone());
    xalanc::XalanAllocationGuard memory(manager, sizeof(EngineCopy));
    auto* engineCopy = new (memory.get()) EngineCopy(std::move(copy));
    memory.release();
    return engineCopy;
}

const xalanc::XalanDOMString& QxXsltFunction::getError(xalanc::XalanDOMString& buffer) const
{
    buffer = getError();
    return buffer;
}

xalanc::XalanDOMString QxXsltFunction::I18NStringToXalanDOMString(const I18NString& text)
{
    return prsm::detail::toEngine(text);
}

I18NString QxXsltFunction::XalanDOMStringToI18NString(const xalanc::XalanDOMString& text)
{
    return prsm::detail::fromEngine(text);
}
