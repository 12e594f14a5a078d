// The settings and records file: the level and three best-five tables, loaded once at start.
#include "records/settings.h"

#include <cstdio>
#include <cstring>

#include "game/game_state.h"
#include "resource.h"
#include "shell/texts.h"

const char* const kIniFile = "ZUM32.INI";
const char* const kIniSection = "ずむタイ32";

namespace {

constexpr int kAbsentLevel = 1000;
constexpr char kEmptyName[] = "NO DATA";
constexpr int kEmptyTime = 9999;

void FormatKey(char* key, std::size_t size, const char* kind, int rank, int level) {
    std::snprintf(key, size, "%s%d(%d)", kind, rank, level);
}

// True when the key is in the file. Two reads with different defaults tell a stored text
// from a missing key, so a player called "NOTHING" keeps their records.
bool ReadName(const char* key, char* name) {
    GetPrivateProfileStringA(kIniSection, key, "NOTHING", name, 17, kIniFile);
    if (std::strcmp(name, "NOTHING") != 0) return true;
    char probe[17];
    GetPrivateProfileStringA(kIniSection, key, "", probe, sizeof probe, kIniFile);
    return std::strcmp(probe, "NOTHING") == 0;
}

// True when all five ranks of the level were read with a name and a time other than 0.
bool ReadLevel(int level, LevelRecords& table) {
    char key[32];
    for (int rank = 1; rank <= 5; ++rank) {
        FormatKey(key, sizeof key, "NAME", rank, level);
        if (!ReadName(key, table.names[rank - 1])) return false;
        FormatKey(key, sizeof key, "TIME", rank, level);
        table.times[rank - 1] =
            static_cast<std::int32_t>(GetPrivateProfileIntA(kIniSection, key, 0, kIniFile));
        if (table.times[rank - 1] == 0) return false;
    }
    return true;
}

}  // namespace

void LoadSettings(HWND window) {
    GameState.level =
        static_cast<std::int32_t>(GetPrivateProfileIntA(kIniSection, "LEVEL", kAbsentLevel, kIniFile));
    // A level outside 1..3 would index past the level tables: it counts as absent.
    if (GameState.level < 1 || GameState.level > 3) {
        WritePrivateProfileStringA(kIniSection, "LEVEL", "2", kIniFile);
        GameState.level = 2;
    }
    for (int level = 1; level <= 3; ++level) {
        if (ReadLevel(level, GameState.records[level - 1])) continue;
        const std::string text = FormatText(IDS_NO_DATA, LoadText(IDS_LEVEL_NAME + level).c_str());
        MessageBoxA(window, text.c_str(), LoadText(IDS_APP_NAME).c_str(), MB_OK | MB_ICONSTOP);
        ResetLevelRecords(level - 1);
    }
}

BOOL ResetLevelRecords(int k) {
    LevelRecords& table = GameState.records[k];
    for (int rank = 1; rank <= 5; ++rank) {
        std::strcpy(table.names[rank - 1], kEmptyName);
        table.times[rank - 1] = kEmptyTime;
    }
    HANDLE lock = LockRecordsFile();
    BOOL saved = WriteLevelRecords(k + 1);
    return UnlockRecordsFile(lock) && saved;
}

BOOL WriteLevelRecords(int level) {
    const LevelRecords& table = GameState.records[level - 1];
    char key[32];
    char value[16];
    // After a failed write the file still holds whole entries of the old table; writing on
    // could mix the two.
    for (int rank = 1; rank <= 5; ++rank) {
        FormatKey(key, sizeof key, "NAME", rank, level);
        if (!WritePrivateProfileStringA(kIniSection, key, table.names[rank - 1], kIniFile))
            return FALSE;
        FormatKey(key, sizeof key, "TIME", rank, level);
        std::snprintf(value, sizeof value, "%d", table.times[rank - 1]);
        if (!WritePrivateProfileStringA(kIniSection, key, value, kIniFile)) return FALSE;
    }
    return TRUE;
}

void ReloadLevelRecords(int level) {
    LevelRecords& table = GameState.records[level - 1];
    LevelRecords stored = table;
    if (!ReadLevel(level, stored)) return;
    std::memcpy(table.times, stored.times, 5 * sizeof table.times[0]);
    std::memcpy(table.names, stored.names, 5 * sizeof table.names[0]);
}

UINT RecordsReplacedMessage() {
    static const UINT message = RegisterWindowMessageA(RECORDS_REPLACED_MESSAGE);
    return message;
}

HANDLE LockRecordsFile() {
    HANDLE lock = CreateMutexA(nullptr, FALSE, "MUTEX_ZUM32");
    if (!lock) return nullptr;
    // A copy that ended while it held the lock leaves it to us; one that holds it for this long
    // is stuck, and going on without it still writes whole files.
    DWORD waited = WaitForSingleObject(lock, 10000);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(lock);
        return nullptr;
    }
    return lock;
}

BOOL UnlockRecordsFile(HANDLE lock) {
    if (!lock) return TRUE;
    BOOL released = ReleaseMutex(lock);
    CloseHandle(lock);
    return released;
}

void ReportUnsavedRecords(HWND owner) {
    const std::string text = FormatText(IDS_UNSAVED, kIniFile);
    MessageBoxA(owner, text.c_str(), LoadText(IDS_APP_NAME).c_str(), MB_OK | MB_ICONSTOP);
}
