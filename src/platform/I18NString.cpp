// The interface string and its external-buffer conversions.
#include "ZBLCore.hpp"
#include "platform/Utf8.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <strings.h>

namespace
{

enum class Encoding
{
    Utf8 = 1,
    Latin1 = 2
};

Encoding encodingNamed(const char* name)
{
    if (name == nullptr || strcasecmp(name, "UTF-8") == 0 || strcasecmp(name, "UTF8") == 0)
        return Encoding::Utf8;
    if (strcasecmp(name, "ISO-8859-1") == 0 || strcasecmp(name, "LATIN1") == 0)
        return Encoding::Latin1;
    throw std::invalid_argument(std::string("unsupported encoding: ") + name);
}

} // namespace

I18NString::I18NString(const char* text, const char* encoding, int length, void*, void*)
{
    const Encoding kind = encodingNamed(encoding);
    if (text == nullptr)
        return;
    const std::size_t size = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
    if (kind == Encoding::Utf8)
        m_text = prsm::detail::utf8ToUtf16(std::string_view(text, size));
    else
        m_text.assign(reinterpret_cast<const unsigned char*>(text),
                      reinterpret_cast<const unsigned char*>(text) + size);
}

I18NString::I18NString(const void* externalBuffer, int length, void*, void*)
{
    const auto* units = static_cast<const char16_t*>(externalBuffer);
    if (units == nullptr)
        return;
    if (length < 0)
        m_text = units;
    else
        m_text.assign(units, static_cast<std::size_t>(length));
}

I18NString::I18NString(std::u16string utf16) noexcept : m_text(std::move(utf16)) {}

const char* I18NString::c_str(const char* encoding, int* length, void*, void*) const
{
    const Encoding kind = encodingNamed(encoding);
    if (m_narrowKind != static_cast<int>(kind))
    {
        if (kind == Encoding::Utf8)
        {
            m_narrow = prsm::detail::utf16ToUtf8(m_text);
        }
        else
        {
            m_narrow.resize(m_text.size());
            std::transform(m_text.begin(), m_text.end(), m_narrow.begin(),
                           [](char16_t unit) { return unit < 0x100 ? char(unit) : '?'; });
        }
        m_narrowKind = static_cast<int>(kind);
    }
    if (length != nullptr)
        *length = static_cast<int>(m_narrow.size());
    return m_narrow.c_str();
}

I18NString I18NString::substring(int begin, int end) const
{
    const int size = length();
    begin = std::clamp(begin, 0, size);
    end = std::clamp(end, begin, size);
    return I18NString(
        m_text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)));
}

I18NString& I18NString::operator+=(const I18NString& other)
{
    m_text += other.m_text;
    m_narrowKind = 0;
    return *this;
}

// The external buffer of this implementation is the UTF-16 text itself, so both directions hand
// out a pointer into their source: nothing is allocated and nothing can leak.
I18NTransformationResult I18NExternalBufferToUTF16(unsigned short*& out, const void* externalBuffer,
                                                   bool)
{
    static const char16_t empty[1] = {0};
    out = reinterpret_cast<unsigned short*>(const_cast<char16_t*>(
        externalBuffer != nullptr ? static_cast<const char16_t*>(externalBuffer) : empty));
    return I18N_TRANSFORMATION_OK;
}

I18NTransformationResult I18NUTF16ToExternalBuffer(void*& out, const unsigned short* utf16, bool)
{
    static const char16_t empty[1] = {0};
    out = utf16 != nullptr ? const_cast<unsigned short*>(utf16)
                           : static_cast<void*>(const_cast<char16_t*>(empty));
    return I18N_TRANSFORMATION_OK;
}

const char* I18NGetPlatformDefaultEncoding()
{
    return "UTF-8";
}
