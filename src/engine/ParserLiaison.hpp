// The parser front that every document of the library goes through.
#pragma once

#include <xalanc/XalanSourceTree/XalanSourceTreeDOMSupport.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeParserLiaison.hpp>

namespace prsm::detail
{

// Parses into the engine's source tree and keeps quiet: a parse problem ends the parse with the
// parser's exception and is never printed. It owns every document it parses or creates until
// it is destroyed. Source, stylesheet, handle and document() parses all come through here, so a
// rule about what a parse may do is written once, in this class.
class ParserLiaison final : public xalanc::XalanSourceTreeParserLiaison
{
public:
    explicit ParserLiaison(xalanc::MemoryManager& manager);
};

// Source-tree DOM support that also answers unparsed-entity-uri() for documents that another
// liaison parsed: a handle's document meets the engine of a later transformation, whose liaison
// has never seen it.
class DocumentSupport final : public xalanc::XalanSourceTreeDOMSupport
{
public:
    explicit DocumentSupport(const xalanc::XalanSourceTreeParserLiaison& liaison);

    const xalanc::XalanDOMString&
    getUnparsedEntityURI(const xalanc::XalanDOMString& name,
                         const xalanc::XalanDocument& document) const override;
};

} // namespace prsm::detail
