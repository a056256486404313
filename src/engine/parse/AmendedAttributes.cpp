// An element's attributes as the parser gave them, with some declared in front and values changed.
#include "engine/parse/AmendedAttributes.hpp"

#include <xercesc/util/XMLString.hpp>

namespace prsm::detail
{
namespace
{

bool equals(const XMLCh* a, const XMLCh* b)
{
    return xercesc::XMLString::equals(a != nullptr ? a : u"", b != nullptr ? b : u"");
}

} // namespace

AmendedAttributes::AmendedAttributes(const xercesc::Attributes& original) : m_original(original) {}

void AmendedAttributes::addInFront(std::u16string uri, std::u16string localName,
                                   std::u16string qName, std::u16string value)
{
    m_front.push_back({std::move(uri), std::move(localName), std::move(qName), std::move(value)});
}

void AmendedAttributes::setValue(const std::u16string& uri, const std::u16string& localName,
                                 std::u16string qName, std::u16string value)
{
    XMLSize_t index = 0;
    if (m_original.getIndex(uri.c_str(), localName.c_str(), index))
        m_values.emplace_back(index, std::move(value));
    else
        m_back.push_back({uri, localName, std::move(qName), std::move(value)});
}

const AmendedAttributes::Entry* AmendedAttributes::added(XMLSize_t index) const
{
    if (index < m_front.size())
        return &m_front[index];
    const XMLSize_t behind = index - m_front.size();
    if (behind >= m_original.getLength())
        return &m_back[behind - m_original.getLength()];
    return nullptr;
}

XMLSize_t AmendedAttributes::getLength() const
{
    return m_front.size() + m_original.getLength() + m_back.size();
}

const XMLCh* AmendedAttributes::getURI(const XMLSize_t index) const
{
    if (index >= getLength())
        return nullptr;
    const Entry* entry = added(index);
    return entry != nullptr ? entry->uri.c_str() : m_original.getURI(originalIndex(index));
}

const XMLCh* AmendedAttributes::getLocalName(const XMLSize_t index) const
{
    if (index >= getLength())
        return nullptr;
    const Entry* entry = added(index);
    return entry != nullptr ? entry->localName.c_str()
                            : m_original.getLocalName(originalIndex(index));
}

const XMLCh* AmendedAttributes::getQName(const XMLSize_t index) const
{
    if (index >= getLength())
        return nullptr;
    const Entry* entry = added(index);
    return entry != nullptr ? entry->qName.c_str() : m_original.getQName(originalIndex(index));
}

const XMLCh* AmendedAttributes::getType(const XMLSize_t index) const
{
    if (index >= getLength())
        return nullptr;
    return added(index) != nullptr ? u"CDATA" : m_original.getType(originalIndex(index));
}

const XMLCh* AmendedAttributes::getValue(const XMLSize_t index) const
{
    if (index >= getLength())
        return nullptr;
    if (const Entry* entry = added(index))
        return entry->value.c_str();
    for (const auto& [at, value] : m_values)
        if (at == originalIndex(index))
            return value.c_str();
    return m_original.getValue(originalIndex(index));
}

bool AmendedAttributes::getIndex(const XMLCh* const uri, const XMLCh* const localPart,
                                 XMLSize_t& index) const
{
    for (XMLSize_t i = 0; i < getLength(); ++i)
        if (equals(getURI(i), uri) && equals(getLocalName(i), localPart))
        {
            index = i;
            return true;
        }
    return false;
}

int AmendedAttributes::getIndex(const XMLCh* const uri, const XMLCh* const localPart) const
{
    XMLSize_t index = 0;
    return getIndex(uri, localPart, index) ? static_cast<int>(index) : -1;
}

bool AmendedAttributes::getIndex(const XMLCh* const qName, XMLSize_t& index) const
{
    for (XMLSize_t i = 0; i < getLength(); ++i)
        if (equals(getQName(i), qName))
        {
            index = i;
            return true;
        }
    return false;
}

int AmendedAttributes::getIndex(const XMLCh* const qName) const
{
    XMLSize_t index = 0;
    return getIndex(qName, index) ? static_cast<int>(index) : -1;
}

const XMLCh* AmendedAttributes::getType(const XMLCh* const uri, const XMLCh* const localPart) const
{
    XMLSize_t index = 0;
    return getIndex(uri, localPart, index) ? getType(index) : nullptr;
}

const XMLCh* AmendedAttributes::getType(const XMLCh* const qName) const
{
    XMLSize_t index = 0;
    return getIndex(qName, index) ? getType(index) : nullptr;
}

const XMLCh* AmendedAttributes::getValue(const XMLCh* const uri, const XMLCh* const localPart) const
{
    XMLSize_t index = 0;
    return getIndex(uri, localPart, index) ? getValue(index) : nullptr;
}

const XMLCh* AmendedAttributes::getValue(const XMLCh* const qName) const
{
    XMLSize_t index = 0;
    return getIndex(qName, index) ? getValue(index) : nullptr;
}

} // namespace prsm::detail
