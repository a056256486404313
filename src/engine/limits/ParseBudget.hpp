// What one parse may still consume: element nesting, entity amplification, the operation's bounds.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xercesc/sax/Locator.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace prsm::detail
{

class OperationGuard;

// Counts the events of one parse. Every count that passes a bound ends the parse: the reason is
// recorded in the operation (where a swallowed parse still fails it) and thrown as the parser's
// own SAXParseException, placed where the parser stands.
class ParseBudget
{
public:
    // `systemId` names the document in reports until the parser tells its place; null for none.
    ParseBudget(OperationGuard& operation, const XMLCh* systemId);
    ParseBudget(const ParseBudget&) = delete;
    ParseBudget& operator=(const ParseBudget&) = delete;

    OperationGuard& operation() const { return m_operation; }

    // The parser's place, told at the start of the document; valid for the whole parse.
    void setLocator(const xercesc::Locator* locator) { m_locator = locator; }

    // Bytes of the document read from its input.
    void addInput(std::size_t bytes) { m_inputBytes += bytes; }
    std::uint64_t inputBytes() const { return m_inputBytes; }

    // Entity references open and close in content, nested.
    void enterEntity(bool isExternal);
    void leaveEntity();

    // One event of the document's content; `characters` of text or attribute values that it
    // brings. Text inside an external entity is input as much as content.
    void addContent(std::size_t characters);

    void openElement();
    void closeElement();

    // Ends the parse for `reason`.
    [[noreturn]] void refuse(const std::string& reason);

    // Records `reason` for a parser error that the parser itself is about to report.
    void record(const std::string& reason);

private:
    void checkAmplification();

    OperationGuard& m_operation;
    const XMLCh* m_systemId;
    const xercesc::Locator* m_locator = nullptr;
    std::uint64_t m_inputBytes = 0;
    std::uint64_t m_contentCharacters = 0;
    std::uint64_t m_externalCharacters = 0;
    std::size_t m_depth = 0;
    std::size_t m_expansions = 0;
    std::vector<bool> m_entities; // innermost last: whether each open reference is external
};

} // namespace prsm::detail
