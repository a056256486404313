// The message catalogue stand-in: insertions, languages and unknown ids.
#include "KelMdMessage.hpp"

#include <gtest/gtest.h>

#include <tuple>

namespace
{

TEST(KelMdMessage, FormatsEnglishTextWithEveryPlaceholderReplaced)
{
    const std::tuple<unsigned long, const char*, const char*, const char*> cases[] = {
        {2733166516UL, nullptr, "en", "Page "},
        {2733522074UL, "ignored", "en", "End of document"},
        {2733166516UL, "3", "de", "Page 3"},
        {2733166516UL, "3", nullptr, "Page 3"},
        {0, "x", "en", ""},
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
