// The parser front that every document of the library goes through.
#include "engine/parse/ParserLiaison.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "engine/limits/ParseBudget.hpp"
#include "engine/limits/ResourcePolicy.hpp"
#include "engine/parse/CountingInputSource.hpp"
#include "engine/parse/GuardedHandlers.hpp"
#include "engine/parse/GuardedParser.hpp"
#include "engine/parse/IdleReader.hpp"
#include "engine/parse/QuietErrorHandler.hpp"
#include "engine/parse/SourceReader.hpp"
#include "engine/parse/StylesheetFilter.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <optional>
#include <utility>

namespace prsm::detail
{
namespace
{

// Lets the parser open an external DTD or entity only when the access policy allows it; the
// parser then opens it as it would without a resolver. Resolutions that the engine asks for
// itself (no locator) are left to the parse that follows, which checks the full URL.
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
        const std::string refusal = resourceRefusal(m_budget.operation().limits(), utf8Of(systemId),
                                                    utf8Of(resource->getBaseURI()));
        if (!refusal.empty())
            m_budget.refuse(refusal);
        return nullptr;
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

// Everything one parse needs besides its parser, in the order they must be made.
class ParseSetting
{
public:
    ParseSetting(OperationGuard* guard, const xercesc::InputSource& input, bool isHostInput)
        : m_guard(guard != nullptr ? guard : &m_default.emplace(PRSMXslLimits())),
          m_budget(*m_guard, input.getSystemId()), m_resolver(m_budget), m_input(input, m_budget)
    {
        if (const std::size_t limit = m_guard->limits().maxEntityExpansions)
            m_security.setEntityExpansionLimit(static_cast<XMLSize_t>(limit) + 1);
        const XMLCh* systemId = input.getSystemId();
        if (isHostInput || !isReadByName(input) || systemId == nullptr)
            return;
        const std::string refusal = resourceRefusal(m_guard->limits(), utf8Of(systemId), "");
        if (!refusal.empty())
            m_budget.refuse(refusal);
    }

    ParseBudget& budget() { return m_budget; }
    PolicyResolver& resolver() { return m_resolver; }
    const xercesc::InputSource& input() const { return m_input; }

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
    CountingInputSource m_input;
    xercesc::SecurityManager m_security;
};

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
    ParseSetting setting(m_guard, inputSource, &inputSource == m_hostInput);
    GuardedContentHandler handler(setting.budget(), contentHandler, lexicalHandler);

    std::unique_ptr<SourceReader> reader = m_idleReader != nullptr ? m_idleReader->take() : nullptr;
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
    if (m_idleReader != nullptr)
        m_idleReader->give(std::move(reader));
}

void ParserLiaison::parseXMLStream(const xercesc::InputSource& inputSource,
                                   xercesc::DocumentHandler& handler, const xalanc::XalanDOMString&)
{
    // Recorded before the parse, so that a stylesheet is never kept without a module it read.
    const XMLCh* const systemId = inputSource.getSystemId();
    if (m_modules != nullptr && &inputSource != m_hostInput && systemId != nullptr)
        m_modules->push_back(utf8Of(systemId));
    ParseSetting setting(m_guard, inputSource, &inputSource == m_hostInput);
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
