// Best-five tables: the sorted insertion of a new record and the name-entry dialog.
#include "records/best_five.h"

#include <cstring>

#include "game/game_state.h"
#include "records/dialogs.h"
#include "records/settings.h"
#include "resource.h"
#include "shell/media.h"
#include "shell/texts.h"

BOOL InsertNewRecord() {
    // Another copy of the game may have entered records at this level since the load: the
    // table is read again under the lock, so that its records and this one all stay.
    HANDLE lock = LockRecordsFile();
    ReloadLevelRecords(GameState.level);
    LevelRecords& table = GameState.records[GameState.level - 1];
    // This exact exchange order decides where equal times end up; it is part of the records'
    // look, so it stays as it is rather than becoming a stable sort.
    for (int i = 5; i >= 0; --i) {
        for (int j = 5; j >= 0; --j) {
            if (table.times[j] < table.times[i]) {
                std::int32_t time = table.times[i];
                table.times[i] = table.times[j];
                table.times[j] = time;
                char name[17];
                std::memcpy(name, table.names[i], sizeof name);
                std::memcpy(table.names[i], table.names[j], sizeof name);
                std::memcpy(table.names[j], name, sizeof name);
            }
        }
    }
    BOOL saved = WriteLevelRecords(GameState.level);
    return UnlockRecordsFile(lock) && saved;
}

BOOL RecordStillPlaces() {
    ReloadLevelRecords(GameState.level);
    const LevelRecords& table = GameState.records[GameState.level - 1];
    return table.times[5] < table.times[4];
}

INT_PTR EntryDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            SendDlgItemMessageA(dialog, IDC_ENTRY_NAME, EM_LIMITTEXT, 16, 0);
            SetDlgItemTextA(dialog, IDC_ENTRY_NAME, "");
            SetDlgItemTextA(dialog, IDC_ENTRY_LEVEL, LoadText(IDS_LEVEL_NAME + GameState.level).c_str());
            SetFocus(GetDlgItem(dialog, IDC_ENTRY_NAME));
            return 0;
        case WM_ACC_CHILDTEXT:
            // The prompt comes after the edit in the template, so Windows' rule would name the
            // edit by the static before it, 「のベスト5入賞です。」.
            if (LOWORD(wParam) != IDC_ENTRY_NAME) return 0;
            return AnswerChildText(dialog, wParam, lParam, LoadText(IDS_ENTER_NAME).c_str());
        case WM_COMMAND:
            if (LOWORD(wParam) != IDC_ENTRY_OK) return 0;
            PlayCue("MENU");
            {
                char name[17];
                GetDlgItemTextA(dialog, IDC_ENTRY_NAME, name, sizeof name);
                std::memcpy(GameState.records[GameState.level - 1].names[5], name, sizeof name);
            }
            if (!InsertNewRecord()) ReportUnsavedRecords(dialog);
            EndDialog(dialog, 1);
            return 1;
        default:
            return 0;
    }
}
