// A document in the engine's source tree, with the parser that owns it.
#pragma once

#include "engine/parse/ParserLiaison.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class XalanSourceTreeDocument;
class XSLTInputSource;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

// Owns one document and the liaison that made it, so the document lives exactly as long as this
// object and needs no engine of any transformer.
class OperationGuard;
class ReaderPool;

class SourceDocument
{
public:
    // Parses `source`, which the host named, under the limits of `guard`, with the reader kept in
    // `readers` when given. Lets the parser's and the engine's exceptions through.
    static std::unique_ptr<SourceDocument> parse(xalanc::MemoryManager& manager,
                                                 const xalanc::XSLTInputSource& source,
                                                 OperationGuard& guard,
                                                 ReaderPool* readers = nullptr);

    // An empty document for a transformation to build its result into.
    static std::unique_ptr<SourceDocument> empty(xalanc::MemoryManager& manager);

    SourceDocument(const SourceDocument&) = delete;
    SourceDocument& operator=(const SourceDocument&) = delete;

    xalanc::XalanSourceTreeDocument& document() const { return *m_document; }

    // The document's URL as the engine resolves relative references against it; empty when the
    // input named no system id.
    const xalanc::XalanDOMString& uri() const { return m_uri; }

private:
    explicit SourceDocument(xalanc::MemoryManager& manager);

    ParserLiaison m_liaison;
    xalanc::XalanSourceTreeDocument* m_document = nullptr; // owned by m_liaison
    xalanc::XalanDOMString m_uri;
};

} // namespace prsm::detail
