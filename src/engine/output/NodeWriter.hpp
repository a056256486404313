// Writes one node of an engine document as XML text onto a standard stream.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <iosfwd>

namespace XALAN_CPP_NAMESPACE
{
class XalanNode;
}

namespace prsm::detail
{

// Writes `node` and its subtree as XML (no indenting, the formatter's default encoding), preceded
// by the XML declaration when `withDeclaration` is set; a null node writes the declaration alone.
// Nothing is written after the markup. Lets the engine's exceptions through.
void writeNodeAsXml(std::ostream& out, const xalanc::XalanNode* node, bool withDeclaration);

} // namespace prsm::detail
