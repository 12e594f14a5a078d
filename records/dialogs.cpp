// The records, properties and about dialogs.
#include "records/dialogs.h"

#include <cstdio>

#include "game/game_state.h"
#include "records/settings.h"
#include "resource.h"
#include "shell/media.h"

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

}  // namespace

INT_PTR ScoreDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    static const char* const kCaptions[4] = {"", "記録 【初級】", "記録 【中級】", "記録 【上級】"};
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowTextA(dialog, kCaptions[GameState.level]);
            const LevelRecords& table = GameState.records[GameState.level - 1];
            for (int row = 0; row < 5; ++row) {
                SetTimeText(dialog, IDC_SCORE_TIME1 + row, table.times[row]);
                SetDlgItemTextA(dialog, IDC_SCORE_NAME1 + row, table.names[row]);
            }
            SetFocus(GetDlgItem(dialog, IDC_SCORE_OK));
            return 0;
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

INT_PTR PropertyDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            CheckRadioButton(dialog, IDC_PROP_LEVEL1, IDC_PROP_LEVEL3,
                             IDC_PROP_LEVEL1 + GameState.level - 1);
            for (int level = 1; level <= 3; ++level) ShowBest(dialog, level);
            SetFocus(GetDlgItem(dialog, IDC_PROP_OK));
            return 0;
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
