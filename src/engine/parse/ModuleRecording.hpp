// A stylesheet module parsed ahead, on another thread, and handed to the compilation as the
// events the parser would have given it.
#pragma once

#include <xercesc/sax/DocumentHandler.hpp>
#include <xercesc/sax/ErrorHandler.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace prsm::detail
{

class ModuleRecording
{
public:
    // The events of parsing `bytes` (a module without a document type declaration) as the
    // compilation parses stylesheets: no validation, no namespace processing. None when the parse
    // reports anything at all, so that the compilation parses such a module itself and reports
    // exactly what it always did.
    static std::shared_ptr<const ModuleRecording> of(const std::string& bytes,
                                                     const std::string& systemId);

    // Hands `handler` the recorded events, with a locator that gives `systemId` and `publicId`
    // and the line and column the parser was at for each event. An exception of the parser's
    // kind out of the handler goes to `errors` and ends the replay, as the parser reports it;
    // the handler's other exceptions go through.
    void replay(xercesc::DocumentHandler& handler, xercesc::ErrorHandler& errors,
                const XMLCh* systemId, const XMLCh* publicId) const;

    // The href of each xsl:include and xsl:import of the module, in order.
    const std::vector<std::string>& moduleReferences() const { return m_references; }

private:
    class Recorder;
    enum class Kind : std::uint8_t
    {
        Reset,
        Locator,
        StartDocument,
        EndDocument,
        Start,
        End,
        Characters,
        Whitespace,
        Instruction
    };
    // Texts are offsets into m_texts, each followed by a NUL.
    struct Event
    {
        Kind kind;
        std::uint32_t line;
        std::uint32_t column;
        std::uint32_t text;   // element name, characters, target
        std::uint32_t length; // of the characters
        std::uint32_t data;   // instruction data
        std::uint32_t firstAttribute;
        std::uint32_t attributes;
    };
    struct Attribute
    {
        std::uint32_t name;
        std::uint32_t type;
        std::uint32_t value;
    };
    class Attributes;
    class Position;

    std::u16string m_texts;
    std::vector<Event> m_events;
    std::vector<Attribute> m_attributes;
    std::vector<std::string> m_references;
};

} // namespace prsm::detail
