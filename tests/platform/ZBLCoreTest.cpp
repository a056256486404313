// The core library stand-ins: the interface string (UTF-8 in and out, UTF-16 inside, external
// buffers, other encodings) and the clock hook.
#include "ZBLCore.hpp"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(I18NString, RoundTripsBetweenUtf8Utf16AndExternalBuffers)
{
    const struct
    {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"empty", "", u""},
        {"ascii", "abc", u"abc"},
        {"three-byte", "K\xC3\xA4se \xE2\x82\xAC", u"K\u00E4se \u20AC"},
        {"surrogate pair", "\xF0\x9D\x84\x9E", u"\U0001D11E"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const I18NString text(c.utf8.c_str());
        EXPECT_EQ(text.utf16(), c.utf16);
        int length = -1;
        EXPECT_EQ(std::string(text.c_str(nullptr, &length)), c.utf8);
        EXPECT_EQ(length, static_cast<int>(c.utf8.size()));

        unsigned short* utf16 = nullptr;
        EXPECT_EQ(I18NExternalBufferToUTF16(utf16, text.getExternalBuffer(), false),
                  I18N_TRANSFORMATION_OK);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(utf16)), c.utf16);
        void* external = nullptr;
        I18NUTF16ToExternalBuffer(external, utf16, false);
        EXPECT_EQ(I18NString(static_cast<const void*>(external), -1), text);
    }
}

TEST(I18NString, InvalidInputBecomesReplacementCharacters)
{
    const struct
    {
        const char* name;
        std::string utf8;
        std::u16string expected;
    } cases[] = {
        {"lone continuation", "a\x80z", u"a\uFFFDz"},
        {"truncated at end", "a\xE2\x82", u"a\uFFFD"},
        {"truncated before ascii", "\xE2\x82z", u"\uFFFDz"},
        {"overlong", "\xC0\xAF", u"\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD"},
        {"invalid lead", "\xFF", u"\uFFFD"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(I18NString(c.utf8.c_str()).utf16(), c.expected);
    }
    const I18NString unpaired(std::u16string(u"x") + char16_t(0xD800) + u"y" + char16_t(0xDC00));
    EXPECT_STREQ(unpaired.c_str(), "x\xEF\xBF\xBDy\xEF\xBF\xBD");

    unsigned short* utf16 = nullptr;
    I18NExternalBufferToUTF16(utf16, nullptr, false);
    ASSERT_NE(utf16, nullptr);
    EXPECT_EQ(utf16[0], 0);
    void* external = nullptr;
    I18NUTF16ToExternalBuffer(external, nullptr, false);
    EXPECT_TRUE(I18NString(static_cast<const void*>(external), -1).empty());
}

TEST(I18NString, ConstructionArgumentsAndEncodings)
{
    EXPECT_TRUE(I18NString(static_cast<const char*>(nullptr)).empty());
    EXPECT_EQ(I18NString("abcdef", nullptr, 3), I18NString("abc"));
    EXPECT_EQ(I18NString("K\xE4se", "ISO-8859-1"), I18NString("K\xC3\xA4se"));
    EXPECT_STREQ(I18NString("\xE2\x82\xAC").c_str("ISO-8859-1"), "?");
    EXPECT_THROW(I18NString("abc", "EBCDIC"), std::invalid_argument);
    EXPECT_EQ(I18NString(static_cast<const void*>(u"abcdef"), 2), I18NString("ab"));
    EXPECT_STREQ(I18NGetPlatformDefaultEncoding(), "UTF-8");
}

TEST(ClockHook, ASourceReplacesTheSeventeenDigitSystemClockUntilEmptied)
{
    ZBLUtSystemInfo::setTimeStampSource([] { return std::string("20261331245959000"); });
    EXPECT_EQ(ZBLUtSystemInfo::getTimeStamp(0), "20261331245959000");
    ZBLUtSystemInfo::setTimeStampSource({});
    const std::string stamp = ZBLUtSystemInfo::getTimeStamp(0);
    ASSERT_EQ(stamp.size(), 17u) << stamp;
    EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << stamp;
    EXPECT_LE(std::stoi(stamp.substr(4, 2)), 12) << stamp; // a real month and hour
    EXPECT_LE(std::stoi(stamp.substr(8, 2)), 23) << stamp;
}

} // namespace
