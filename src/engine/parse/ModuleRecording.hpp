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
    // Records modules one after another with one parser and one set of growing buffers; each
    // recording keeps its events in a block of its own, outside the heap of the thread that made
    // it, so that what a helping thread recorded leaves nothing behind in its heap.
    class Maker
    {
    public:
        Maker();
        ~Maker();
        Maker(const Maker&) = delete;
        Maker& operator=(const Maker&) = delete;

        // The events of parsing `bytes` (a module without a document type declaration) as the
        // compilation parses stylesheets: no validation, no namespace processing. None when the
        // parse reports anything at all, so that the compilation parses such a module itself and
        // reports exactly what it always did.
        std::shared_ptr<const ModuleRecording> record(const std::string& bytes,
                                                      const std::string& systemId);

        struct State; // the parser and the buffers

    private:
        std::unique_ptr<State> m_state;
    };

    // A single recording, as Maker::record makes it.
    static std::shared_ptr<const ModuleRecording> of(const std::string& bytes,
                                                     const std::string& systemId);

    ~ModuleRecording();
    ModuleRecording(const ModuleRecording&) = delete;
    ModuleRecording& operator=(const ModuleRecording&) = delete;

    // Hands `handler` the recorded events, with a locator that gives `systemId` and `publicId`
    // and the line and column the parser was at for each event. An exception of the parser's
    // kind out of the handler goes to `errors` and ends the replay, as the parser reports it;
    // the handler's other exceptions go through.
    void replay(xercesc::DocumentHandler& handler, xercesc::ErrorHandler& errors,
                const XMLCh* systemId, const XMLCh* publicId) const;

    // The bytes the recording holds.
    std::size_t size() const { return m_size; }

    // The href of each xsl:include and xsl:import of the module, in order.
    const std::vector<std::string>& moduleReferences() const { return m_references; }

private:
    ModuleRecording() = default;

    class Recorder;
    class Attributes;
    class Position;

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
    // Texts are offsets into the texts, each followed by a NUL.
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

    // One mapped block: the events, then the attributes, then the texts.
    void* m_block = nullptr;
    std::size_t m_size = 0;
    const Event* m_events = nullptr;
    std::size_t m_eventCount = 0;
    const Attribute* m_attributes = nullptr;
    const XMLCh* m_texts = nullptr;
    std::vector<std::string> m_references;
};

} // namespace prsm::detail
