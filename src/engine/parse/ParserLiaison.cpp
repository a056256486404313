// The parser front that every document of the library goes through.
#include "engine/parse/ParserLiaison.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "engine/limits/ParseBudget.hpp"
#include "engine/limits/ResourcePolicy.hpp"
#include "engine/parse/BudgetedMemory.hpp"
#include "engine/parse/Catalogs.hpp"
#include "engine/parse/CountingInputSource.hpp"
#include "engine/parse/GuardedHandlers.hpp"
#include "engine/parse/GuardedParser.hpp"
#include "engine/parse/ModuleRecording.hpp"
#include "engine/parse/NullNamespaceAlias.hpp"
#include "engine/parse/QuietErrorHandler.hpp"
#include "engine/parse/ReaderPool.hpp"
#include "engine/parse/ResourceResolver.hpp"
#include "engine/parse/SourceReader.hpp"
#include "engine/parse/StylesheetFilter.hpp"
#include "engine/parse/XIncludeFilter.hpp"
#include "engine/parse/XIncludeSession.hpp"
#include "engine/stylesheets/ModulePrefetch.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeContentHandler.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/URLInputSource.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/LexicalHandler.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace prsm::detail
{
namespace
{

// What the parser reads for a resource that a catalog mapped to `location`.
std::unique_ptr<xercesc::InputSource> inputSourceFor(const std::string& location)
{
    const std::string path = localFilePath(location);
    if (!path.empty())
        return std::make_unique<xercesc::LocalFileInputSource>(toEngine(path.c_str()).c_str());
    return std::make_unique<xercesc::URLInputSource>(toEngine(location.c_str()).c_str());
}

// Lets the parser open an external DTD or entity only when the access policy allows what the
// catalogs resolve it to; the parser then opens the catalog's answer, or the resource as it
// would without a resolver. Resolutions that the engine asks for itself (no locator) are left
// to the parse that follows, which resolves the full URL.
class PolicyResolver final : public xercesc::XMLEntityResolver
{
public:
    explicit PolicyResolver(ParseBudget& budget) : m_budget(budget) {}

    xercesc::InputSource* resolveEntity(xercesc::XMLResourceIdentifier* resource) override
    {
        if (resource == nullptr || resource->getLocator() == nullptr)
            return nullptr;
        const XMLCh* systemId = resource->getSystemId();
        if (systemId == nullptr || *systemId == 0)
            return nullptr;
        const ResolvedResource resolved =
            resolveResource(m_budget.operation(), utf8Of(resource->getPublicId()), utf8Of(systemId),
                            utf8Of(resource->getBaseURI()));
        if (!resolved.refusal.empty())
            m_budget.refuse(resolved.refusal);
        if (!resolved.isMapped)
            return nullptr;
        return inputSourceFor(resolved.location).release(); // the parser owns it from here
    }

private:
    ParseBudget& m_budget;
};

// Hands the lexical events of a parse on, noting whether the document has a document type
// declaration: such a document may read other files (its DTD, its entities).
class DoctypeWatch final : public xercesc::LexicalHandler
{
public:
    explicit DoctypeWatch(xercesc::LexicalHandler& handler) : m_handler(handler) {}

    bool hasSeenDoctype() const { return m_hasSeenDoctype; }

    void comment(const XMLCh* const chars, const XMLSize_t length) override
    {
        m_handler.comment(chars, length);
    }
    void endCDATA() override { m_handler.endCDATA(); }
    void endDTD() override { m_handler.endDTD(); }
    void endEntity(const XMLCh* const name) override { m_handler.endEntity(name); }
    void startCDATA() override { m_handler.startCDATA(); }
    void startDTD(const XMLCh* const name, const XMLCh* const publicId,
                  const XMLCh* const systemId) override
    {
        m_hasSeenDoctype = true;
        m_handler.startDTD(name, publicId, systemId);
    }
    void startEntity(const XMLCh* const name) override { m_handler.startEntity(name); }

private:
    xercesc::LexicalHandler& m_handler;
    bool m_hasSeenDoctype = false;
};

// Whether the parser would open `input` by its system id rather than read what it holds.
bool isReadByName(const xercesc::InputSource& input)
{
    const auto* source = dynamic_cast<const xalanc::XSLTInputSource*>(&input);
    return source == nullptr || (source->getStream() == nullptr && source->getNode() == nullptr);
}

// Where a stylesheet parse reports problems.
xercesc::ErrorHandler& errorHandlerOf(const xalanc::XalanSourceTreeParserLiaison& liaison)
{
    return liaison.getErrorHandler() != nullptr ? *liaison.getErrorHandler() : quietErrorHandler();
}

// Who a parse reads for: the host, which named the input itself; the engine, for a stylesheet
// that another includes or imports; or a document() call, which recovers from a document it may
// not read.
enum class Origin
{
    Host,
    Stylesheet,
    Document
};

// Everything one parse needs besides its parser, in the order they must be made.
class ParseSetting
{
public:
    ParseSetting(OperationGuard* guard, const xercesc::InputSource& input, Origin origin)
        : m_guard(guard != nullptr ? guard : &m_default.emplace(PRSMXslLimits())),
          m_budget(*m_guard, input.getSystemId()), m_resolver(m_budget)
    {
        if (const std::size_t limit = m_guard->limits().maxEntityExpansions)
            m_security.setEntityExpansionLimit(static_cast<XMLSize_t>(limit) + 1);
        const XMLCh* systemId = input.getSystemId();
        if (origin == Origin::Host && isReadByName(input) && systemId != nullptr)
        {
            // A host may name a stylesheet by the web address that a catalog maps, as users of
            // xsltproc name DocBook's; what the host names is never refused, only mapped.
            const std::string name = utf8Of(systemId);
            if (localFilePath(name).empty())
            {
                const ResolvedResource resolved = resolveResource(*m_guard, "", name, "");
                if (resolved.isMapped && resolved.refusal.empty())
                    m_mapped = inputSourceFor(resolved.location);
            }
        }
        else if (isReadByName(input) && systemId != nullptr)
        {
            const ResolvedResource resolved = resolveResource(*m_guard, "", utf8Of(systemId), "");
            if (!resolved.refusal.empty() && origin == Origin::Stylesheet)
                m_budget.refuse(resolved.refusal);
            m_refusal = resolved.refusal;
            if (resolved.isMapped)
                m_mapped = inputSourceFor(resolved.location);
        }
        m_input.emplace(m_mapped ? *m_mapped : input, m_budget);
    }

    const PRSMXslLimits& limits() const { return m_guard->limits(); }
    ParseBudget& budget() { return m_budget; }
    PolicyResolver& resolver() { return m_resolver; }
    const xercesc::InputSource& input() const { return *m_input; }

    // Why the document itself may not be read; empty when it may.
    const std::string& refusal() const { return m_refusal; }

    // The parser's own entity-expansion counter, or null when expansions are not bounded.
    xercesc::SecurityManager* security()
    {
        return m_guard->limits().maxEntityExpansions > 0 ? &m_security : nullptr;
    }

private:
    std::optional<OperationGuard> m_default;
    OperationGuard* m_guard;
    ParseBudget m_budget;
    PolicyResolver m_resolver;
    std::string m_refusal;
    std::unique_ptr<xercesc::InputSource> m_mapped;
    std::optional<CountingInputSource> m_input;
    xercesc::SecurityManager m_security;
};

// Reads `input` with `reader` configured for the parse of `setting`, as the engine configures
// its own reader; events go to `handler`.
void read(ParserLiaison& liaison, SourceReader& reader, ParseSetting& setting,
          const xercesc::InputSource& input, GuardedContentHandler& handler,
          xercesc::DTDHandler* dtdHandler)
{
    reader.setValidation(liaison.getUseValidation());
    reader.setBudget(&setting.budget());
    reader.setErrorHandler(&errorHandlerOf(liaison));
    reader.setXMLEntityResolver(&setting.resolver());
    reader.setProperty(xercesc::XMLUni::fgXercesSecurityManager, setting.security());
    reader.setContentHandler(&handler);
    reader.setDTDHandler(dtdHandler);
    reader.setLexicalHandler(&handler);
    reader.parse(input);
}

// The parses of the documents that one document includes: each under the budget, the resolver
// and the security manager of the parse that includes it, with a reader of its own (the reader
// of the including document is busy), kept for the next inclusion once it has finished.
class IncludedParses final : public IncludeParser
{
public:
    IncludedParses(ParserLiaison& liaison, ParseSetting& setting)
        : m_liaison(liaison), m_setting(setting)
    {
    }

    void parseIncluded(const xercesc::InputSource& input, bool countsInput,
                       xercesc::ContentHandler& content, xercesc::LexicalHandler& lexical) override
    {
        ParseBudget& budget = m_setting.budget();
        GuardedContentHandler handler(budget, content, &lexical);
        std::unique_ptr<SourceReader> reader;
        if (!m_idle.empty())
        {
            reader = std::move(m_idle.back());
            m_idle.pop_back();
        }
        else
        {
            reader = std::make_unique<SourceReader>(m_liaison.getMemoryManager(), nullptr);
        }
        const std::uint64_t before = budget.inputBytes();
        if (countsInput)
            read(m_liaison, *reader, m_setting, CountingInputSource(input, budget), handler,
                 nullptr);
        else
            read(m_liaison, *reader, m_setting, input, handler, nullptr);
        reader->release(budget.inputBytes() - before);
        if (reader->mayServeAgain())
            m_idle.push_back(std::move(reader));
    }

private:
    ParserLiaison& m_liaison;
    ParseSetting& m_setting;
    std::vector<std::unique_ptr<SourceReader>> m_idle;
};

// Ends a document() parse of a resource that may not be read as the parser ends one of a
// resource it cannot read: through the error handler, which the engine's document() turns into
// a warning and an empty node-set. The operation is not failed.
[[noreturn]] void refuseDocument(const std::string& reason, const xercesc::InputSource& input,
                                 xercesc::ErrorHandler* handler)
{
    const xercesc::SAXParseException problem(toEngine(reason.c_str()).c_str(), input.getPublicId(),
                                             input.getSystemId(), 0, 0);
    if (handler != nullptr)
        handler->fatalError(problem);
    throw problem;
}

} // namespace

ParserLiaison::ParserLiaison(xalanc::MemoryManager& manager)
    : xalanc::XalanSourceTreeParserLiaison(manager), m_stylesheetMemory(manager)
{
    setErrorHandler(&quietErrorHandler());
}

void ParserLiaison::endOperation()
{
    m_guard = nullptr;
    m_warnings = nullptr;
    m_hostInput = nullptr;
    m_modules = nullptr;
    setErrorHandler(&quietErrorHandler());
    reset();
    m_shared.clear();
}

xalanc::XalanDocument* ParserLiaison::parseXMLStream(const xercesc::InputSource& inputSource,
                                                     const xalanc::XalanDOMString& identifier)
{
    const std::optional<DocumentKey> key = sharedKey(inputSource);
    if (!key)
        return xalanc::XalanSourceTreeParserLiaison::parseXMLStream(inputSource, identifier);
    if (SharedDocument kept = SharedDocuments::instance().find(*key))
    {
        m_shared.push_back(kept);
        return const_cast<xalanc::XalanSourceTreeDocument*>(kept.get());
    }
    xalanc::MemoryManager& manager = getMemoryManager();
    std::shared_ptr<xalanc::XalanSourceTreeDocument> document(
        xalanc::XalanSourceTreeDocument::create(manager, getPoolAllText()),
        [&manager](xalanc::XalanSourceTreeDocument* gone) { xalanc::XalanDestroy(manager, gone); });
    xalanc::XalanSourceTreeContentHandler handler(manager, document.get());
    DoctypeWatch lexical(handler);
    parseXMLStream(inputSource, handler, identifier, &handler, &lexical);
    if (!lexical.hasSeenDoctype())
        SharedDocuments::instance().insert(*key, document);
    m_shared.push_back(document);
    return document.get();
}

std::optional<DocumentKey> ParserLiaison::sharedKey(const xercesc::InputSource& inputSource)
{
    // The host's own document is its to keep; the default limits belong to no operation.
    if (&inputSource == m_hostInput || m_guard == nullptr || !isReadByName(inputSource) ||
        inputSource.getSystemId() == nullptr || m_guard->limits().processXInclude ||
        m_guard->limits().reportCatalogResolutions)
        return std::nullopt;
    const std::string name = utf8Of(inputSource.getSystemId());
    const std::optional<std::string> path = localPathOf(name);
    if (!path)
        return std::nullopt;
    // A name that a catalog maps is read from elsewhere; one the policy refuses fails as before.
    const ResolvedResource resolved = resolveResource(*m_guard, "", name, "");
    if (resolved.isMapped || !resolved.refusal.empty())
        return std::nullopt;
    return DocumentKey::of(*path, m_guard->limits(), getUseValidation());
}

void ParserLiaison::parseXMLStream(const xercesc::InputSource& inputSource,
                                   xercesc::ContentHandler& contentHandler,
                                   const xalanc::XalanDOMString&, xercesc::DTDHandler* dtdHandler,
                                   xercesc::LexicalHandler* lexicalHandler)
{
    ParseSetting setting(m_guard, inputSource,
                         &inputSource == m_hostInput ? Origin::Host : Origin::Document);
    if (!setting.refusal().empty())
        refuseDocument(setting.refusal(), inputSource, getErrorHandler());
    std::optional<IncludedParses> included;
    std::optional<XIncludeSession> session;
    std::optional<XIncludeFilter> filter;
    if (setting.limits().processXInclude)
    {
        std::string url = utf8Of(inputSource.getSystemId());
        included.emplace(*this, setting);
        session.emplace(setting.budget(), *included, url);
        filter.emplace(*session, std::move(url), contentHandler, lexicalHandler);
    }
    GuardedContentHandler handler(setting.budget(), filter ? *filter : contentHandler,
                                  filter ? &*filter : lexicalHandler);

    std::unique_ptr<SourceReader> reader = m_readers != nullptr ? m_readers->take() : nullptr;
    if (!reader || &reader->memoryManager() != &getMemoryManager())
        reader = std::make_unique<SourceReader>(
            getMemoryManager(),
            m_readers != nullptr ? m_readers->grammars(getMemoryManager()) : nullptr);
    // A reader that threw goes with the exception; only one that finished serves again.
    read(*this, *reader, setting, setting.input(), handler, dtdHandler);
    reader->release(setting.budget().inputBytes());
    if (m_readers != nullptr)
        m_readers->give(std::move(reader));
}

void ParserLiaison::parseXMLStream(const xercesc::InputSource& inputSource,
                                   xercesc::DocumentHandler& handler, const xalanc::XalanDOMString&)
{
    ParseSetting setting(m_guard, inputSource,
                         &inputSource == m_hostInput ? Origin::Host : Origin::Stylesheet);
    // Recorded before the parse, so that a stylesheet is never kept without a module it read;
    // a module that a catalog maps is watched where it was read from.
    const XMLCh* const systemId = setting.input().getSystemId();
    if (m_modules != nullptr && &inputSource != m_hostInput && systemId != nullptr)
        m_modules->push_back(utf8Of(systemId));
    // What this module adds to the exclusions that xsltproc carries on goes with it.
    struct ExclusionsScope
    {
        StylesheetFilter::Exclusions& exclusions;
        std::size_t depth;
        ~ExclusionsScope() { exclusions.styles.resize(depth); }
    } exclusionsScope{m_exclusions, m_exclusions.styles.size()};
    StylesheetFilter filter(handler, m_warnings, m_exclusions, getMemoryManager());
    NullNamespaceAlias aliases(filter, getMemoryManager());
    // Most modules hold no namespace alias: read from their bytes, they skip the filter that
    // holds every event of a module to its end (a twentieth of DocBook's compilation).
    // A module that another thread parsed ahead (ModulePrefetch) is replayed instead.
    std::optional<std::string> bytes;
    std::optional<xercesc::MemBufInputSource> buffered;
    std::optional<CountingInputSource> counted;
    const std::optional<ModuleFile> file =
        setting.refusal().empty() && isReadByName(inputSource) && systemId != nullptr
            ? ModuleFile::named(utf8Of(systemId))
            : std::nullopt;
    ModulePrefetch* const prefetch = file ? ModulePrefetch::current() : nullptr;
    if (const auto recording = prefetch != nullptr ? prefetch->take(file->version) : nullptr)
    {
        setting.budget().addInput(file->version.size);
        GuardedDocumentHandler guarded(setting.budget(), filter);
        recording->replay(guarded, errorHandlerOf(*this), systemId, setting.input().getPublicId());
        return;
    }
    if (file)
        bytes = file->unfilteredBytes();
    if (bytes)
    {
        const xercesc::InputSource& input = setting.input();
        buffered.emplace(reinterpret_cast<const XMLByte*>(bytes->data()), bytes->size(),
                         input.getSystemId(), false, &getMemoryManager());
        buffered->setPublicId(input.getPublicId());
        buffered->setEncoding(input.getEncoding());
        counted.emplace(*buffered, setting.budget());
    }
    GuardedDocumentHandler guarded(setting.budget(),
                                   counted ? static_cast<xercesc::DocumentHandler&>(filter)
                                           : static_cast<xercesc::DocumentHandler&>(aliases));

    // Configured as the engine configures the parser it reads stylesheets with.
    // Parses of included and imported stylesheets run inside the parse that names them.
    struct BudgetScope
    {
        BudgetedMemory& memory;
        ParseBudget* outer;
        ~BudgetScope() { memory.setBudget(outer); }
    } scope{m_stylesheetMemory, m_stylesheetMemory.budget()};
    m_stylesheetMemory.setBudget(&setting.budget());
    GuardedParser<xercesc::SAXParser> parser(nullptr, &m_stylesheetMemory);
    parser.setBudget(&setting.budget());
    parser.setValidationScheme(xercesc::SAXParser::Val_Never);
    parser.setDoNamespaces(false);
    parser.setExitOnFirstFatalError(getExitOnFirstFatalError());
    parser.setErrorHandler(&errorHandlerOf(*this));
    parser.setXMLEntityResolver(&setting.resolver());
    parser.setSecurityManager(setting.security());
    parser.setDocumentHandler(&guarded);
    // The parser tells a document type declaration only to a parser with a DTD handler: without
    // one a stylesheet's DTD would escape the DTD rule.
    xercesc::HandlerBase noDtdEvents;
    parser.setDTDHandler(&noDtdEvents);
    parser.parse(counted ? static_cast<const xercesc::InputSource&>(*counted) : setting.input());
}

DocumentSupport::DocumentSupport(const xalanc::XalanSourceTreeParserLiaison& liaison)
    : xalanc::XalanSourceTreeDOMSupport(liaison)
{
}

const xalanc::XalanDOMString&
DocumentSupport::getUnparsedEntityURI(const xalanc::XalanDOMString& name,
                                      const xalanc::XalanDocument& document) const
{
    if (const auto* tree = dynamic_cast<const xalanc::XalanSourceTreeDocument*>(&document))
        return tree->getUnparsedEntityURI(name);
    return xalanc::XalanSourceTreeDOMSupport::getUnparsedEntityURI(name, document);
}

} // namespace prsm::detail
