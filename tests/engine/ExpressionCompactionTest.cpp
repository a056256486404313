// A compiled expression keeps its operation codes and tokens when its unused room is given back.
#include "engine/xslt/ExpressionCompaction.hpp"

#include "platform/EngineMemory.hpp"

#include <xalanc/PlatformSupport/PrefixResolver.hpp>
#include <xalanc/XPath/XPathConstructionContextDefault.hpp>
#include <xalanc/XPath/XPathProcessorImpl.hpp>
#include <xalanc/XPath/XToken.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{

class NoPrefixes final : public xalanc::PrefixResolver
{
public:
    const xalanc::XalanDOMString*
    getNamespaceForPrefix(const xalanc::XalanDOMString&) const override
    {
        return nullptr;
    }
    const xalanc::XalanDOMString& getURI() const override { return m_uri; }

private:
    xalanc::XalanDOMString m_uri{prsm::detail::engineMemory()};
};

struct Compiled
{
    std::vector<int> codes;
    std::vector<std::u16string> tokens;
};

Compiled contents(const xalanc::XPath& xpath)
{
    const xalanc::XPathExpression& expression = xpath.getExpression();
    Compiled compiled;
    for (xalanc::XPathExpression::OpCodeMapSizeType i = 0; i < expression.opCodeMapSize(); ++i)
        compiled.codes.push_back(expression.getOpCodeMapValue(i));
    for (int i = 0; i < expression.tokenQueueSize(); ++i)
        compiled.tokens.emplace_back(expression.getToken(i)->str().c_str());
    return compiled;
}

TEST(ExpressionCompaction, KeepsEveryCodeAndToken)
{
    xalanc::MemoryManager& memory = prsm::detail::expressionMemory();
    const NoPrefixes resolver;
    xalanc::XPathConstructionContextDefault context(memory);
    for (const char16_t* text :
         {u"concat('a', \"b\", string(1 + 2.5), //x[@y = 'z'][3]/text())", u"1",
          u"a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/r/s/t/u/v/w/x/y/z/a/b/c/d/e/f/g/h/i/j/k/l/m"})
    {
        xalanc::XPath xpath(memory);
        xalanc::XPathProcessorImpl processor(memory);
        processor.initXPath(xpath, context, xalanc::XalanDOMString(text, memory), resolver);
        const Compiled before = contents(xpath);
        prsm::detail::compactExpression(xpath);
        const Compiled after = contents(xpath);
        EXPECT_EQ(before.codes, after.codes) << std::string(text, text + 8);
        EXPECT_EQ(before.tokens, after.tokens);
    }
}

TEST(ExpressionCompaction, AShortenedBlockKeepsItsHead)
{
    xalanc::MemoryManager& memory = prsm::detail::expressionMemory();
    auto* block = static_cast<char*>(memory.allocate(1920));
    std::memset(block, 'x', 1920);
    prsm::detail::shrinkExpressionBlock(block, 64);
    EXPECT_EQ(std::string(block, 64), std::string(64, 'x'));
    memory.deallocate(block);
}

} // namespace
