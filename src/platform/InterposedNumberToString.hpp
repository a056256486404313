// The engine's two conversions of a number to text, replaced for the whole process.
//
// The engine (xalanc/PlatformSupport/DOMStringHelper.cpp: NumberToDOMString and
// DOMStringHelper::NumberToCharacters, which string(), xsl:value-of and every number written out
// go through) writes a number that is no 64-bit integer with printf("%.10f") into a buffer of 101
// bytes, so every number from about 1e89 on (one computed from a document's text, or written in
// an expression as 90 digits) overruns it and ends the process. The library defines both
// functions itself, over appendNumberText: the engine calls them through its procedure linkage
// table, and a host that links or loads the library finds it before the engine it depends on, so
// these definitions are the ones the engine runs. A host that names the engine before the library
// on its own link line keeps the engine's; the library's own functions therefore call
// appendNumberText directly, never the engine's names.
#pragma once

#include <xalanc/XalanDOM/XalanDOMString.hpp>

namespace prsm::detail
{

// How numbers that are no integers are written on this thread.
enum class NumberStyle
{
    XPath,    // as XPath 1.0 asks: the fewest digits that tell the number from every other
    Xsltproc, // as xsltproc writes them: rounded to 15 significant digits
};

// Writes numbers in `style` on this thread while it lasts.
class NumberStyleScope
{
public:
    explicit NumberStyleScope(NumberStyle style);
    ~NumberStyleScope();
    NumberStyleScope(const NumberStyleScope&) = delete;
    NumberStyleScope& operator=(const NumberStyleScope&) = delete;

private:
    NumberStyle m_outer;
};

// Appends the text of `value` as XPath writes it: NaN, Infinity, -Infinity and 0 by name, an
// integer in all its digits, any other number in decimal notation with the fraction digits of the
// thread's NumberStyle, never with an exponent. Numbers of any size.
xalanc::XalanDOMString& appendNumberText(double value, xalanc::XalanDOMString& text);

} // namespace prsm::detail
