// GetUserDefaultUILanguage on the page: the browser's list of the player's languages, read once,
// as a Windows session's UI language stays for the life of the process.
#include <emscripten.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "ui_language.h"

// The browser's languages, comma-separated, into buffer; none outside a page (the suites under Node).
EM_JS(int, zum_preferred_languages, (char* buffer, int size), {
    if (typeof window === 'undefined' || typeof navigator === 'undefined') return 0;
    var list = navigator.languages && navigator.languages.length ? navigator.languages
                                                                  : [navigator.language || ""];
    return stringToUTF8(list.filter(function(tag) { return tag; }).join(','), buffer, size);
});

LANGID WINAPI GetUserDefaultUILanguage() {
    static const LANGID language = [] {
        char buffer[512];
        const std::string_view all(buffer, zum_preferred_languages(buffer, sizeof buffer));
        std::vector<std::string_view> tags;
        for (std::size_t start = 0; start < all.size();) {
            const std::size_t comma = std::min(all.find(',', start), all.size());
            tags.push_back(all.substr(start, comma - start));
            start = comma + 1;
        }
        return platform::LanguageOfPreferences(tags);
    }();
    return language;
}
