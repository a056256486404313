// Numbers as text: XPath's shortest digits, and xsltproc's 15 significant digits on request.
#include "platform/InterposedNumberToString.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace
{

std::string textOf(double value)
{
    xalanc::XalanDOMString text;
    prsm::detail::appendNumberText(value, text);
    return std::string(text.begin(), text.end());
}

struct Row
{
    double value;
    const char* xpath;
    const char* xsltproc; // libxml2 2.9.14, where it writes no exponent
};

TEST(NumberText, IsXPathsShortestOrXsltprocsRounded)
{
    const Row rows[] = {
        {0.1 + 0.2, "0.30000000000000004", "0.3"},
        {10 * 2.0736, "20.735999999999997", "20.736"},
        {12 * 1.2, "14.399999999999999", "14.4"},
        {1.0 / 3, "0.3333333333333333", "0.333333333333333"},
        {100.0 / 3, "33.333333333333336", "33.3333333333333"},
        {123456789.12345679, "123456789.12345679", "123456789.123457"},
        {-2.5, "-2.5", "-2.5"},
        {1e-7, "0.0000001", "0.0000001"},                              // xsltproc: 1e-07
        {123456789012.0 / 7, "17636684144.57143", "17636684144.5714"}, // xsltproc: 1.76...e+10
        {1e-40, "0.0000000000000000000000000000000000000001",
         "0.0000000000000000000000000000000000000001"},
        {1e21, "1000000000000000000000", "1000000000000000000000"}, // xsltproc: 1e+21
        {-0.0, "0", "0"},
        {std::nan(""), "NaN", "NaN"},
        {-std::numeric_limits<double>::infinity(), "-Infinity", "-Infinity"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.xpath);
        EXPECT_EQ(textOf(row.value), row.xpath);
        {
            const prsm::detail::NumberStyleScope scope(prsm::detail::NumberStyle::Xsltproc);
            EXPECT_EQ(textOf(row.value), row.xsltproc);
        }
        EXPECT_EQ(textOf(row.value), row.xpath);
    }
    // The smallest double, in all the digits that tell it from zero.
    const std::string smallest = textOf(std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(smallest, "0." + std::string(323, '0') + "5");
}

} // namespace
