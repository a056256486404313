// Writes one node of an engine document as XML text onto a standard stream.
#include "engine/output/NodeWriter.hpp"

#include "engine/output/OrderedTreeWalker.hpp"
#include "platform/EngineMemory.hpp"

#include <xalanc/PlatformSupport/XalanOutputStreamPrintWriter.hpp>
#include <xalanc/PlatformSupport/XalanStdOutputStream.hpp>
#include <xalanc/XMLSupport/XalanXMLSerializerFactory.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <memory>
#include <ostream>

namespace prsm::detail
{

// The serializer the engine writes its own XML output with. The generic FormatterToXML refuses
// line ends and tabs in attribute values, which any tree may hold.
void writeNodeAsXml(std::ostream& out, const xalanc::XalanNode* node, bool withDeclaration)
{
    xalanc::MemoryManager& manager = engineMemory();
    xalanc::XalanStdOutputStream stream(out, manager);
    xalanc::XalanOutputStreamPrintWriter writer(stream, false);
    const xalanc::XalanDOMString empty(manager);
    const xalanc::XalanDOMString version("1.0", manager);
    const xalanc::XalanDOMString encoding("UTF-8", manager);
    xalanc::FormatterListener* const made = xalanc::XalanXMLSerializerFactory::create(
        manager, writer, version, false, 0, encoding, empty, empty, empty, withDeclaration, empty);
    const auto destroy = [&manager](xalanc::FormatterListener* formatter)
    { xalanc::XalanDestroy(manager, *formatter); };
    const std::unique_ptr<xalanc::FormatterListener, decltype(destroy)> formatter(made, destroy);
    OrderedTreeWalker walker(*formatter, manager);
    formatter->startDocument();
    if (node != nullptr)
        walker.traverseSubtree(node);
    formatter->endDocument();
}

} // namespace prsm::detail
