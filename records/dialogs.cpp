// The records, properties and about dialogs.
#include "records/dialogs.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "game/game_state.h"
#include "records/settings.h"
#include "resource.h"
#include "shell/media.h"
#include "shell/texts.h"

namespace {

void SetTimeText(HWND dialog, int id, std::int32_t time) {
    char text[16];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(time));
    SetDlgItemTextA(dialog, id, text);
}

// The best entry of a level, shown beside its radio button.
void ShowBest(HWND dialog, int level) {
    const LevelRecords& table = GameState.records[level - 1];
    SetTimeText(dialog, IDC_PROP_TIME1 + level - 1, table.times[0]);
    SetDlgItemTextA(dialog, IDC_PROP_NAME1 + level - 1, table.names[0]);
}

// A row of the records as one text: rank, time and name. A screen reader skips a dialog's
// labels of fewer than three words, so an empty name is said as such.
std::string RecordRowText(HWND dialog, int row) {
    char time[16];
    char name[17];
    GetDlgItemTextA(dialog, IDC_SCORE_TIME1 + row, time, sizeof time);
    GetDlgItemTextA(dialog, IDC_SCORE_NAME1 + row, name, sizeof name);
    return FormatText(IDS_RECORD_ROW, row + 1, time, name[0] ? name : LoadText(IDS_NO_NAME).c_str());
}

}  // namespace

LRESULT CopyChildText(WPARAM wParam, LPARAM lParam, const char* text) {
    char* buffer = reinterpret_cast<char*>(lParam);
    const std::size_t size = HIWORD(wParam);
    if (!buffer || size == 0) return 0;
    // Cut on a whole character, as every text of the game is CP932.
    std::size_t length = 0;
    while (text[length] != '\0') {
        const std::size_t width = IsDBCSLeadByte(static_cast<BYTE>(text[length])) ? 2 : 1;
        if (length + width >= size) break;
        length += width;
    }
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

INT_PTR AnswerChildText(HWND dialog, WPARAM wParam, LPARAM lParam, const char* text) {
    const LRESULT length = CopyChildText(wParam, lParam, text);
    if (length == 0) return FALSE;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, static_cast<LONG_PTR>(length));
    return TRUE;
}

INT_PTR ScoreDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: {
            const std::string level = LoadText(IDS_LEVEL_NAME + GameState.level);
            SetWindowTextA(dialog, FormatText(IDS_SCORE_CAPTION, level.c_str()).c_str());
            const LevelRecords& table = GameState.records[GameState.level - 1];
            for (int row = 0; row < 5; ++row) {
                SetTimeText(dialog, IDC_SCORE_TIME1 + row, table.times[row]);
                SetDlgItemTextA(dialog, IDC_SCORE_NAME1 + row, table.names[row]);
            }
            SetFocus(GetDlgItem(dialog, IDC_SCORE_OK));
            return 0;
        }
        case WM_ACC_CHILDTEXT: {
            // The name of each row carries the whole row.
            const int row = LOWORD(wParam) - IDC_SCORE_NAME1;
            if (row < 0 || row > 4) return 0;
            return AnswerChildText(dialog, wParam, lParam, RecordRowText(dialog, row).c_str());
        }
        case WM_COMMAND:
            if (LOWORD(wParam) != IDC_SCORE_OK) return 0;
            PlayCue("MENU");
            EndDialog(dialog, 1);
            return 1;
        default:
            return 0;
    }
}

INT_PTR PropertyDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            CheckRadioButton(dialog, IDC_PROP_LEVEL1, IDC_PROP_LEVEL3,
                             IDC_PROP_LEVEL1 + GameState.level - 1);
            for (int level = 1; level <= 3; ++level) ShowBest(dialog, level);
            SetFocus(GetDlgItem(dialog, IDC_PROP_OK));
            return 0;
        case WM_ACC_CHILDTEXT: {
            // The three clear buttons look alike; each is told by its level.
            const int k = LOWORD(wParam) - IDC_PROP_CLEAR1;
            if (k < 0 || k > 2) return 0;
            const std::string level = LoadText(IDS_LEVEL_NAME + k + 1);
            const std::string text = FormatText(IDS_CLEAR_RECORDS, level.c_str());
            return AnswerChildText(dialog, wParam, lParam, text.c_str());
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_PROP_OK: {
                    PlayCue("MENU");
                    static const char* const kLevelText[3] = {"1", "2", "3"};
                    // With no button checked the level stays and is written again.
                    const char* levelText = kLevelText[GameState.level - 1];
                    for (int i = 0; i < 3; ++i) {
                        if (IsDlgButtonChecked(dialog, IDC_PROP_LEVEL1 + i) == BST_CHECKED) {
                            GameState.level = i + 1;
                            levelText = kLevelText[i];
                        }
                    }
                    if (!WritePrivateProfileStringA(kIniSection, "LEVEL", levelText, kIniFile))
                        ReportUnsavedRecords(dialog);
                    EndDialog(dialog, 1);
                    return 1;
                }
                case IDC_PROP_CANCEL:
                    PlayCue("MENU");
                    EndDialog(dialog, 1);
                    return 1;
                case IDC_PROP_CLEAR1:
                case IDC_PROP_CLEAR2:
                case IDC_PROP_CLEAR3: {
                    int k = LOWORD(wParam) - IDC_PROP_CLEAR1;
                    bool saved = ResetLevelRecords(k);
                    ShowBest(dialog, k + 1);
                    if (!saved) ReportUnsavedRecords(dialog);
                    return 1;
                }
                default:
                    return 0;
            }
        default:
            return 0;
    }
}

INT_PTR AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            SetFocus(GetDlgItem(dialog, IDC_ABOUT_OK));
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDC_ABOUT_OK) return 0;
            PlayCue("MENU");
            EndDialog(dialog, 1);
            return 1;
        default:
            return 0;
    }
}
