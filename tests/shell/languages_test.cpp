// Every word of the game exists in Japanese and in English: the string table, the menu and the
// dialogs, entry for entry; English carries no Japanese but the game's name, and each format the
// same conversions in both.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "resource_table.h"
#include "windows.h"

namespace {

constexpr std::uint16_t kJapanese = 0x0411, kEnglish = 0x0409;

std::string Utf8(const char16_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        const char16_t c = *text;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Kana, CJK punctuation and ideographs, full-width forms: what an English reader cannot read.
bool HasJapanese(std::u16string text) {
    const std::u16string name = u"ずむのタイル32";
    for (std::size_t at; (at = text.find(name)) != std::u16string::npos;) text.erase(at, name.size());
    for (char16_t c : text)
        if ((c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF))
            return true;
    return false;
}

// The printf conversions of a text, in order: "%d位 %s秒 %s" gives "%d %s %s".
std::string Conversions(const std::u16string& text) {
    static const std::regex conversion("%[-+ #0]*[0-9]*(\\.[0-9]+)?[a-zA-Z%]");
    std::string utf8 = Utf8(text.c_str()), out;
    for (std::sregex_iterator it(utf8.begin(), utf8.end(), conversion), end; it != end; ++it)
        out += it->str() + " ";
    return out;
}

struct Text {
    std::string where;
    std::u16string japanese, english;
};

const rc::Entry* Find(const char* name, std::uint16_t type, std::uint16_t language) {
    for (int i = 0; i < kModuleResources.count; ++i) {
        const rc::Entry& e = kModuleResources.entries[i];
        if (e.typeId == type && e.language == language && std::string(e.name) == name) return &e;
    }
    return nullptr;
}

void AddMenuTexts(const rc::MenuItem* ja, const rc::MenuItem* en, int count, const std::string& where,
                  std::vector<Text>& texts) {
    for (int i = 0; i < count; ++i) {
        const std::string at = where + "/" + std::to_string(i);
        ASSERT_EQ(ja[i].id, en[i].id) << at;
        ASSERT_EQ(ja[i].flags, en[i].flags) << at;
        ASSERT_EQ(ja[i].childCount, en[i].childCount) << at;
        ASSERT_EQ(!ja[i].text, !en[i].text) << at;
        if (ja[i].text) texts.push_back({at, ja[i].text, en[i].text});
        AddMenuTexts(ja[i].children, en[i].children, ja[i].childCount, at, texts);
    }
}

// Every text of both languages, side by side; a resource or string of one language alone fails.
std::vector<Text> AllTexts() {
    std::vector<Text> texts;
    std::map<int, std::u16string> strings[2];
    for (int i = 0; i < kModuleResources.count; ++i) {
        const rc::Entry& e = kModuleResources.entries[i];
        if (e.language == 0) continue;
        EXPECT_TRUE(e.language == kJapanese || e.language == kEnglish) << e.name;
        const std::uint16_t other = e.language == kJapanese ? kEnglish : kJapanese;
        const rc::Entry* twin = Find(e.name, e.typeId, other);
        EXPECT_NE(twin, nullptr) << e.name << " has one language";
        // A bitmap's words change, never its header, size or colour table.
        if (twin && e.kind == rc::Kind::Bytes && e.typeId == 2) {
            EXPECT_EQ(e.size, twin->size) << e.name;
            EXPECT_EQ(std::memcmp(e.bytes, twin->bytes, 40 + 256 * 4), 0) << e.name;
        }
        if (e.kind != rc::Kind::Strings) continue;
        const int block = std::stoi(e.name + 1) - 1;
        for (int k = 0; k < 16; ++k) {
            const char16_t* t = static_cast<const rc::StringBlock*>(e.structured)->texts[k];
            if (t) strings[e.language == kEnglish][block * 16 + k] = t;
        }
    }
    for (const auto& [id, japanese] : strings[0]) {
        EXPECT_EQ(strings[1].count(id), 1u) << "string " << id << " has no English";
        texts.push_back({"string " + std::to_string(id), japanese, strings[1][id]});
    }
    EXPECT_EQ(strings[0].size(), strings[1].size()) << "a string has no Japanese";

    const auto* jaMenu = Find("MENU_ZUM32", 4, kJapanese);
    const auto* enMenu = Find("MENU_ZUM32", 4, kEnglish);
    if (jaMenu && enMenu) {
        const auto* ja = static_cast<const rc::Menu*>(jaMenu->structured);
        const auto* en = static_cast<const rc::Menu*>(enMenu->structured);
        EXPECT_EQ(ja->count, en->count);
        if (ja->count == en->count) AddMenuTexts(ja->items, en->items, ja->count, "menu", texts);
    }
    for (const char* name : {"DLG_ENTRY", "DLG_SCORE", "DLG_PROPATY", "DLG_ABOUT"}) {
        const rc::Entry* ja = Find(name, 5, kJapanese);
        const rc::Entry* en = Find(name, 5, kEnglish);
        EXPECT_TRUE(ja && en) << name;
        if (!ja || !en) continue;
        const auto* jd = static_cast<const rc::DialogTemplate*>(ja->structured);
        const auto* ed = static_cast<const rc::DialogTemplate*>(en->structured);
        texts.push_back({name, jd->caption, ed->caption});
        EXPECT_EQ(jd->controlCount, ed->controlCount) << name;
        for (int i = 0; i < jd->controlCount && i < ed->controlCount; ++i) {
            const rc::DialogControl &jc = jd->controls[i], &ec = ed->controls[i];
            const std::string at = std::string(name) + " control " + std::to_string(i);
            EXPECT_EQ(jc.id, ec.id) << at;
            EXPECT_EQ(std::u16string(jc.className), std::u16string(ec.className)) << at;
            EXPECT_EQ(jc.style, ec.style) << at;
            texts.push_back({at, jc.text, ec.text});
        }
    }
    return texts;
}

TEST(LanguagesTest, EveryTextHasAnEnglishFormWithTheSameConversions) {
    const std::vector<Text> texts = AllTexts();
    EXPECT_GT(texts.size(), 60u);
    for (const Text& t : texts) {
        SCOPED_TRACE(t.where + ": " + Utf8(t.japanese.c_str()) + " / " + Utf8(t.english.c_str()));
        EXPECT_EQ(t.japanese.empty(), t.english.empty());
        EXPECT_FALSE(HasJapanese(t.english));
        EXPECT_EQ(Conversions(t.japanese), Conversions(t.english));
    }
}

TEST(LanguagesTest, TheCheckCatchesJapaneseAndConversionsOutOfStep) {
    EXPECT_FALSE(HasJapanese(u"About ずむのタイル32..."));
    EXPECT_TRUE(HasJapanese(u"Level 初級"));
    EXPECT_TRUE(HasJapanese(u"【Records】"));
    EXPECT_EQ(Conversions(u"%d位 %s秒 %s"), Conversions(u"Rank %d, %s seconds, %s"));
    EXPECT_NE(Conversions(u"%d位 %s秒"), Conversions(u"%s seconds, rank %d"));
    EXPECT_EQ(Conversions(u"100%% %5.1f"), "%% %5.1f ");
}

}  // namespace
