// What one parse may still consume: element nesting, entity amplification, the operation's bounds.
#include "engine/limits/ParseBudget.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

#include <xercesc/sax/SAXParseException.hpp>

namespace prsm::detail
{
namespace
{

// Content may outgrow its input this much before the amplification bound applies: small
// documents with entities are never refused for it.
constexpr std::uint64_t kAmplificationAllowance = 1000000;

} // namespace

ParseBudget::ParseBudget(OperationGuard& operation, const XMLCh* systemId)
    : m_operation(operation), m_systemId(systemId)
{
}

void ParseBudget::enterEntity(bool isExternal)
{
    // Counted here as well as by the parser's own counter, which stays one higher as a backstop,
    // so that the refusal names the bound the host sets.
    const std::size_t limit = m_operation.limits().maxEntityExpansions;
    if (limit > 0 && ++m_expansions > limit)
        refuse("entity references expand more than the limit of " + std::to_string(limit) +
               " entity expansions (PRSMXslLimits::maxEntityExpansions)");
    m_entities.push_back(isExternal);
}

void ParseBudget::leaveEntity()
{
    if (!m_entities.empty())
        m_entities.pop_back();
}

void ParseBudget::addContent(std::size_t characters)
{
    m_contentCharacters += characters;
    if (!m_entities.empty() && m_entities.back())
        m_externalCharacters += characters;
    if (const std::string* reason = m_operation.step())
        refuse(*reason);
    checkAmplification();
}

void ParseBudget::openElement()
{
    ++m_depth;
    const std::size_t limit = m_operation.limits().maxElementDepth;
    if (limit > 0 && m_depth > limit)
        refuse("elements nest deeper than the limit of " + std::to_string(limit) +
               " (PRSMXslLimits::maxElementDepth)");
}

void ParseBudget::closeElement()
{
    if (m_depth > 0)
        --m_depth;
}

void ParseBudget::checkAmplification()
{
    const std::uint64_t factor = m_operation.limits().maxAmplification;
    if (factor == 0 || m_contentCharacters <= kAmplificationAllowance)
        return;
    const std::uint64_t input = m_inputBytes + m_externalCharacters;
    if (m_contentCharacters / factor > input)
        refuse("entities expand the document to " + std::to_string(m_contentCharacters) +
               " characters from " + std::to_string(input) + " of input, more than the limit of " +
               std::to_string(factor) + " times (PRSMXslLimits::maxAmplification)");
}

void ParseBudget::record(const std::string& reason)
{
    m_operation.fail(reason);
}

void ParseBudget::refuse(const std::string& reason)
{
    m_operation.fail(reason);
    const xalanc::XalanDOMString message = toEngine(reason.c_str());
    if (m_locator != nullptr)
        throw xercesc::SAXParseException(message.c_str(), *m_locator, &engineMemory());
    throw xercesc::SAXParseException(message.c_str(), nullptr, m_systemId, 0, 0, &engineMemory());
}

} // namespace prsm::detail
