// The engine's two conversions of a number to text, replaced for the whole process.
// The engine's classes are declared visible here, as the engine declares them itself: a member
// defined below would otherwise be hidden with the class.
#pragma GCC visibility push(default)
#include <xalanc/PlatformSupport/DOMStringHelper.hpp>
#include <xalanc/PlatformSupport/FormatterListener.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#pragma GCC visibility pop

#include "platform/InterposedNumberToString.hpp"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{

// The text of a number, in a buffer that fits the largest.
class NumberText
{
public:
    explicit NumberText(double value)
    {
        if (std::isnan(value))
            assign("NaN");
        else if (std::isinf(value))
            assign(value > 0 ? "Infinity" : "-Infinity");
        else if (value == 0)
            assign("0");
        else if (value >= -9223372036854775808.0 && value < 9223372036854775808.0 &&
                 static_cast<double>(static_cast<std::int64_t>(value)) == value)
            writeInteger(static_cast<std::int64_t>(value));
        else
            writeFraction(value);
    }

    const XMLCh* data() const { return m_text; }
    std::size_t size() const { return m_size; }

private:
    void assign(const char* text)
    {
        for (m_size = 0; text[m_size] != '\0'; ++m_size)
            m_text[m_size] = static_cast<XMLCh>(text[m_size]);
    }

    void writeInteger(std::int64_t value)
    {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
        assign(digits);
    }

    void writeFraction(double value)
    {
        char digits[kCapacity];
        int written = 0;
        for (int decimals = 10; decimals <= 35; ++decimals)
        {
            written = std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
            if (std::atof(digits) == value)
                break;
        }
        // Back over trailing zeros; keep the last other digit, drop a point that ends it.
        while (written > 0 && digits[--written] == '0')
        {
        }
        int separator = written;
        if (std::isdigit(static_cast<unsigned char>(digits[written])))
            ++written;
        // A locale may write another separator than the point that XPath wants.
        while (separator > 0)
        {
            if (std::isdigit(static_cast<unsigned char>(digits[separator])))
            {
                --separator;
                continue;
            }
            digits[separator] = '.';
            break;
        }
        digits[written] = '\0';
        assign(digits);
    }

    // The largest double has 309 integer digits; 35 decimals, a sign and a point come on top.
    static constexpr std::size_t kCapacity = 400;

    XMLCh m_text[kCapacity];
    std::size_t m_size = 0;
};

} // namespace

namespace prsm::detail
{

xalanc::XalanDOMString& appendNumberText(double value, xalanc::XalanDOMString& text)
{
    const NumberText number(value);
    text.append(number.data(), static_cast<xalanc::XalanDOMString::size_type>(number.size()));
    return text;
}

} // namespace prsm::detail

#pragma GCC visibility push(default)

namespace XALAN_CPP_NAMESPACE
{

XalanDOMString& NumberToDOMString(double theValue, XalanDOMString& theResult)
{
    return prsm::detail::appendNumberText(theValue, theResult);
}

void DOMStringHelper::NumberToCharacters(double theValue, FormatterListener& formatterListener,
                                         MemberFunctionPtr function)
{
    const NumberText text(theValue);
    (formatterListener.*function)(text.data(),
                                  static_cast<FormatterListener::size_type>(text.size()));
}

} // namespace XALAN_CPP_NAMESPACE

#pragma GCC visibility pop
