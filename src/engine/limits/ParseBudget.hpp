// What one parse may still consume: element nesting, entity amplification, the operation's bounds.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xercesc/sax/Locator.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
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

    // Keeps the place of the including document while a document it includes is parsed under
    // the same budget, and puts it back however that parse ends: the parser's place, the element
    // nesting (which goes on counting inside the included document) and the open entities.
    class Inclusion
    {
    public:
        explicit Inclusion(ParseBudget& budget);
        Inclusion(const Inclusion&) = delete;
        Inclusion& operator=(const Inclusion&) = delete;
        ~Inclusion();

    private:
        ParseBudget& m_budget;
        const xercesc::Locator* m_locator;
        std::size_t m_depth;
        std::size_t m_entities;
    };

    // The parser's place, told at the start of the document; valid for the whole parse.
    void setLocator(const xercesc::Locator* locator) { m_locator = locator; }
    const xercesc::Locator* locator() const { return m_locator; }

    // Bytes of the document read from its input.
    void addInput(std::size_t bytes) { m_inputBytes += bytes; }
    std::uint64_t inputBytes() const { return m_inputBytes; }

    // Entity references open and close in content, nested. `entity` names the declaration: an
    // external entity is input only the first time it is read, so that referring to a large one
    // over and over amplifies as an internal one does.
    void enterEntity(const void* entity, bool isExternal);
    void leaveEntity();

    // One event of the document's content; `characters` of text or attribute values that it
    // brings. Text inside an external entity is input as much as content.
    void addContent(std::size_t characters);
    std::uint64_t contentCharacters() const { return m_contentCharacters; }

    // Ends the parse when `characters` more of content would pass the amplification bound;
    // `cause` names what would bring them.
    void reserveContent(std::uint64_t characters, const std::string& cause);

    // The parser is about to take a block of `bytes` to grow a value into. It grows its buffers
    // by doubling, so the value it builds holds a quarter of that in characters at least.
    void claimBlock(std::size_t bytes);

    // An element with `attributes` attributes (namespace declarations included) opens.
    void openElement(std::size_t attributes);
    void closeElement();

    // Ends the parse for `reason`.
    [[noreturn]] void refuse(const std::string& reason);

    // Records `reason` for a parser error that the parser itself is about to report.
    void record(const std::string& reason);

private:
    void checkAmplification(std::uint64_t pendingCharacters = 0);

    OperationGuard& m_operation;
    const XMLCh* m_systemId;
    const xercesc::Locator* m_locator = nullptr;
    std::uint64_t m_inputBytes = 0;
    std::uint64_t m_contentCharacters = 0;
    std::uint64_t m_externalCharacters = 0;
    std::size_t m_depth = 0;
    std::size_t m_expansions = 0;
    std::vector<bool> m_entities; // innermost last: whether each open reference is new input
    std::unordered_set<const void*> m_externalEntitiesRead;
};

} // namespace prsm::detail
