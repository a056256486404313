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

// Appends the text of `value` as XPath writes it, in the engine's own way: NaN, Infinity,
// -Infinity and 0 by name, an integer that fits 64 bits in decimal, any other number with the
// fewest of 10 to 35 decimals that read back as the same number, trailing zeros and a bare point
// dropped. Numbers of any size, the largest double's 309 digits included.
xalanc::XalanDOMString& appendNumberText(double value, xalanc::XalanDOMString& text);

} // namespace prsm::detail
