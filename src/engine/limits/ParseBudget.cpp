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

ParseBudget::Inclusion::Inclusion(ParseBudget& budget)
    : m_budget(budget), m_locator(budget.m_locator), m_depth(budget.m_depth),
      m_entities(budget.m_entities.size())
{
}

ParseBudget::Inclusion::~Inclusion()
{
    m_budget.m_locator = m_locator;
    m_budget.m_depth = m_depth;
    m_budget.m_entities.resize(m_entities);
}

void ParseBudget::enterEntity(const void* entity, bool isExternal)
{
    // Counted here as well as by the parser's own counter, which stays one higher as a backstop,
    // so that the refusal names the bound the host sets.
    const std::size_t limit = m_operation.limits().maxEntityExpansions;
    if (limit > 0 && ++m_expansions > limit)
        refuse("entity references expand more than the limit of " + std::to_string(limit) +
               " entity expansions (PRSMXslLimits::maxEntityExpansions)");
    m_entities.push_back(isExternal && m_externalEntitiesRead.insert(entity).second);
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

void ParseBudget::openElement(std::size_t attributes)
{
    ++m_depth;
    const std::size_t limit = m_operation.limits().maxElementDepth;
    if (limit > 0 && m_depth > limit)
        refuse("elements nest deeper than the limit of " + std::to_string(limit) +
               " (PRSMXslLimits::maxElementDepth)");
    const std::size_t attributeLimit = m_operation.limits().maxAttributes;
    if (attributeLimit > 0 && attributes > attributeLimit)
        refuse("an element has " + std::to_string(attributes) +
               " attributes and namespace declarations, more than the limit of " +
               std::to_string(attributeLimit) + " (PRSMXslLimits::maxAttributes)");
}

void ParseBudget::closeElement()
{
    if (m_depth > 0)
        --m_depth;
}

void ParseBudget::claimBlock(std::size_t bytes)
{
    if (const std::string* reason = m_operation.step())
        refuse(*reason);
    checkAmplification(bytes / (2 * sizeof(XMLCh)));
}

void ParseBudget::checkAmplification(std::uint64_t pendingCharacters)
{
    const std::uint64_t factor = m_operation.limits().maxAmplification;
    const std::uint64_t content = m_contentCharacters + pendingCharacters;
    if (factor == 0 || content <= kAmplificationAllowance)
        return;
    const std::uint64_t input = m_inputBytes + m_externalCharacters;
    if (content / factor > input)
        refuse("entities expand the document to " + std::to_string(content) + " characters from " +
               std::to_string(input) + " of input, more than the limit of " +
               std::to_string(factor) + " times (PRSMXslLimits::maxAmplification)");
}

void ParseBudget::reserveContent(std::uint64_t characters, const std::string& cause)
{
    const std::uint64_t factor = m_operation.limits().maxAmplification;
    const std::uint64_t total = m_contentCharacters + characters;
    if (factor == 0 || total <= kAmplificationAllowance)
        return;
    const std::uint64_t input = m_inputBytes + m_externalCharacters;
    if (total / factor > input)
        refuse(cause + " would expand the document to " + std::to_string(total) +
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
