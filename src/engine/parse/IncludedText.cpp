// The characters of a resource that xi:include brings in as text.
#include "engine/parse/IncludedText.hpp"

#include "platform/EngineText.hpp"
#include "platform/Utf8.hpp"

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>

#include <memory>
#include <stdexcept>
#include <vector>

namespace prsm::detail
{
namespace
{

constexpr XMLSize_t kBlock = 16 * 1024;

bool isXmlCharacter(char16_t c)
{
    return c >= 0x20 ? c < 0xFFFE : c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

std::u16string decodedText(const std::string& bytes, const std::u16string& encoding,
                           xercesc::MemoryManager& manager)
{
    const std::u16string name = encoding.empty() ? u"UTF-8" : encoding;
    xercesc::XMLTransService::Codes code = xercesc::XMLTransService::Ok;
    std::unique_ptr<xercesc::XMLTranscoder> transcoder(
        xercesc::XMLPlatformUtils::fgTransService->makeNewTranscoderFor(name.c_str(), code, kBlock,
                                                                        &manager));
    if (!transcoder || code != xercesc::XMLTransService::Ok)
        throw std::runtime_error("the encoding \"" + utf16ToUtf8(name) + "\" is not supported");

    std::u16string text;
    std::vector<XMLCh> block(kBlock);
    std::vector<unsigned char> sizes(kBlock);
    const auto* data = reinterpret_cast<const XMLByte*>(bytes.data());
    std::size_t at = 0;
    try
    {
        while (at < bytes.size())
        {
            XMLSize_t eaten = 0;
            const XMLSize_t made = transcoder->transcodeFrom(
                data + at, bytes.size() - at, block.data(), kBlock, eaten, sizes.data());
            if (eaten == 0)
                throw std::runtime_error("it ends inside a character");
            text.append(block.data(), made);
            at += eaten;
        }
    }
    catch (const xercesc::XMLException& e)
    {
        throw std::runtime_error(utf8Of(e.getMessage()));
    }
    if (!text.empty() && text[0] == u'\xFEFF')
        text.erase(0, 1);
    for (char16_t c : text)
        if (!isXmlCharacter(c))
            throw std::runtime_error("it holds a character that XML does not allow");
    return text;
}

} // namespace prsm::detail
