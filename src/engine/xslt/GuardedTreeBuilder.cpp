// The engine's result-tree-fragment builder, with a step of the operation at each node it adds.
#include "engine/xslt/GuardedTreeBuilder.hpp"

#include "functions/WorkCheck.hpp"

namespace prsm::detail
{

GuardedTreeBuilder::GuardedTreeBuilder(xalanc::FormatterListener& builder, WorkCheck& check)
    : xalanc::FormatterListener(builder.getOutputFormat()), m_builder(builder), m_check(check)
{
    setPrefixResolver(builder.getPrefixResolver());
}

void GuardedTreeBuilder::charactersRaw(const XMLCh* const chars, const size_type length)
{
    m_check.checkWork(nullptr);
    m_builder.charactersRaw(chars, length);
}

void GuardedTreeBuilder::comment(const XMLCh* const data)
{
    m_check.checkWork(nullptr);
    m_builder.comment(data);
}

void GuardedTreeBuilder::cdata(const XMLCh* const ch, const size_type length)
{
    m_check.checkWork(nullptr);
    m_builder.cdata(ch, length);
}

void GuardedTreeBuilder::entityReference(const XMLCh* const name)
{
    m_builder.entityReference(name);
}

void GuardedTreeBuilder::characters(const XMLCh* const chars, const size_type length)
{
    m_check.checkWork(nullptr);
    m_builder.characters(chars, length);
}

void GuardedTreeBuilder::endDocument()
{
    m_builder.endDocument();
}

void GuardedTreeBuilder::endElement(const XMLCh* const name)
{
    m_builder.endElement(name);
}

void GuardedTreeBuilder::ignorableWhitespace(const XMLCh* const chars, const size_type length)
{
    m_builder.ignorableWhitespace(chars, length);
}

void GuardedTreeBuilder::processingInstruction(const XMLCh* const target, const XMLCh* const data)
{
    m_check.checkWork(nullptr);
    m_builder.processingInstruction(target, data);
}

void GuardedTreeBuilder::resetDocument()
{
    m_builder.resetDocument();
}

void GuardedTreeBuilder::setDocumentLocator(const xercesc::Locator* const locator)
{
    m_builder.setDocumentLocator(locator);
}

void GuardedTreeBuilder::startDocument()
{
    m_builder.startDocument();
}

void GuardedTreeBuilder::startElement(const XMLCh* const name, xercesc::AttributeList& attrs)
{
    m_check.checkWork(nullptr);
    m_builder.startElement(name, attrs);
}

xalanc::Writer* GuardedTreeBuilder::getWriter() const
{
    return m_builder.getWriter();
}

const xalanc::XalanDOMString& GuardedTreeBuilder::getDoctypeSystem() const
{
    return m_builder.getDoctypeSystem();
}

const xalanc::XalanDOMString& GuardedTreeBuilder::getDoctypePublic() const
{
    return m_builder.getDoctypePublic();
}

const xalanc::XalanDOMString& GuardedTreeBuilder::getEncoding() const
{
    return m_builder.getEncoding();
}

const xalanc::XalanDOMString& GuardedTreeBuilder::getMediaType() const
{
    return m_builder.getMediaType();
}

int GuardedTreeBuilder::getIndent() const
{
    return m_builder.getIndent();
}

} // namespace prsm::detail
