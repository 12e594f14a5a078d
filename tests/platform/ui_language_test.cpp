// The language that the player's settings choose, on Linux and on the page.
#include <gtest/gtest.h>

#include "platform/core/ui_language.h"

namespace {

constexpr LANGID ja = 0x0411, en = 0x0409;
const char* const unset = nullptr;

TEST(UiLanguage, TheFirstSettingThatNamesALanguageChooses) {
    // LANGUAGE, LC_ALL, LC_MESSAGES, LANG, and the language they choose.
    const struct { const char *language, *all, *messages, *lang; LANGID expected; } cases[] = {
        {unset, unset, unset, unset, ja},       {unset, unset, unset, "C.UTF-8", ja},
        {unset, "POSIX", unset, unset, ja},     {unset, unset, unset, "en_US.UTF-8", en},
        {unset, unset, unset, "de_DE", en},     {unset, "ja_JP.UTF-8", unset, "en_US", ja},
        {unset, unset, "en_GB", "ja_JP", en},   {unset, "C", unset, "en_US.UTF-8", en},
        {"", unset, unset, "en_US", en},        {"fr:ja:en", unset, unset, "en_US", ja},
        {"en", unset, unset, "ja_JP.UTF-8", en}, {"fr_FR:de", unset, unset, "ja_JP", en},
        {"C", unset, unset, "ja_JP", ja},       {"jav", unset, unset, unset, en},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::LanguageOfLocaleVariables(c.language, c.all, c.messages, c.lang),
                  c.expected) << "case " << &c - cases;
    EXPECT_TRUE(platform::LanguageOfPreferences({}) == ja &&
                platform::LanguageOfPreferences({"fr-FR", "ja-JP", "en"}) == ja &&
                platform::LanguageOfPreferences({"en-US", "ja"}) == en &&
                platform::LanguageOfPreferences({"fr-FR", "de"}) == en);
}

}  // namespace
