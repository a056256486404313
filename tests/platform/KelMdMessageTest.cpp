// The message catalogue stand-in: insertions, languages and unknown ids.
#include "KelMdMessage.hpp"

#include <gtest/gtest.h>

namespace
{

TEST(KelMdMessage, FormatsEnglishTextWithEveryPlaceholderReplaced)
{
    const struct
    {
        unsigned long id;
        const char* text;
        const char* language;
        const char* result;
    } cases[] = {
        {2733166516UL, nullptr, "en", "Page "},
        {2733522074UL, "ignored", "en", "End of document"},
        {2733166516UL, "3", "de", "Page 3"},
        {2733166516UL, "3", nullptr, "Page 3"},
        {0, "x", "en", ""},
        {12345, "x", "fr", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.id);
        I18NString out("stale");
        KelMdMessage(c.id).format(c.text, c.language, out);
        EXPECT_STREQ(out.c_str(), c.result);
    }
}

} // namespace
