// generate-id() as a function of a node's document and its place in it, the same in every run.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <cstddef>
#include <unordered_map>

namespace XALAN_CPP_NAMESPACE
{
class XalanDocument;
}

namespace prsm::detail
{

// Numbers the documents of one transformation in the order generate-id() first meets them, so
// that the first is 0 whatever its address.
class DocumentNumbers
{
public:
    std::size_t numberOf(const xalanc::XalanDocument* document);
    void clear() { m_numbers.clear(); }

private:
    // Looked up only, never iterated: its order cannot reach an output.
    std::unordered_map<const xalanc::XalanDocument*, std::size_t> m_numbers;
};

// Replaces the engine's generate-id() (XSLT/FunctionGenerateID.cpp,
// FunctionGenerateID::getSuffix), which spells the node's address and so differs from run to
// run: "N0x4cb3a0f5000". Ours is "id" + the node's document-order index in its document
// (XalanNode::getIndex), followed by "d" + the document's number within the transformation for
// every document but the first, so that ids are unique within a transformation and the same in
// every process and on every path. Installed process-wide after the engine starts.
void installStableGenerateId();

} // namespace prsm::detail
