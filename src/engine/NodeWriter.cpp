// Writes one node of an engine document as XML text onto a standard stream.
#include "engine/NodeWriter.hpp"

#include "engine/EngineContext.hpp"

#include <xalanc/PlatformSupport/XalanOutputStreamPrintWriter.hpp>
#include <xalanc/PlatformSupport/XalanStdOutputStream.hpp>
#include <xalanc/XMLSupport/FormatterToXML.hpp>
#include <xalanc/XMLSupport/FormatterTreeWalker.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <ostream>

namespace prsm::detail
{

void writeNodeAsXml(std::ostream& out, const xalanc::XalanNode* node, bool withDeclaration)
{
    xalanc::MemoryManager& manager = engineMemory();
    xalanc::XalanStdOutputStream stream(out, manager);
    xalanc::XalanOutputStreamPrintWriter writer(stream, false);
    const xalanc::XalanDOMString empty(manager);
    // Empty strings leave the formatter's own defaults (version 1.0, UTF-8) in force.
    xalanc::FormatterToXML formatter(writer, empty, false, 0, empty, empty, empty, empty, true,
                                     empty, xalanc::FormatterListener::OUTPUT_METHOD_XML, true,
                                     manager);
    formatter.setShouldWriteXMLHeader(withDeclaration);
    xalanc::FormatterTreeWalker walker(formatter, manager);
    formatter.startDocument();
    if (node != nullptr)
        walker.traverseSubtree(node);
    formatter.endDocument();
}

} // namespace prsm::detail
