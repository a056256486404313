// A stylesheet module parsed ahead, replayed to the compilation as the parser's events.
#include "engine/parse/ModuleRecording.hpp"

#include "engine/parse/PrefixScopes.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/sax/AttributeList.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>

#include <cstring>
#include <string_view>
#include <sys/mman.h>

namespace prsm::detail
{

using namespace std::string_view_literals;

namespace
{

std::uint32_t position(XMLFileLoc location)
{
    return static_cast<std::uint32_t>(location);
}

} // namespace

// What a Maker keeps from one module to the next: the parser, and the buffers a recording grows
// in before it moves to its own block.
struct ModuleRecording::Maker::State
{
    State() : parser(nullptr, &engineMemory())
    {
        parser.setValidationScheme(xercesc::SAXParser::Val_Never);
        parser.setDoNamespaces(false);
        parser.setDTDHandler(&noDtdEvents);
    }

    xercesc::SAXParser parser;
    xercesc::HandlerBase noDtdEvents;
    std::vector<Event> events;
    std::vector<Attribute> attributes;
    std::u16string texts;
};

// Takes the events of a parse down, and the include and import references among them.
class ModuleRecording::Recorder final : public xercesc::DocumentHandler,
                                        public xercesc::ErrorHandler
{
public:
    Recorder(Maker::State& state, std::vector<std::string>& references)
        : m_state(state), m_references(references)
    {
        m_state.events.clear();
        m_state.attributes.clear();
        m_state.texts.clear();
    }

    bool hasProblems() const { return m_hasProblems; }

    void resetDocument() override { add(Kind::Reset); }
    void setDocumentLocator(const xercesc::Locator* const locator) override
    {
        m_locator = locator;
        add(Kind::Locator);
    }
    void startDocument() override { add(Kind::StartDocument); }
    void endDocument() override { add(Kind::EndDocument); }
    void startElement(const XMLCh* const name, xercesc::AttributeList& attrs) override
    {
        Event& event = add(Kind::Start);
        event.text = text(viewOf(name));
        event.firstAttribute = static_cast<std::uint32_t>(m_state.attributes.size());
        event.attributes = static_cast<std::uint32_t>(attrs.getLength());
        m_prefixes.open();
        for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
        {
            const std::u16string_view attribute = viewOf(attrs.getName(i));
            const std::u16string_view value = viewOf(attrs.getValue(i));
            m_state.attributes.push_back(
                Attribute{text(attribute), text(viewOf(attrs.getType(i))), text(value)});
            m_prefixes.declare(attribute, value);
        }
        if (m_prefixes.depth() == 2)
            noteReference(viewOf(name), attrs);
    }
    void endElement(const XMLCh* const name) override
    {
        add(Kind::End).text = text(viewOf(name));
        m_prefixes.close();
    }
    void characters(const XMLCh* const chars, const XMLSize_t length) override
    {
        Event& event = add(Kind::Characters);
        event.text = text(std::u16string_view(chars, length));
        event.length = static_cast<std::uint32_t>(length);
    }
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length) override
    {
        Event& event = add(Kind::Whitespace);
        event.text = text(std::u16string_view(chars, length));
        event.length = static_cast<std::uint32_t>(length);
    }
    void processingInstruction(const XMLCh* const target, const XMLCh* const data) override
    {
        Event& event = add(Kind::Instruction);
        event.text = text(viewOf(target));
        event.data = text(viewOf(data));
    }

    void warning(const xercesc::SAXParseException&) override { m_hasProblems = true; }
    void error(const xercesc::SAXParseException&) override { m_hasProblems = true; }
    void fatalError(const xercesc::SAXParseException& problem) override
    {
        m_hasProblems = true;
        throw problem;
    }
    void resetErrors() override {}

private:
    Event& add(Kind kind)
    {
        Event event{};
        event.kind = kind;
        if (m_locator != nullptr)
        {
            event.line = position(m_locator->getLineNumber());
            event.column = position(m_locator->getColumnNumber());
        }
        m_state.events.push_back(event);
        return m_state.events.back();
    }

    std::uint32_t text(std::u16string_view value)
    {
        const auto offset = static_cast<std::uint32_t>(m_state.texts.size());
        m_state.texts.append(value);
        m_state.texts.push_back(u'\0');
        return offset;
    }

    // A top-level xsl:include or xsl:import names a module the compilation reads next.
    void noteReference(std::u16string_view name, xercesc::AttributeList& attrs)
    {
        const auto [prefix, local] = splitQualifiedName(name);
        const std::u16string* uri = m_prefixes.namespaceOf(prefix);
        if (!isXsltNamespace(uri) || (local != u"include"sv && local != u"import"sv))
            return;
        if (const XMLCh* href = attrs.getValue(u"href"))
            m_references.push_back(utf8Of(href));
    }

    Maker::State& m_state;
    std::vector<std::string>& m_references;
    const xercesc::Locator* m_locator = nullptr;
    PrefixScopes m_prefixes;
    bool m_hasProblems = false;
};

// The attributes of one recorded element.
class ModuleRecording::Attributes final : public xercesc::AttributeList
{
public:
    Attributes(const ModuleRecording& recording, const Event& event)
        : m_texts(recording.m_texts), m_first(recording.m_attributes + event.firstAttribute),
          m_count(event.attributes)
    {
    }

    XMLSize_t getLength() const override { return m_count; }
    const XMLCh* getName(const XMLSize_t index) const override
    {
        return index < m_count ? m_texts + m_first[index].name : nullptr;
    }
    const XMLCh* getType(const XMLSize_t index) const override
    {
        return index < m_count ? m_texts + m_first[index].type : nullptr;
    }
    const XMLCh* getValue(const XMLSize_t index) const override
    {
        return index < m_count ? m_texts + m_first[index].value : nullptr;
    }
    const XMLCh* getType(const XMLCh* const name) const override
    {
        const Attribute* found = find(viewOf(name));
        return found != nullptr ? m_texts + found->type : nullptr;
    }
    const XMLCh* getValue(const XMLCh* const name) const override
    {
        const Attribute* found = find(viewOf(name));
        return found != nullptr ? m_texts + found->value : nullptr;
    }
    const XMLCh* getValue(const char* const name) const override
    {
        if (name == nullptr)
            return nullptr;
        const std::u16string wide(name, name + std::char_traits<char>::length(name));
        const Attribute* found = find(wide);
        return found != nullptr ? m_texts + found->value : nullptr;
    }

private:
    const Attribute* find(std::u16string_view name) const
    {
        for (XMLSize_t i = 0; i < m_count; ++i)
            if (viewOf(m_texts + m_first[i].name) == name)
                return &m_first[i];
        return nullptr;
    }

    const XMLCh* m_texts;
    const Attribute* m_first;
    XMLSize_t m_count;
};

// Where the replay is, as the parser's locator said at each event.
class ModuleRecording::Position final : public xercesc::Locator
{
public:
    Position(const XMLCh* systemId, const XMLCh* publicId)
        : m_systemId(systemId), m_publicId(publicId)
    {
    }

    void moveTo(const Event& event)
    {
        m_line = event.line;
        m_column = event.column;
    }

    const XMLCh* getPublicId() const override { return m_publicId; }
    const XMLCh* getSystemId() const override { return m_systemId; }
    XMLFileLoc getLineNumber() const override { return m_line; }
    XMLFileLoc getColumnNumber() const override { return m_column; }

private:
    const XMLCh* m_systemId;
    const XMLCh* m_publicId;
    XMLFileLoc m_line = 0;
    XMLFileLoc m_column = 0;
};

ModuleRecording::Maker::Maker() : m_state(std::make_unique<State>()) {}

ModuleRecording::Maker::~Maker() = default;

std::shared_ptr<const ModuleRecording> ModuleRecording::Maker::record(const std::string& bytes,
                                                                      const std::string& systemId)
{
    std::shared_ptr<ModuleRecording> recording(new ModuleRecording());
    Recorder recorder(*m_state, recording->m_references);
    const xalanc::XalanDOMString identifier = toEngine(systemId.c_str());
    try
    {
        m_state->parser.setErrorHandler(&recorder);
        m_state->parser.setDocumentHandler(&recorder);
        xercesc::MemBufInputSource input(reinterpret_cast<const XMLByte*>(bytes.data()),
                                         bytes.size(), identifier.c_str(), false, &engineMemory());
        m_state->parser.parse(input);
    }
    catch (...)
    {
        return nullptr;
    }
    if (recorder.hasProblems())
        return nullptr;
    const std::size_t events = m_state->events.size() * sizeof(Event);
    const std::size_t attributes = m_state->attributes.size() * sizeof(Attribute);
    const std::size_t texts = m_state->texts.size() * sizeof(char16_t);
    const std::size_t size = events + attributes + texts;
    void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
    auto* bytesOut = static_cast<unsigned char*>(block);
    // An empty vector may hold no buffer at all, which memcpy must not be given.
    const auto copy = [](unsigned char* to, const void* from, std::size_t count)
    {
        if (count != 0)
            std::memcpy(to, from, count);
    };
    copy(bytesOut, m_state->events.data(), events);
    copy(bytesOut + events, m_state->attributes.data(), attributes);
    copy(bytesOut + events + attributes, m_state->texts.data(), texts);
    recording->m_block = block;
    recording->m_size = size;
    recording->m_events = reinterpret_cast<const Event*>(bytesOut);
    recording->m_eventCount = m_state->events.size();
    recording->m_attributes = reinterpret_cast<const Attribute*>(bytesOut + events);
    recording->m_texts = reinterpret_cast<const XMLCh*>(bytesOut + events + attributes);
    return recording;
}

std::shared_ptr<const ModuleRecording> ModuleRecording::of(const std::string& bytes,
                                                           const std::string& systemId)
{
    Maker maker;
    return maker.record(bytes, systemId);
}

ModuleRecording::~ModuleRecording()
{
    if (m_block != nullptr)
        ::munmap(m_block, m_size);
}

void ModuleRecording::replay(xercesc::DocumentHandler& handler, xercesc::ErrorHandler& errors,
                             const XMLCh* systemId, const XMLCh* publicId) const
{
    Position position(systemId, publicId);
    const XMLCh* const texts = m_texts;
    try
    {
        for (std::size_t i = 0; i < m_eventCount; ++i)
        {
            const Event& event = m_events[i];
            position.moveTo(event);
            switch (event.kind)
            {
            case Kind::Reset:
                handler.resetDocument();
                break;
            case Kind::Locator:
                handler.setDocumentLocator(&position);
                break;
            case Kind::StartDocument:
                handler.startDocument();
                break;
            case Kind::EndDocument:
                handler.endDocument();
                break;
            case Kind::Start:
            {
                Attributes attributes(*this, event);
                handler.startElement(texts + event.text, attributes);
                break;
            }
            case Kind::End:
                handler.endElement(texts + event.text);
                break;
            case Kind::Characters:
                handler.characters(texts + event.text, event.length);
                break;
            case Kind::Whitespace:
                handler.ignorableWhitespace(texts + event.text, event.length);
                break;
            case Kind::Instruction:
                handler.processingInstruction(texts + event.text, texts + event.data);
                break;
            }
        }
    }
    catch (const xercesc::OutOfMemoryException&)
    {
        throw;
    }
    catch (const xercesc::XMLException& problem)
    {
        // The parser's scan reports it where it stands, in at most 2,047 characters, and stops.
        const std::u16string text = std::u16string(viewOf(problem.getMessage())).substr(0, 2047);
        const xercesc::SAXParseException report(text.c_str(), publicId, systemId,
                                                position.getLineNumber(),
                                                position.getColumnNumber(), &engineMemory());
        if (problem.getErrorType() == xercesc::XMLErrorReporter::ErrType_Warning)
            errors.warning(report);
        else if (problem.getErrorType() >= xercesc::XMLErrorReporter::ErrType_Fatal)
            errors.fatalError(report);
        else
            errors.error(report);
    }
}

} // namespace prsm::detail
