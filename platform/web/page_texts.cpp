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
};

constexpr Entry kTexts[] = {
    {PageText::kRecordsLabel, "records", "aria-label", "記録ファイル"},
    {PageText::kSaveRecords, "records-save", nullptr, "記録を保存…"},
    {PageText::kLoadRecords, "records-load", nullptr, "記録を読み込む…"},
    {PageText::kMenuLabel, "menubar", "aria-label", "メニュー"},
    {PageText::kHelpLabel, "help", "aria-label", "ヘルプ"},
    {PageText::kHelpLabel, "help-page", "title", "ヘルプ"},
    {PageText::kHelpContents, "help-contents", nullptr, "目次"},
    {PageText::kHelpClose, "help-close", nullptr, "閉じる"},
    {PageText::kEnded, "ended-text", nullptr, "ゲームを終了しました。"},
    {PageText::kRestart, "restart", nullptr, "もう一度遊ぶ"},
    {PageText::kBoxCaption, nullptr, nullptr, "ずむのタイル32"},
    {PageText::kRecordsNotRead, nullptr, nullptr, "記録ファイルを読み込めませんでした。"},
    {PageText::kRecordsTooLarge, nullptr, nullptr, "ファイルが 64 KiB を超えています。"},
    {PageText::kRecordsNotText, nullptr, nullptr, "テキストのファイルではありません。"},
    {PageText::kRecordsNoSection, nullptr, nullptr, "[ずむタイ32] のセクションがありません。"},
    {PageText::kRecordsNotStored, nullptr, nullptr, "ブラウザーの記憶域に書き込めませんでした。"},
    {PageText::kRecordsUnreadable, nullptr, nullptr, "ファイルを読めませんでした。"},
    {PageText::kRecordsTaken, nullptr, nullptr, "記録ファイルを読み込みました。"},
    {PageText::kRecordsNotSaved, nullptr, nullptr, "記録ファイルを保存できませんでした。"},
    {PageText::kOfflineRefused, nullptr, nullptr,
     "ネットワークなしで遊ぶための準備ができませんでした。\nネットワークにつながっている間は遊べます。"},
};

}  // namespace

const char* Text(PageText text) {
    for (const Entry& entry : kTexts)
        if (entry.text == text) return entry.japanese;
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
    zum_page_texts((json + "]").c_str());
}

}  // namespace platform::web
