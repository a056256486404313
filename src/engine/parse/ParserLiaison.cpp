// The parser front that every document of the library goes through.
#include "engine/parse/ParserLiaison.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "engine/limits/ParseBudget.hpp"
#include "engine/parse/Catalogs.hpp"
#include "engine/parse/CountingInputSource.hpp"
#include "engine/parse/GuardedHandlers.hpp"
#include "engine/parse/GuardedParser.hpp"
#include "engine/parse/QuietErrorHandler.hpp"
#include "engine/parse/ReaderPool.hpp"
#include "engine/parse/ResourceResolver.hpp"
#include "engine/parse/SourceReader.hpp"
#include "engine/parse/StylesheetFilter.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/framework/URLInputSource.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <memory>
#include <optional>
#include <utility>

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

// Whether the parser would open `input` by its system id rather than read what it holds.
bool isReadByName(const xercesc::InputSource& input)
{
    const auto* source = dynamic_cast<const xalanc::XSLTInputSource*>(&input);
    return source == nullptr || (source->getStream() == nullptr && source->getNode() == nullptr);
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
    : xalanc::XalanSourceTreeParserLiaison(manager)
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
    GuardedContentHandler handler(setting.budget(), contentHandler, lexicalHandler);

    std::unique_ptr<SourceReader> reader = m_readers != nullptr ? m_readers->take() : nullptr;
    if (!reader || &reader->memoryManager() != &getMemoryManager())
        reader = std::make_unique<SourceReader>(getMemoryManager());
    reader->setValidation(getUseValidation());
    reader->setBudget(&setting.budget());
    reader->setErrorHandler(getErrorHandler() != nullptr ? getErrorHandler()
                                                         : &quietErrorHandler());
    reader->setXMLEntityResolver(&setting.resolver());
    reader->setProperty(xercesc::XMLUni::fgXercesSecurityManager, setting.security());
    reader->setContentHandler(&handler);
    reader->setDTDHandler(dtdHandler);
    reader->setLexicalHandler(&handler);
    // A reader that threw goes with the exception; only one that finished serves again.
    reader->parse(setting.input());
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
    StylesheetFilter filter(handler, m_warnings, getMemoryManager());
    GuardedDocumentHandler guarded(setting.budget(), filter);

    // Configured as the engine configures the parser it reads stylesheets with.
    GuardedParser<xercesc::SAXParser> parser(nullptr, &getMemoryManager());
    parser.setBudget(&setting.budget());
    parser.setValidationScheme(xercesc::SAXParser::Val_Never);
    parser.setDoNamespaces(false);
    parser.setExitOnFirstFatalError(getExitOnFirstFatalError());
    parser.setErrorHandler(getErrorHandler() != nullptr ? getErrorHandler() : &quietErrorHandler());
    parser.setXMLEntityResolver(&setting.resolver());
    parser.setSecurityManager(setting.security());
    parser.setDocumentHandler(&guarded);
    parser.parse(setting.input());
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
