// The reader of source documents, which may serve many parses one after the other.
#include "engine/parse/SourceReader.hpp"

#include <xercesc/util/XMLUni.hpp>

namespace prsm::detail
{

SourceReader::SourceReader(xercesc::MemoryManager& manager)
    : SourceReaderMemory(manager), GuardedParser<xercesc::SAX2XMLReaderImpl>(&m_memory),
      m_manager(manager)
{
    using xercesc::XMLUni;
    setFeature(XMLUni::fgSAX2CoreNameSpaces, true);
    setFeature(XMLUni::fgSAX2CoreNameSpacePrefixes, true);
    setFeature(XMLUni::fgSAX2CoreValidation, false);
    setFeature(XMLUni::fgXercesDynamic, false);
    setFeature(XMLUni::fgXercesSchema, false);
}

void SourceReader::setValidation(bool validate)
{
    using xercesc::XMLUni;
    if (validate == m_validates)
        return;
    setFeature(XMLUni::fgSAX2CoreValidation, validate);
    setFeature(XMLUni::fgXercesDynamic, validate);
    setFeature(XMLUni::fgXercesSchema, validate);
    m_validates = validate;
}

void SourceReader::release(std::uint64_t bytes) noexcept
{
    setBudget(nullptr);
    setContentHandler(nullptr);
    setLexicalHandler(nullptr);
    setDTDHandler(nullptr);
    setErrorHandler(nullptr);
    setXMLEntityResolver(nullptr);
    // Else the next parse without an expansion bound would still count against this one's.
    setProperty(xercesc::XMLUni::fgXercesSecurityManager, nullptr);
    m_bytesRead += bytes;
}

} // namespace prsm::detail
