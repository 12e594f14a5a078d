// Every word of the game exists in Japanese and in English: strings, menu, dialogs and bitmaps,
// entry for entry; English carries no Japanese but the game's name, and formats keep their
// conversions.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <regex>
#include <string>

#include "resource_table.h"

namespace {

constexpr std::uint16_t kJapanese = 0x0411, kEnglish = 0x0409;

// Kana, CJK punctuation and ideographs, full-width forms; the game's name is the brand.
bool HasJapanese(std::u16string text) {
    const std::u16string name = u"ずむのタイル32";
    for (std::size_t at; (at = text.find(name)) != std::u16string::npos;) text.erase(at, name.size());
    for (char16_t c : text)
        if ((c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || c >= 0xFF00) return true;
    return false;
}

// The printf conversions in order: "%d位 %s秒" gives "%d%s".
std::string Conversions(const std::u16string& text) {
    std::string ascii, out;
    for (char16_t c : text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    static const std::regex conversion("%[-+ #0-9.]*[a-zA-Z%]");
    for (std::sregex_iterator it(ascii.begin(), ascii.end(), conversion), end; it != end; ++it)
        out += it->str();
    return out;
}

const rc::Entry* Find(const char* name, std::uint16_t type, std::uint16_t language) {
    for (int i = 0; i < kModuleResources.count; ++i) {
        const rc::Entry& e = kModuleResources.entries[i];
        if (e.typeId == type && e.language == language && !std::strcmp(e.name, name)) return &e;
    }
    return nullptr;
}

using Pairs = std::map<std::string, std::pair<std::u16string, std::u16string>>;

void AddMenu(const rc::MenuItem* items, int count, const std::string& at, bool english,
             Pairs& texts) {
    for (int i = 0; i < count; ++i) {
        const std::string here = at + "/" + std::to_string(items[i].id) + "." + std::to_string(i);
        (english ? texts[here].second : texts[here].first) = items[i].text ? items[i].text : u"=";
        AddMenu(items[i].children, items[i].childCount, here, english, texts);
    }
}

TEST(LanguagesTest, EveryTextHasAnEnglishFormWithTheSameConversions) {
    Pairs texts;  // where -> (Japanese, English)
    for (int i = 0; i < kModuleResources.count; ++i) {
        const rc::Entry& e = kModuleResources.entries[i];
        if (e.language == 0) continue;
        const bool english = e.language == kEnglish;
        const rc::Entry* twin = Find(e.name, e.typeId, english ? kJapanese : kEnglish);
        ASSERT_TRUE(twin && (english || e.language == kJapanese)) << e.name << " " << e.language;
        auto text = [&](const std::string& where, const char16_t* t) {  // "=" marks it present
            (english ? texts[where].second : texts[where].first) = u"=" + std::u16string(t);
        };
        if (e.kind == rc::Kind::Bytes) {  // a bitmap's words change, never its header and colours
            EXPECT_TRUE(e.size == twin->size && !std::memcmp(e.bytes, twin->bytes, 1064)) << e.name;
        } else if (e.kind == rc::Kind::Strings) {
            for (int k = 0; k < 16; ++k)
                if (const char16_t* t = static_cast<const rc::StringBlock*>(e.structured)->texts[k])
                    text(std::string("string ") + e.name + "." + std::to_string(k), t);
        } else if (e.kind == rc::Kind::Menu) {
            const auto* m = static_cast<const rc::Menu*>(e.structured);
            AddMenu(m->items, m->count, e.name, english, texts);
        } else if (e.kind == rc::Kind::Dialog) {
            const auto* d = static_cast<const rc::DialogTemplate*>(e.structured);
            text(e.name, d->caption);
            for (int k = 0; k < d->controlCount; ++k)  // the same id and style in the same place
                text(std::string(e.name) + " " + std::to_string(d->controls[k].id) + "." +
                         std::to_string(k) + " " + std::to_string(d->controls[k].style),
                     d->controls[k].text);
        }
    }
    EXPECT_GT(texts.size(), 90u);
    for (const auto& [where, t] : texts) {
        EXPECT_TRUE(!t.first.empty() && !t.second.empty()) << where << " is in one language";
        EXPECT_FALSE(HasJapanese(t.second)) << where;
        EXPECT_EQ(Conversions(t.first), Conversions(t.second)) << where;
    }
}

}  // namespace
