// The parser front that every document of the library goes through.
#include "engine/ParserLiaison.hpp"

#include "engine/QuietErrorHandler.hpp"

#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>

namespace prsm::detail
{

ParserLiaison::ParserLiaison(xalanc::MemoryManager& manager)
    : xalanc::XalanSourceTreeParserLiaison(manager)
{
    setErrorHandler(&quietErrorHandler());
}

DocumentSupport::DocumentSupport(const xalanc::XalanSourceTreeParserLiaison& liaison)
    : xalanc::XalanSourceTreeDOMSupport(liaison)
{
}

const xalanc::XalanDOMString&
DocumentSupport::getUnparsedEntityURI(const xalanc::XalanDOMString& name,
                                      const xalanc::XalanDocument& document) const
{
    if (const auto* tree = dynamic_cast<const xalanc::XalanSourceTreeDocument*>(&document))
        return tree->getUnparsedEntityURI(name);
    return xalanc::XalanSourceTreeDOMSupport::getUnparsedEntityURI(name, document);
}

} // namespace prsm::detail
