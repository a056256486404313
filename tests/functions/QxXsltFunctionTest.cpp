// The string conversions that every extension function uses between its text and the engine's.
#include "QxXsltFunction.hpp"

#include <gtest/gtest.h>

namespace
{

TEST(QxXsltFunction, ConversionsRoundTripThroughUtf16)
{
    const struct
    {
        const char* text;
        std::u16string units;
    } cases[] = {
        {"", u""},
        {"K\xC3\xA4se", u"K\u00E4se"},
        {"\xF0\x9D\x84\x9E clef", u"\xD834\xDD1E clef"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const xalanc::XalanDOMString engine =
            QxXsltFunction::I18NStringToXalanDOMString(I18NString(c.text));
        EXPECT_EQ(std::u16string(engine.begin(), engine.end()), c.units);
        EXPECT_EQ(QxXsltFunction::XalanDOMStringToI18NString(engine), I18NString(c.text));
    }
}

} // namespace
