// The player's language settings turned into the game's language, the same on every platform.
#include "ui_language.h"

#include <cctype>
#include <string>

namespace platform {

namespace {

struct GameLanguage {
    const char* code;  // ISO 639-1, as the first part of a locale name or language tag
    LANGID id;
};

// The languages that the resources carry; a new language is one more row.
constexpr GameLanguage kLanguages[] = {{"ja", kJapanese}, {"en", kEnglish}};

// The language part of a locale name or tag, lower case: "ja_JP.UTF-8" and "ja-JP" give "ja".
std::string LanguagePart(std::string_view name) {
    std::string part(name.substr(0, name.find_first_of("_-.@")));
    for (char& c : part) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return part;
}

// Whether a locale variable asks for a language at all: set, and neither C nor POSIX.
bool NamesALanguage(const char* value) {
    if (!value || !*value) return false;
    const std::string part = LanguagePart(value);
    return part != "c" && part != "posix";
}

}  // namespace

LANGID GameLanguageOf(std::string_view name) {
    const std::string part = LanguagePart(name);
    for (const GameLanguage& language : kLanguages)
        if (part == language.code) return language.id;
    return 0;
}

LANGID LanguageOfLocaleVariables(const char* language, const char* lcAll, const char* lcMessages,
                                 const char* lang) {
    if (language) {
        bool asked = false;
        std::string_view list(language);
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            const std::string entry(list.substr(0, colon));
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
            if (!NamesALanguage(entry.c_str())) continue;
            if (const LANGID id = GameLanguageOf(entry)) return id;
            asked = true;
        }
        if (asked) return kEnglish;
    }
    for (const char* value : {lcAll, lcMessages, lang})
        if (NamesALanguage(value)) return GameLanguageOf(value) == kJapanese ? kJapanese : kEnglish;
    return kJapanese;
}

LANGID LanguageOfPreferences(const std::vector<std::string_view>& tags) {
    if (tags.empty()) return kJapanese;
    for (std::string_view tag : tags)
        if (const LANGID id = GameLanguageOf(tag)) return id;
    return kEnglish;
}

}  // namespace platform
