// The page's own words, beside the game's: its records buttons, the help panel's buttons, the
// closing screen and the refusals of a records file, kept in one table with a column per language.
#pragma once

namespace platform::web {

enum class PageText {
    kRecordsLabel,
    kSaveRecords,
    kLoadRecords,
    kMenuLabel,
    kHelpLabel,
    kHelpIndex,
    kHelpContents,
    kHelpClose,
    kEnded,
    kRestart,
    kBoxCaption,
    kRecordsNotRead,
    kRecordsTooLarge,
    kRecordsNotText,
    kRecordsNoSection,
    kRecordsNotStored,
    kRecordsUnreadable,
    kRecordsTaken,
    kRecordsNotSaved,
    kOfflineRefused,
};

// The text in UTF-8.
const char* Text(PageText text);

// Puts the texts of the page's own elements in place, before the game shows them.
void ShowPageTexts();

}  // namespace platform::web
