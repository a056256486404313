// The private state of a document handle, and what the transformer reads of it.
#include "dom2dom/HandleState.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "engine/output/NodeWriter.hpp"
#include "engine/parse/SourceDocument.hpp"
#include "engine/xslt/EngineContext.hpp"
#include "engine/xslt/EngineStartup.hpp"
#include "platform/EngineMemory.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanSourceTree/FormatterToSourceTree.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>

#include <ostream>

namespace prsm::detail
{

HandleState::HandleState(std::shared_ptr<EngineContext> engine)
    : m_xalanTransformer(std::move(engine)), m_generation(engineGeneration())
{
}

bool HandleState::isCurrent() const
{
    return m_generation != 0 && m_generation == engineGeneration();
}

HandleState::~HandleState() = default;

bool HandleState::isEmptyTree() const
{
    return m_kind == HandleKind::TreeOutput &&
           m_document->document().getDocumentElement() == nullptr;
}

bool HandleState::setUpInput(const xalanc::XSLTInputSource& source)
{
    requireEngine("Dom2Dom::InitializeInputSource", m_generation);
    if (m_kind != HandleKind::Fresh)
        return false;
    OperationGuard guard(m_xalanTransformer->limits());
    std::unique_ptr<SourceDocument> parsed;
    const int status = m_xalanTransformer->parse(source, parsed, guard);
    // Recorded whatever the outcome: a failed input refuses every later set-up and reports its
    // status.
    m_parseResult = status;
    m_parseFailure = m_xalanTransformer->lastFailure();
    m_kind = status == 0 ? HandleKind::Input : HandleKind::FailedInput;
    m_document = std::move(parsed);
    return status == 0;
}

bool HandleState::setUpTreeOutput()
{
    requireEngine("Dom2Dom::InitializeOutputTarget", m_generation);
    if (m_kind != HandleKind::Fresh)
        return false;
    xalanc::MemoryManager& manager = engineMemory();
    auto document = SourceDocument::empty(manager);
    auto formatter =
        std::make_unique<xalanc::FormatterToSourceTree>(manager, &document->document());
    auto target = std::make_unique<xalanc::XSLTResultTarget>(*formatter, manager);
    m_document = std::move(document);
    m_formatter = std::move(formatter);
    m_resultTarget = std::move(target);
    m_kind = HandleKind::TreeOutput;
    return true;
}

bool HandleState::setUpStreamOutput(std::ostream& out)
{
    requireEngine("Dom2Dom::InitializeOutputTarget", m_generation);
    if (m_kind != HandleKind::Fresh)
        return false;
    m_resultTarget = std::make_unique<xalanc::XSLTResultTarget>(&out, engineMemory());
    m_kind = HandleKind::StreamOutput;
    return true;
}

void HandleState::serialize(std::ostream& out) const
{
    requireEngine("Dom2Dom::Serialize", m_generation);
    out.clear();
    if (m_kind == HandleKind::TreeOutput)
        writeNodeAsXml(out, m_document->document().getDocumentElement(), true);
    // The trailing NUL is intended: a host serialising into a character buffer finds a C string.
    out << std::endl << std::ends;
}

} // namespace prsm::detail
