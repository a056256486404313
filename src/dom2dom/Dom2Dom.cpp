// The document handle: its set-up, its serialisation and the internal interface to it.
#include "Dom2Dom.hpp"

#include "dom2dom/HandleAccess.hpp"
#include "dom2dom/HandleState.hpp"
#include "dom2dom/MemoryInputStream.hpp"
#include "engine/parse/FileNameUri.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>

#include <istream>

Dom2Dom::Dom2Dom(std::unique_ptr<prsm::detail::HandleState> state) : m_state(std::move(state)) {}

Dom2Dom::~Dom2Dom() = default;

bool Dom2Dom::InitializeInputSource(const char* xmlText)
{
    if (m_state->kind() != prsm::detail::HandleKind::Fresh)
        return false;
    prsm::detail::MemoryInputStream text(xmlText);
    const xalanc::XSLTInputSource source(&text, prsm::detail::engineMemory());
    return m_state->setUpInput(source);
}

bool Dom2Dom::InitializeInputSource(std::istream& in, const char* systemId)
{
    if (m_state->kind() != prsm::detail::HandleKind::Fresh)
        return false;
    xalanc::XSLTInputSource source(&in, prsm::detail::engineMemory());
    // UTF-8 through UTF-16, so that a path with non-ASCII characters names the same file.
    if (systemId != nullptr)
        source.setSystemId(prsm::detail::systemIdOfName(std::string(systemId)).c_str());
    return m_state->setUpInput(source);
}

bool Dom2Dom::InitializeInputResource(const char* name)
{
    if (m_state->kind() != prsm::detail::HandleKind::Fresh)
        return false;
    const xalanc::XSLTInputSource source(
        prsm::detail::systemIdOfName(std::string(name == nullptr ? "" : name)),
        prsm::detail::engineMemory());
    return m_state->setUpInput(source);
}

bool Dom2Dom::InitializeOutputTarget()
{
    return m_state->setUpTreeOutput();
}

bool Dom2Dom::InitializeOutputTarget(std::ostream& out)
{
    return m_state->setUpStreamOutput(out);
}

void Dom2Dom::Serialize(std::ostream& out)
{
    m_state->serialize(out);
}

namespace prsm::detail
{

Dom2Dom* HandleAccess::create(std::shared_ptr<EngineContext> engine)
{
    return new Dom2Dom(std::make_unique<HandleState>(std::move(engine)));
}

void HandleAccess::destroy(Dom2Dom* handle) noexcept
{
    delete handle;
}

HandleState& HandleAccess::state(Dom2Dom& handle) noexcept
{
    return *handle.m_state;
}

} // namespace prsm::detail
