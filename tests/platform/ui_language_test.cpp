// The language that the player's settings choose, on Linux and on the page.
#include <gtest/gtest.h>

#include "platform/core/ui_language.h"

namespace {

constexpr LANGID ja = 0x0411, en = 0x0409;
const char* const _ = nullptr;  // unset

TEST(UiLanguage, TheFirstSettingThatNamesALanguageChooses) {
    // LANGUAGE, LC_ALL, LC_MESSAGES, LANG, and the language they choose.
    const struct { const char *language, *all, *messages, *lang; LANGID expected; } cases[] = {
        {_, _, _, _, ja}, {_, _, _, "C.UTF-8", ja}, {_, "POSIX", _, _, ja}, {_, _, _, "de_DE", en},
        {_, _, _, "en_US.UTF-8", en}, {_, "ja_JP.UTF-8", _, "en_US", ja}, {_, _, "en_GB", "ja", en},
        {_, "C", _, "en_US.UTF-8", en}, {"", _, _, "en_US", en}, {"fr:ja:en", _, _, "en_US", ja},
        {"en", _, _, "ja_JP.UTF-8", en}, {"fr_FR:de", _, _, "ja", en}, {"C", _, _, "ja_JP", ja},
        {"jav", _, _, _, en},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::LanguageOfLocaleVariables(c.language, c.all, c.messages, c.lang),
                  c.expected) << "case " << &c - cases;
    using platform::LanguageOfPreferences;  // the browser's list: its first language the game has
    EXPECT_TRUE(LanguageOfPreferences({}) == ja && LanguageOfPreferences({"fr", "ja-JP"}) == ja);
    EXPECT_TRUE(LanguageOfPreferences({"en-US", "ja"}) == en && LanguageOfPreferences({"de"}) == en);
}

}  // namespace
