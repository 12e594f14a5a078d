// The page's own words in one table: the elements of index.html they fill, and the texts that
// the page's code says in the game's boxes.
#include "page_texts.h"

#include <string>

#include "page.h"

namespace platform::web {
namespace {

struct Entry {
    PageText text;
    const char* element;    // the id in index.html, or null for a text said in a box
    const char* attribute;  // the attribute it fills, or null for the element's text
    const char* japanese;
    const char* english;
};

constexpr Entry kTexts[] = {
    {PageText::kRecordsLabel, "records", "aria-label", "記録ファイル",
     "Records file"},
    {PageText::kSaveRecords, "records-save", nullptr, "記録を保存…",
     "Save records…"},
    {PageText::kLoadRecords, "records-load", nullptr, "記録を読み込む…",
     "Load records…"},
    {PageText::kMenuLabel, "menubar", "aria-label", "メニュー",
     "Menu"},
    {PageText::kHelpLabel, "help", "aria-label", "ヘルプ",
     "Help"},
    // Not a word but the book's first page, which the help panel opens in the same language.
    {PageText::kHelpIndex, "help", "data-index", "help/index.html",
     "help/en/index.html"},
    {PageText::kHelpContents, "help-contents", nullptr, "目次",
     "Contents"},
    {PageText::kHelpClose, "help-close", nullptr, "閉じる",
     "Close"},
    {PageText::kEnded, "ended-text", nullptr, "ゲームを終了しました。",
     "The game has ended."},
    {PageText::kRestart, "restart", nullptr, "もう一度遊ぶ",
     "Play again"},
    {PageText::kBoxCaption, nullptr, nullptr, "ずむのタイル32",
     "ずむのタイル32"},
    {PageText::kRecordsNotRead, nullptr, nullptr, "記録ファイルを読み込めませんでした。",
     "The records file could not be read."},
    {PageText::kRecordsTooLarge, nullptr, nullptr, "ファイルが 64 KiB を超えています。",
     "The file is larger than 64 KiB."},
    {PageText::kRecordsNotText, nullptr, nullptr, "テキストのファイルではありません。",
     "The file is not a text file."},
    {PageText::kRecordsNoSection, nullptr, nullptr, "[ずむタイ32] のセクションがありません。",
     "The file has no [ずむタイ32] section."},
    {PageText::kRecordsNotStored, nullptr, nullptr, "ブラウザーの記憶域に書き込めませんでした。",
     "The browser's storage could not be written."},
    {PageText::kRecordsUnreadable, nullptr, nullptr, "ファイルを読めませんでした。",
     "The file could not be read."},
    {PageText::kRecordsTaken, nullptr, nullptr, "記録ファイルを読み込みました。",
     "The records file was loaded."},
    {PageText::kRecordsNotSaved, nullptr, nullptr, "記録ファイルを保存できませんでした。",
     "The records file could not be saved."},
    {PageText::kOfflineRefused, nullptr, nullptr,
     "ネットワークなしで遊ぶための準備ができませんでした。\nネットワークにつながっている間は遊べます。",
     "The game could not be made ready to play without the network.\nIt can be played while online."},
};

}  // namespace

const char* Text(PageText text) {
    const bool english = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ENGLISH;
    for (const Entry& entry : kTexts)
        if (entry.text == text) return english ? entry.english : entry.japanese;
    return "";
}

void ShowPageTexts() {
    std::string json = "[";
    for (const Entry& entry : kTexts) {
        if (!entry.element) continue;
        if (json.size() > 1) json += ',';
        json += "[" + JsonString(entry.element) + "," +
                (entry.attribute ? JsonString(entry.attribute) : std::string("null")) + "," +
                JsonString(Text(entry.text)) + "]";
    }
    const bool english = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ENGLISH;
    zum_page_texts(english ? "en" : "ja", (json + "]").c_str());
}

}  // namespace platform::web
