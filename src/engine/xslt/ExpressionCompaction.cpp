// Corrects xalanc/XPath/XPathExpression.cpp, XPathExpression::XPathExpression.
#include "engine/xslt/ExpressionCompaction.hpp"

#include "platform/EngineMemory.hpp"

#include <xalanc/XPath/XPathExpression.hpp>
#include <xalanc/XPath/XToken.hpp>

namespace prsm::detail
{
namespace
{

// The token room the engine's constructor reserves (XPathExpression::eDefaultTokenQueueSize).
// Tokens are only ever added, so a queue of at most this many still sits in that first block.
constexpr xalanc::XPathExpression::TokenQueueSizeType kReservedTokens = 30;

} // namespace

void compactExpression(xalanc::XPath& xpath)
{
    xalanc::XPathExpression& expression = xpath.getExpression();
    expression.shrink();
    const auto tokens = expression.tokenQueueSize();
    if (tokens == 0 || tokens > kReservedTokens ||
        &expression.getMemoryManager() != &expressionMemory())
        return;
    // The queue is a vector whose storage starts at its first token; it keeps believing it has
    // room for the reserved tokens, and nothing adds one.
    shrinkExpressionBlock(const_cast<xalanc::XToken*>(expression.getToken(0)),
                          tokens * sizeof(xalanc::XToken));
}

} // namespace prsm::detail
