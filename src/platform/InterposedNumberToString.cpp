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
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

thread_local prsm::detail::NumberStyle t_style = prsm::detail::NumberStyle::XPath;

// The text of a number, in a buffer that fits the longest.
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
        else if (std::floor(value) == value)
            writeLargeInteger(value);
        else if (t_style == prsm::detail::NumberStyle::Xsltproc)
            writeAsXsltproc(value);
        else
            writeShortest(value);
    }

    const XMLCh* data() const { return m_text; }
    std::size_t size() const { return m_size; }

private:
    void assign(const char* text, std::size_t size)
    {
        for (m_size = 0; m_size < size; ++m_size)
            m_text[m_size] = static_cast<XMLCh>(text[m_size]);
    }
    void assign(const char* text) { assign(text, std::strlen(text)); }

    void writeInteger(std::int64_t value)
    {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
        assign(digits);
    }

    // Every digit of an integer beyond 64 bits, as the engine writes it.
    void writeLargeInteger(double value)
    {
        char digits[kCapacity];
        const int written = std::snprintf(digits, sizeof digits, "%.0f", value);
        assign(digits, static_cast<std::size_t>(written));
    }

    // XPath 1.0 (4.2): as many fraction digits as tell the number from every other double, and
    // no more. The engine's "%.10f" to "%.35f" may write more (123456789.123456791 for
    // 123456789.12345679) and writes 0 for numbers below 1e-35.
    void writeShortest(double value)
    {
        char digits[kCapacity];
        const auto done =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
        assign(digits, static_cast<std::size_t>(done.ptr - digits));
    }

    // libxml2's xmlXPathFormatNumber: 15 significant digits (DBL_DIG), counted from the units
    // for numbers below 10, so 0.1 + 0.2 is 0.3 and 20.735999999999997 is 20.736. Where
    // libxml2 writes an exponent (below 1e-5, above 1e9), which is no XPath number, the number
    // rounded to 15 significant digits is written without one.
    void writeAsXsltproc(double value)
    {
        const double magnitude = std::fabs(value);
        if (magnitude < 1e-5 || magnitude > 1e9)
        {
            char rounded[32];
            std::snprintf(rounded, sizeof rounded, "%.14e", value);
            writeShortest(std::strtod(rounded, nullptr));
            return;
        }
        const int integerPlace = static_cast<int>(std::log10(magnitude));
        const int fractionPlace = integerPlace > 0 ? 14 - integerPlace : 15 - integerPlace;
        char digits[64];
        int written = std::snprintf(digits, sizeof digits, "%.*f", fractionPlace, value);
        // Back over trailing zeros and a bare separator; a locale may write another separator
        // than the point that XPath wants.
        while (written > 0 && digits[written - 1] == '0')
            --written;
        if (written > 0 && !std::isdigit(static_cast<unsigned char>(digits[written - 1])))
            --written;
        for (int i = 0; i < written; ++i)
            if (!std::isdigit(static_cast<unsigned char>(digits[i])) && digits[i] != '-')
                digits[i] = '.';
        assign(digits, static_cast<std::size_t>(written));
    }

    // The largest double has 309 integer digits, the smallest 1074 fraction digits of which
    // the shortest text needs no more than 343, with a sign and a point.
    static constexpr std::size_t kCapacity = 400;

    XMLCh m_text[kCapacity];
    std::size_t m_size = 0;
};

} // namespace

namespace prsm::detail
{

NumberStyleScope::NumberStyleScope(NumberStyle style) : m_outer(t_style)
{
    t_style = style;
}

NumberStyleScope::~NumberStyleScope()
{
    t_style = m_outer;
}

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
