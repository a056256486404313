// The core library stand-ins: the interface string (UTF-8 in and out, UTF-16 inside, external
// buffers, other encodings), the clock hook and the message catalogue.
#include "ZBLCore.hpp"

#include "KelMdMessage.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace
{

TEST(I18NString, RoundTripsBetweenUtf8Utf16AndExternalBuffers)
{
    const std::pair<std::string, std::u16string> cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"K\xC3\xA4se \xE2\x82\xAC", u"K\u00E4se \u20AC"},
        {"\xF0\x9D\x84\x9E", u"\U0001D11E"}, // a surrogate pair
    };
    for (const auto& [utf8, utf16] : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(utf8));
        const I18NString text(utf8.c_str());
        EXPECT_EQ(text.utf16(), utf16);
        int length = -1;
        EXPECT_EQ(std::string(text.c_str(nullptr, &length)), utf8);
        EXPECT_EQ(length, static_cast<int>(utf8.size()));

        unsigned short* units = nullptr;
        EXPECT_EQ(I18NExternalBufferToUTF16(units, text.getExternalBuffer(), false),
                  I18N_TRANSFORMATION_OK);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(units)), utf16);
        void* external = nullptr;
        I18NUTF16ToExternalBuffer(external, units, false);
        EXPECT_EQ(I18NString(static_cast<const void*>(external), -1), text);
    }
}

TEST(I18NString, InvalidInputBecomesReplacementCharacters)
{
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\x80z", u"a\uFFFDz"},         // a lone continuation byte
        {"a\xE2\x82", u"a\uFFFD"},       // truncated at the end
        {"\xE2\x82z", u"\uFFFDz"},       // truncated before ASCII
        {"\xC0\xAF", u"\uFFFD"},         // overlong
        {"\xED\xA0\x80", u"\uFFFD"},     // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"}, // beyond U+10FFFF
        {"\xFF", u"\uFFFD"},             // not a lead byte
    };
    for (const auto& [utf8, expected] : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(utf8));
        EXPECT_EQ(I18NString(utf8.c_str()).utf16(), expected);
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

TEST(KelMdMessage, FormatsEnglishTextWithEveryPlaceholderReplaced)
{
    const std::tuple<unsigned long, const char*, const char*, const char*> cases[] = {
        {2733166516UL, nullptr, "en", "Page "},
        {2733522074UL, "ignored", "en", "End of document"},
        {2733166516UL, "3", "de", "Page 3"},
        {2733166516UL, "3", nullptr, "Page 3"},
        {12345, "x", "fr", ""},
    };
    for (const auto& [id, text, language, result] : cases)
    {
        SCOPED_TRACE(id);
        I18NString out("stale");
        KelMdMessage(id).format(text, language, out);
        EXPECT_STREQ(out.c_str(), result);
    }
}

} // namespace
