// The execution context that makes a reference to an undeclared variable an error.
#include "engine/xslt/DeclaredVariablesContext.hpp"

#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/XalanMessageLoader.hpp>
#include <xalanc/XSLT/XSLTProcessorException.hpp>

namespace prsm::detail
{

DeclaredVariablesContext::DeclaredVariablesContext(xalanc::MemoryManager& manager)
    : HtmlOutputContext(manager)
{
}

const xalanc::XObjectPtr DeclaredVariablesContext::getVariable(const xalanc::XalanQName& name,
                                                               const xercesc::Locator* locator)
{
    class LookUp
    {
    public:
        LookUp(const xalanc::XalanQName*& current, const xalanc::XalanQName& name)
            : m_current(current), m_outer(current)
        {
            m_current = &name;
        }
        LookUp(const LookUp&) = delete;
        LookUp& operator=(const LookUp&) = delete;
        ~LookUp() { m_current = m_outer; }

    private:
        const xalanc::XalanQName*& m_current;
        const xalanc::XalanQName* m_outer;
    } lookUp(m_lookedUp, name);
    xalanc::XObjectPtr value = HtmlOutputContext::getVariable(name, locator);
    // problem() refuses first; this catches a lookup that failed without the warning.
    if (value.null() || value->getType() == xalanc::XObject::eTypeUnknown)
        refuse(name, locator);
    return value;
}

void DeclaredVariablesContext::problem(eSource source, eClassification classification,
                                       const xalanc::XalanDOMString& message,
                                       const xercesc::Locator* locator,
                                       const xalanc::XalanNode* sourceNode)
{
    if (classification == eWarning && m_lookedUp != nullptr)
    {
        xalanc::XalanDOMString notDefined(getMemoryManager());
        xalanc::XalanMessageLoader::getMessage(notDefined,
                                               xalanc::XalanMessages::VariableIsNotDefined_1Param,
                                               m_lookedUp->getLocalPart());
        if (message == notDefined)
            refuse(*m_lookedUp, locator);
    }
    HtmlOutputContext::problem(source, classification, message, locator, sourceNode);
}

void DeclaredVariablesContext::refuse(const xalanc::XalanQName& name,
                                      const xercesc::Locator* locator)
{
    const std::string text =
        "the variable '" + utf8Of(name.getLocalPart()) + "' has not been declared";
    throw xalanc::XSLTProcessorException(getMemoryManager(), toEngine(text.c_str()), locator);
}

} // namespace prsm::detail
