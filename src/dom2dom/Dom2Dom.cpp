// The document handle: its set-up, its serialisation and the transformer's factory pair.
#include "Dom2Dom.hpp"

#include "PRSMXslTransformer.hpp"
#include "dom2dom/MemoryInputStream.hpp"
#include "dom2dom/NodeWriter.hpp"
#include "transformer/EngineStrings.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>
#include <xalanc/XalanDOM/XalanElement.hpp>
#include <xalanc/XalanSourceTree/FormatterToSourceTree.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xalanc/XalanTransformer/XalanDocumentBuilder.hpp>
#include <xalanc/XalanTransformer/XalanParsedSource.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <istream>
#include <memory>
#include <ostream>

Dom2Dom::Dom2Dom(PRSMXslTransformer* owner) : m_xalanTransformer(owner->m_xalanTransformer.get()) {}

Dom2Dom::~Dom2Dom()
{
    if (m_documentBuilder != nullptr)
    {
        // The builder owns the document that the formatter and the result target write into.
        m_xalanTransformer->destroyDocumentBuilder(m_documentBuilder);
        m_documentBuilder = nullptr;
        m_formatter.reset();
    }
    m_resultTarget.reset();
    if (m_parsedSource != nullptr)
    {
        m_xalanTransformer->destroyParsedSource(m_parsedSource);
        m_parsedSource = nullptr;
        m_parseResult = 0;
    }
    m_document = nullptr;
}

bool Dom2Dom::InitializeInputSource(const char* xmlText)
{
    if (m_inputInitialized || m_outputInitialized)
        return false;
    prsm::detail::MemoryInputStream text(xmlText);
    xalanc::XSLTInputSource source(&text, m_xalanTransformer->getMemoryManager());
    return parse(source);
}

bool Dom2Dom::InitializeInputSource(std::istream& in, const char* systemId)
{
    if (m_inputInitialized || m_outputInitialized)
        return false;
    xalanc::XSLTInputSource source(&in, m_xalanTransformer->getMemoryManager());
    if (systemId != nullptr)
    {
        // UTF-8 through UTF-16, so that a path with non-ASCII characters names the same file.
        source.setSystemId(prsm::detail::engineString(systemId).c_str());
    }
    return parse(source);
}

bool Dom2Dom::parse(const xalanc::XSLTInputSource& source)
{
    const xalanc::XalanParsedSource* parsed = nullptr;
    const int status = m_xalanTransformer->parseSource(source, parsed, false);
    m_parsedSource = parsed;
    m_parseResult = status;
    // Set whatever the outcome: a failed input refuses every later set-up and reports its status.
    m_inputInitialized = true;
    if (m_parsedSource == nullptr)
        return false;
    m_document = m_parsedSource->getDocument();
    return m_document != nullptr;
}

bool Dom2Dom::InitializeOutputTarget()
{
    if (m_inputInitialized || m_outputInitialized)
        return false;
    xalanc::MemoryManager& manager = m_xalanTransformer->getMemoryManager();
    xalanc::XalanTransformer* const engine = m_xalanTransformer;
    const auto destroyBuilder = [engine](xalanc::XalanDocumentBuilder* builder)
    { engine->destroyDocumentBuilder(builder); };
    std::unique_ptr<xalanc::XalanDocumentBuilder, decltype(destroyBuilder)> builder(
        engine->createDocumentBuilder(xalanc::XalanDOMString(manager)), destroyBuilder);
    // The engine's document builder always builds into its own source tree.
    auto* const document = static_cast<xalanc::XalanSourceTreeDocument*>(builder->getDocument());
    auto formatter = std::make_unique<xalanc::FormatterToSourceTree>(manager, document);
    auto target = std::make_unique<xalanc::XSLTResultTarget>(*formatter, manager);

    m_outputInitialized = true;
    m_document = document;
    m_formatter = std::move(formatter);
    m_resultTarget = std::move(target);
    m_documentBuilder = builder.release();
    return true;
}

bool Dom2Dom::InitializeOutputTarget(std::ostream& out)
{
    if (m_inputInitialized || m_outputInitialized)
        return false;
    m_resultTarget =
        std::make_unique<xalanc::XSLTResultTarget>(&out, m_xalanTransformer->getMemoryManager());
    m_outputInitialized = true;
    return true;
}

void Dom2Dom::Serialize(std::ostream& out)
{
    out.clear();
    if (m_outputInitialized && m_document != nullptr)
        prsm::detail::writeNodeAsXml(out, m_document->getDocumentElement(), true);
    // The trailing NUL is intended: a host serialising into a character buffer finds a C string.
    out << std::endl << std::ends;
}

Dom2Dom* PRSMXslTransformer::createDom2Dom()
{
    return new Dom2Dom(this);
}

void PRSMXslTransformer::destroyDom2Dom(Dom2Dom*& document)
{
    delete document;
    document = nullptr;
}
