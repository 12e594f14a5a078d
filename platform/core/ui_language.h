// The rules that turn the player's language settings into the language the game shows.
#pragma once

#include <string_view>
#include <vector>

#include "windows.h"

namespace platform {

constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The game's language that a locale name or language tag names ("ja_JP.UTF-8", "en-US"), or 0.
LANGID GameLanguageOf(std::string_view name);

// Linux: the first of LANGUAGE (a colon list, its first language that the game has), LC_ALL,
// LC_MESSAGES and LANG that is set and not C/POSIX; Japanese when none is. Null means unset.
LANGID LanguageOfLocaleVariables(const char* language, const char* lcAll, const char* lcMessages,
                                 const char* lang);

// The page: the first of the browser's languages that the game has; English when it has none of
// them, Japanese when the list is empty.
LANGID LanguageOfPreferences(const std::vector<std::string_view>& tags);

}  // namespace platform
