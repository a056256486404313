// The message catalogue stand-in: known ids, unknown ids, languages and insertions.
#include "KelMdMessage.hpp"

#include <gtest/gtest.h>

namespace
{

std::string formatted(unsigned long id, const char* text, const char* language)
{
    I18NString out("stale");
    KelMdMessage(id).format(text, language, out);
    return out.c_str();
}

TEST(KelMdMessage, EveryCatalogueIdHasEnglishText)
{
    const unsigned long ids[] = {2733166516UL, 2733212678UL, 2733417774UL, 2733463936UL,
                                 2733088678UL, 2732897321UL, 2732835219UL, 2733171271UL,
                                 2733325581UL, 2733459538UL, 2732710487UL, 2733449079UL,
                                 2733522074UL, 2732756646UL, 2733153402UL, 2733338050UL,
                                 2732875383UL, 2733060031UL, 2533174692UL};
    for (unsigned long id : ids)
    {
        SCOPED_TRACE(id);
        EXPECT_FALSE(formatted(id, "x", "en").empty());
    }
}

TEST(KelMdMessage, InsertsTextAtEveryPlaceholder)
{
    EXPECT_EQ(formatted(2733166516UL, "7", "en"), "Page 7");
    EXPECT_EQ(formatted(2733166516UL, "", "en"), "Page ");
    EXPECT_EQ(formatted(2733166516UL, nullptr, "en"), "Page ");
    EXPECT_EQ(formatted(2733166516UL, "\xC3\xA9t\xC3\xA9", "en"), "Page \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(formatted(2733522074UL, "ignored", "en"), "End of document");
}

TEST(KelMdMessage, OtherLanguagesFallBackToEnglish)
{
    EXPECT_EQ(formatted(2733166516UL, "3", "de"), "Page 3");
    EXPECT_EQ(formatted(2733166516UL, "3", nullptr), "Page 3");
}

TEST(KelMdMessage, UnknownIdsAreEmpty)
{
    EXPECT_EQ(formatted(0, "x", "en"), "");
    EXPECT_EQ(formatted(12345, "x", "en"), "");
    EXPECT_EQ(formatted(0, "x", "fr"), "");
}

} // namespace
