// An extension function as a host writes one, for the tests that install or call one.
#pragma once

#include "QxXsltFunction.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <atomic>
#include <string>

namespace prsm::test
{

// How many TaggedFunction objects live, the engine's copies included.
inline std::atomic<int> g_liveTaggedFunctions{0};

// Returns its tag followed by its arguments' string values joined by '+'.
class TaggedFunction : public QxXsltFunction
{
public:
    explicit TaggedFunction(std::string tag) : m_tag(std::move(tag)) { ++g_liveTaggedFunctions; }
    TaggedFunction(const TaggedFunction& other) : QxXsltFunction(other), m_tag(other.m_tag)
    {
        ++g_liveTaggedFunctions;
    }
    ~TaggedFunction() override { --g_liveTaggedFunctions; }

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode*,
                               const XObjectArgVectorType& args,
                               const xercesc::Locator*) const override
    {
        I18NString text(m_tag.c_str());
        for (std::size_t i = 0; i < args.size(); ++i)
            text += (i == 0 ? I18NString() : I18NString("+")) +
                    XalanDOMStringToI18NString(args[i]->str(executionContext));
        return executionContext.getXObjectFactory().createString(I18NStringToXalanDOMString(text));
    }
    TaggedFunction* clone() const override { return new TaggedFunction(*this); }
    xalanc::XalanDOMString getError() const override
    {
        return xalanc::XalanDOMString("tagged() takes any arguments");
    }

private:
    std::string m_tag;
};

} // namespace prsm::test
