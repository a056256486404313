// The construction context of a stylesheet that refuses expressions nested too deep to compile.
#include "engine/xslt/GuardedConstructionContext.hpp"

#include "engine/documents/ExsltDocumentElement.hpp"
#include "engine/limits/ExpressionCheck.hpp"
#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/xpath/ExpressionText.hpp"
#include "engine/xpath/LoneRootSpelling.hpp"
#include "engine/xslt/ExpressionCompaction.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XPath/XPathParserException.hpp>
#include <xalanc/XSLT/Stylesheet.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

namespace prsm::detail
{
namespace
{

// Whether one alternative of the pattern is "//" alone. The engine accepts such a pattern and
// then dereferences a null name while adding its template, which ends the process; "a//" and
// the like it refuses itself.
bool hasBareDoubleSlash(const xalanc::XalanDOMChar* text, std::size_t length)
{
    bool isBare = false;
    visitPatternAlternatives(std::u16string_view(text, length),
                             [&](std::u16string_view alternative)
                             {
                                 while (!alternative.empty() && isXmlSpace(alternative.front()))
                                     alternative.remove_prefix(1);
                                 while (!alternative.empty() && isXmlSpace(alternative.back()))
                                     alternative.remove_suffix(1);
                                 isBare = isBare || alternative == u"//";
                             });
    return isBare;
}

// Refuses what the engine would crash on, with the engine's own wording for such a pattern.
void checkPattern(const xercesc::Locator* locator, const xalanc::XalanDOMChar* text,
                  std::size_t length, xalanc::MemoryManager& manager)
{
    if (text != nullptr && hasBareDoubleSlash(text, length))
        throw xalanc::XPathParserException(
            xalanc::XalanDOMString("A node test was expected. pattern = '//'", manager), manager,
            locator);
}

xalanc::XPath* compacted(xalanc::XPath* xpath)
{
    if (xpath != nullptr)
        compactExpression(*xpath);
    return xpath;
}

} // namespace

GuardedConstructionContext::GuardedConstructionContext(xalanc::MemoryManager& manager,
                                                       xalanc::XSLTEngineImpl& processor,
                                                       xalanc::XPathFactory& xpathFactory,
                                                       OperationGuard& guard)
    : xalanc::StylesheetConstructionContextDefault(manager, processor, xpathFactory),
      m_guard(&guard), m_strings(manager, 256, 4093, 8)
{
}

// The engine's own destructor lets go of the elements, which hold pooled strings, after the pool
// here has gone: they go first.
GuardedConstructionContext::~GuardedConstructionContext()
{
    reset();
}

const xalanc::XalanDOMString&
GuardedConstructionContext::getPooledString(const xalanc::XalanDOMString& text)
{
    return getPooledString(text.c_str(), text.length());
}

const xalanc::XalanDOMString&
GuardedConstructionContext::getPooledString(const xalanc::XalanDOMChar* text,
                                            xalanc::XalanDOMString::size_type length)
{
    if (length == xalanc::XalanDOMString::npos)
        length = text != nullptr ? xalanc::XalanDOMString::length(text) : 0;
    // Most strings are the tokens of expressions, the same few again and again: a slot of the
    // front table, chosen by the length and a few characters, remembers the last one there.
    std::size_t slot = length;
    if (length != 0)
    {
        slot = slot * 31 + text[0];
        slot = slot * 31 + text[length / 2];
        slot = slot * 31 + text[length - 1];
    }
    const xalanc::XalanDOMString*& front = m_recentlyPooled[slot % m_recentlyPooled.size()];
    if (front != nullptr && isSameText(viewOf(*front), std::u16string_view(text, length)))
        return *front;
    front = &m_strings.get(text, length);
    return *front;
}

xalanc::ElemTemplateElement* GuardedConstructionContext::createElement(
    xalanc::Stylesheet& stylesheetTree, const xalanc::XalanDOMChar* name,
    const xalanc::AttributeListType& atts, xalanc::ExtensionNSHandler& handler,
    const xercesc::Locator* locator)
{
    const std::u16string qname = name;
    const auto colon = qname.find(u':');
    const std::u16string local = colon == std::u16string::npos ? qname : qname.substr(colon + 1);
    const xalanc::XalanDOMString prefix(
        name, getMemoryManager(),
        static_cast<xalanc::XalanDOMString::size_type>(colon == std::u16string::npos ? 0 : colon));
    const xalanc::XalanDOMString* uri = stylesheetTree.getNamespaceForPrefixFromStack(prefix);
    if (uri == nullptr || !isDocumentElement(uri->c_str(), local.c_str()))
        return StylesheetConstructionContextDefault::createElement(stylesheetTree, name, atts,
                                                                   handler, locator);
    m_documentElements.push_back(
        std::make_unique<ExsltDocumentElement>(*this, stylesheetTree, name, atts, locator));
    return m_documentElements.back().get();
}

xalanc::XPath* GuardedConstructionContext::createMatchPattern(
    const xercesc::Locator* locator, const xalanc::XalanDOMString& str,
    const xalanc::PrefixResolver& resolver, bool allowVariableReferences, bool allowKeyFunction)
{
    check(locator, str.c_str(), str.length());
    checkPattern(locator, str.c_str(), str.length(), getMemoryManager());
    return compacted(StylesheetConstructionContextDefault::createMatchPattern(
        locator, str, resolver, allowVariableReferences, allowKeyFunction));
}

xalanc::XPath* GuardedConstructionContext::createMatchPattern(
    const xercesc::Locator* locator, const xalanc::XalanDOMChar* str,
    const xalanc::PrefixResolver& resolver, bool allowVariableReferences, bool allowKeyFunction)
{
    const std::size_t length = str == nullptr ? 0 : xalanc::XalanDOMString::length(str);
    check(locator, str, length);
    checkPattern(locator, str, length, getMemoryManager());
    return compacted(StylesheetConstructionContextDefault::createMatchPattern(
        locator, str, resolver, allowVariableReferences, allowKeyFunction));
}

const xalanc::XalanMatchPatternData* GuardedConstructionContext::createXalanMatchPatternData(
    const xalanc::ElemTemplate& theTemplate, xalanc::size_type thePosition,
    const xalanc::XalanDOMString& theTargetString, const xalanc::XPath& theMatchPattern,
    const xalanc::XalanDOMString& thePatternString, xalanc::XPath::eMatchScore thePriority)
{
    if (const xalanc::XPath* alternative =
            m_alternatives.patternOf(theTemplate, theMatchPattern, *this))
        return StylesheetConstructionContextDefault::createXalanMatchPatternData(
            theTemplate, thePosition, theTargetString, *alternative,
            alternative->getExpression().getCurrentPattern(), thePriority);
    return StylesheetConstructionContextDefault::createXalanMatchPatternData(
        theTemplate, thePosition, theTargetString, theMatchPattern, thePatternString, thePriority);
}

xalanc::XPath* GuardedConstructionContext::createXPath(const xercesc::Locator* locator,
                                                       const xalanc::XalanDOMString& str,
                                                       const xalanc::PrefixResolver& resolver,
                                                       bool allowVariableReferences,
                                                       bool allowKeyFunction)
{
    // A text compiled before passed the checks and the respelling then.
    const bool isKeyed = ExpressionReuse::keyOf(viewOf(str), allowVariableReferences,
                                                allowKeyFunction, resolver, m_reuseKey);
    if (isKeyed)
        if (xalanc::XPath* copy = m_reuse.copyOf(m_reuseKey, locator))
            return compacted(copy);
    check(locator, str.c_str(), str.length());
    xalanc::XalanDOMString spelled(getMemoryManager());
    const xalanc::XalanDOMString& text =
        respellLoneRoot(str.c_str(), str.length(), spelled) ? spelled : str;
    xalanc::XPath* xpath = compacted(StylesheetConstructionContextDefault::createXPath(
        locator, text, resolver, allowVariableReferences, allowKeyFunction));
    if (isKeyed && xpath != nullptr)
        m_reuse.remember(m_reuseKey, *xpath);
    return xpath;
}

void GuardedConstructionContext::reset()
{
    m_reuse.clear();
    m_alternatives = PatternAlternatives();
    StylesheetConstructionContextDefault::reset();
}

void GuardedConstructionContext::check(const xercesc::Locator* locator,
                                       const xalanc::XalanDOMChar* str, std::size_t length)
{
    if (m_guard == nullptr)
        return;
    const std::string refusal = expressionRefusal(str, length, m_guard->limits());
    if (refusal.empty())
        return;
    m_guard->fail(refusal);
    throw LimitException(refusal, locator);
}

} // namespace prsm::detail
