// The formatter that receives one secondary result document and writes it as its format says.
#pragma once

#include "engine/documents/DocumentFormat.hpp"

#include <xalanc/PlatformSupport/FormatterListener.hpp>
#include <xalanc/PlatformSupport/PrefixResolver.hpp>
#include <xalanc/PlatformSupport/XalanOutputStreamPrintWriter.hpp>
#include <xalanc/PlatformSupport/XalanStdOutputStream.hpp>

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace XALAN_CPP_NAMESPACE
{
class StylesheetExecutionContext;
}

namespace prsm::detail
{

// Stands in front of the engine's own XML, HTML or text writer, choosing it at the first
// element when the format names no method, and mends what the engine assumes of a result
// tree that continues the one around it:
// - the engine leaves out a namespace declaration that an enclosing result element (of the
//   main result, or of a document this one is nested in) already made; each prefix this
//   document uses is declared in it;
// - the engine writes CDATA sections for the main output's cdata-section-elements; this
//   document's own list decides instead.
class DocumentListener final : public xalanc::FormatterListener
{
public:
    // Writes to `out`, which must outlive the listener. `context` resolves the result
    // namespaces in scope while the document is written.
    DocumentListener(std::ostream& out, const DocumentFormat& format,
                     const xalanc::StylesheetExecutionContext& context);
    DocumentListener(const DocumentListener&) = delete;
    DocumentListener& operator=(const DocumentListener&) = delete;
    ~DocumentListener() override;

    // "xml", "html" or "text" once the writer is chosen, else empty.
    const std::u16string& method() const { return m_method; }

    // Writes out everything the writers still hold. Lets the stream's exceptions through.
    void flush();

    void setDocumentLocator(const xercesc::Locator* const locator) override;
    void startDocument() override;
    void endDocument() override;
    void startElement(const XMLCh* const name, xercesc::AttributeList& attrs) override;
    void endElement(const XMLCh* const name) override;
    void characters(const XMLCh* const chars, const size_type length) override;
    void charactersRaw(const XMLCh* const chars, const size_type length) override;
    void entityReference(const XMLCh* const name) override;
    void ignorableWhitespace(const XMLCh* const chars, const size_type length) override;
    void processingInstruction(const XMLCh* const target, const XMLCh* const data) override;
    void resetDocument() override;
    void comment(const XMLCh* const data) override;
    void cdata(const XMLCh* const ch, const size_type length) override;

private:
    // Resolves prefixes as the result tree has them in scope, for the HTML writer.
    class ResultNamespaces final : public xalanc::PrefixResolver
    {
    public:
        explicit ResultNamespaces(const xalanc::StylesheetExecutionContext& context);
        const xalanc::XalanDOMString*
        getNamespaceForPrefix(const xalanc::XalanDOMString& prefix) const override;
        const xalanc::XalanDOMString& getURI() const override;

    private:
        const xalanc::StylesheetExecutionContext& m_context;
        xalanc::XalanDOMString m_uri;
    };

    // What arrives before the first element while the writer is not yet chosen.
    struct Early
    {
        enum class Kind
        {
            Characters,
            Raw,
            Comment,
            Instruction
        };
        Kind kind;
        std::u16string text;
        std::u16string data;
    };

    struct FormatterDeleter
    {
        xalanc::MemoryManager* manager;
        void operator()(xalanc::FormatterListener* formatter) const;
    };

    // Makes the writer for `method`.
    void choose(const std::u16string& method);
    // Chooses the writer, starts its document and hands it what came early.
    void start(const std::u16string& method);
    void text(const XMLCh* chars, size_type length, bool isCdata);
    const std::u16string* uriOf(const std::u16string& prefix) const;

    xalanc::MemoryManager& m_manager;
    const xalanc::StylesheetExecutionContext& m_context;
    DocumentFormat m_format;
    std::u16string m_method;
    ResultNamespaces m_resolver;
    xalanc::XalanStdOutputStream m_stream;
    xalanc::XalanOutputStreamPrintWriter m_writer;
    std::unique_ptr<xalanc::FormatterListener, FormatterDeleter> m_formatter;
    std::vector<Early> m_early;
    // Prefix and URI of every declaration this document made and still has in scope, and for
    // each open element how many of them it made and whether its text is CDATA.
    std::vector<std::pair<std::u16string, std::u16string>> m_declarations;
    struct Open
    {
        std::size_t declarations;
        bool isCdata;
    };
    std::vector<Open> m_elements;
};

} // namespace prsm::detail
