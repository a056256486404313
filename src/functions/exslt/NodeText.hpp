// The string value of a node, built in time linear in its text.
#pragma once

#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XalanDOM/XalanNode.hpp>
#include <xercesc/sax/Locator.hpp>

#include <string>

namespace prsm::detail
{

// The string value of `node` as the engine gives it (text stripped by xsl:strip-space left out).
// For an element the engine appends the text of each descendant to a string that grows by exactly
// that text (XNodeSetBase::str through DOMServices::getNodeData), in time quadratic in the number
// of text nodes and without a pause; here the string grows geometrically, and the operation's
// limits are checked, placed at `locator`, every few thousand nodes.
std::u16string nodeText(const xalanc::XalanNode& node,
                        xalanc::XPathExecutionContext& executionContext,
                        const xercesc::Locator* locator);

} // namespace prsm::detail
