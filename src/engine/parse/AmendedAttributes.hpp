// An element's attributes as the parser gave them, with some declared in front and values changed.
#pragma once

#include <xercesc/sax2/Attributes.hpp>

#include <string>
#include <vector>

namespace prsm::detail
{

// Presents `original` behind the attributes added with addInFront (in the order added), with the
// values set by setValue. `original` must outlive it.
class AmendedAttributes final : public xercesc::Attributes
{
public:
    explicit AmendedAttributes(const xercesc::Attributes& original);

    // Adds an attribute before the original ones; `uri` empty for none.
    void addInFront(std::u16string uri, std::u16string localName, std::u16string qName,
                    std::u16string value);

    // Sets the value of the attribute `uri`:`localName`, appending it (as CDATA, named `qName`)
    // when there is none.
    void setValue(const std::u16string& uri, const std::u16string& localName, std::u16string qName,
                  std::u16string value);

    XMLSize_t getLength() const override;
    const XMLCh* getURI(const XMLSize_t index) const override;
    const XMLCh* getLocalName(const XMLSize_t index) const override;
    const XMLCh* getQName(const XMLSize_t index) const override;
    const XMLCh* getType(const XMLSize_t index) const override;
    const XMLCh* getValue(const XMLSize_t index) const override;
    bool getIndex(const XMLCh* const uri, const XMLCh* const localPart,
                  XMLSize_t& index) const override;
    int getIndex(const XMLCh* const uri, const XMLCh* const localPart) const override;
    bool getIndex(const XMLCh* const qName, XMLSize_t& index) const override;
    int getIndex(const XMLCh* const qName) const override;
    const XMLCh* getType(const XMLCh* const uri, const XMLCh* const localPart) const override;
    const XMLCh* getType(const XMLCh* const qName) const override;
    const XMLCh* getValue(const XMLCh* const uri, const XMLCh* const localPart) const override;
    const XMLCh* getValue(const XMLCh* const qName) const override;

private:
    struct Entry
    {
        std::u16string uri;
        std::u16string localName;
        std::u16string qName;
        std::u16string value;
    };

    // The added entry at `index`, or null for an original attribute.
    const Entry* added(XMLSize_t index) const;
    XMLSize_t originalIndex(XMLSize_t index) const { return index - m_front.size(); }

    const xercesc::Attributes& m_original;
    std::vector<Entry> m_front;
    std::vector<Entry> m_back;
    std::vector<std::pair<XMLSize_t, std::u16string>> m_values; // original index, new value
};

} // namespace prsm::detail
