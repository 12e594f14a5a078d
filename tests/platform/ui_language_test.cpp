// The language that the player's settings choose, on Linux and on the page.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/ui_language.h"

namespace {

constexpr LANGID ja = 0x0411, en = 0x0409;

struct LocaleCase {
    const char *language, *lcAll, *lcMessages, *lang;
    LANGID expected;
};

TEST(UiLanguage, LocaleVariablesChooseAsTheFirstThatNamesALanguage) {
    const LocaleCase cases[] = {
        {nullptr, nullptr, nullptr, nullptr, ja},                   // nothing asked
        {nullptr, nullptr, nullptr, "C.UTF-8", ja},                 // C in any encoding
        {nullptr, "POSIX", nullptr, nullptr, ja},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", en},
        {nullptr, nullptr, nullptr, "ja_JP.eucJP", ja},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", en},             // a language the game lacks
        {nullptr, "ja_JP.UTF-8", nullptr, "en_US.UTF-8", ja},       // LC_ALL before LANG
        {nullptr, nullptr, "en_GB", "ja_JP.UTF-8", en},             // LC_MESSAGES before LANG
        {nullptr, "C", nullptr, "en_US.UTF-8", en},                 // C asks for nothing
        {"", nullptr, nullptr, "en_US.UTF-8", en},                  // an empty list is unset
        {"fr:ja:en", nullptr, nullptr, "en_US.UTF-8", ja},          // first language the game has
        {"en", nullptr, nullptr, "ja_JP.UTF-8", en},                // LANGUAGE before the locale
        {"fr_FR:de", nullptr, nullptr, "ja_JP.UTF-8", en},          // names only others
        {"C", nullptr, nullptr, "ja_JP.UTF-8", ja},
        {"JA", nullptr, nullptr, nullptr, ja},
        {"jav", nullptr, nullptr, nullptr, en},                     // Javanese is not Japanese
    };
    for (const LocaleCase& c : cases) {
        EXPECT_EQ(platform::LanguageOfLocaleVariables(c.language, c.lcAll, c.lcMessages, c.lang),
                  c.expected)
            << (c.language ? c.language : "-") << " " << (c.lcAll ? c.lcAll : "-") << " "
            << (c.lcMessages ? c.lcMessages : "-") << " " << (c.lang ? c.lang : "-");
    }
}

TEST(UiLanguage, BrowserLanguagesChooseTheFirstThatTheGameHas) {
    const struct {
        std::vector<std::string_view> tags;
        LANGID expected;
    } cases[] = {
        {{}, ja},
        {{"ja"}, ja},
        {{"en-US", "ja"}, en},
        {{"fr-FR", "ja-JP", "en"}, ja},
        {{"fr-FR", "de"}, en},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::LanguageOfPreferences(c.tags), c.expected);
}

#ifndef __EMSCRIPTEN__
TEST(UiLanguage, LinuxReadsTheEnvironmentNotTheInstalledLocales) {
    setenv("LANGUAGE", "en", 1);
    EXPECT_EQ(GetUserDefaultUILanguage(), en);
    setenv("LANGUAGE", "ja", 1);
    EXPECT_EQ(GetUserDefaultUILanguage(), ja);
}
#endif

}  // namespace
