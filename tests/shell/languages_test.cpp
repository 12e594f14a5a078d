// Every word of the game in Japanese and in English, entry for entry: no Japanese in English but
// the game's name, and the same printf conversions.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>

#include "resource_table.h"

namespace {

bool HasJapanese(std::u16string s) {
    for (std::size_t at; (at = s.find(u"ずむのタイル32")) != s.npos;) s.erase(at, 8);
    return std::any_of(s.begin(), s.end(), [](char16_t c) {
        return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || c >= 0xFF00;
    });
}

std::string Conversions(const std::u16string& text) {
    std::string ascii, out;
    for (char16_t c : text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    static const std::regex conversion("%[-+ #0-9.]*[a-zA-Z%]");  // "%d位 %s秒" gives "%d%s"
    for (std::sregex_iterator it(ascii.begin(), ascii.end(), conversion), end; it != end; ++it)
        out += it->str();
    return out;
}

TEST(LanguagesTest, EveryTextHasAnEnglishFormWithTheSameConversions) {
    std::map<std::string, std::u16string> texts[2];  // Japanese, English: where -> its text
    for (int i = 0; i < kModuleResources.count; ++i) {
        const rc::Entry& e = kModuleResources.entries[i];
        if (e.language == 0) continue;
        const bool english = e.language == 0x0409;
        ASSERT_TRUE(english || e.language == 0x0411) << e.name;
        auto add = [&](const std::string& at, const char16_t* t) {  // "=" marks it present
            texts[english][e.name + at] = u"=" + std::u16string(t ? t : u"");
        };
        add(std::to_string(e.typeId) + "#", nullptr);  // every resource, bitmaps too
        if (e.kind == rc::Kind::Strings) {
            for (int k = 0; k < 16; ++k)
                if (const char16_t* t = static_cast<const rc::StringBlock*>(e.structured)->texts[k])
                    add(std::to_string(k), t);
        } else if (e.kind == rc::Kind::Menu) {
            const auto* m = static_cast<const rc::Menu*>(e.structured);
            for (int k = 0; k < m->count; ++k)
                for (int c = -1; c < m->items[k].childCount; ++c) {
                    const rc::MenuItem& item = c < 0 ? m->items[k] : m->items[k].children[c];
                    add(std::to_string(k) + "." + std::to_string(c) + " " + std::to_string(item.id),
                        item.text);
                }
        } else if (e.kind == rc::Kind::Dialog) {
            const auto* d = static_cast<const rc::DialogTemplate*>(e.structured);
            add("", d->caption);
            for (int k = 0; k < d->controlCount; ++k)  // the same id and style in the same place
                add(std::to_string(k) + " " + std::to_string(d->controls[k].id) + " " +
                        std::to_string(d->controls[k].style), d->controls[k].text);
        }
    }
    EXPECT_TRUE(texts[0].size() > 90 && texts[0].size() == texts[1].size());
    for (const auto& [where, japanese] : texts[0]) {
        EXPECT_FALSE(texts[1][where].empty() || HasJapanese(texts[1][where])) << where;
        EXPECT_EQ(Conversions(japanese), Conversions(texts[1][where])) << where;
    }
}

}  // namespace
