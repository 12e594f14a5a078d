// The settings and records file: the level and three best-five tables, loaded once at start.
#pragma once

#include "windows.h"

extern const char* const kIniFile;     // "ZUM32.INI"
extern const char* const kIniSection;  // "ずむタイ32"

void LoadSettings(HWND window);
// Writes the five empty entries of level index k (level k + 1) to memory and to the file;
// FALSE when the file did not take them.
BOOL ResetLevelRecords(int k);
// Writes the ten keys of one level's ranks 1..5, each name before its time; stops at the first
// write that fails and then answers FALSE.
BOOL WriteLevelRecords(int level);
// Reads ranks 1..5 of one level from the file again, where another copy of the game may have
// entered records since the load; a table the file holds incomplete leaves memory as it is.
void ReloadLevelRecords(int level);

// The message, registered by name, that tells the main window another program has put a whole
// records file in place of the one the game loaded (the browser's page does, when the player
// brings one).
UINT RecordsReplacedMessage();

// Keeps the other copies of the game from changing the file until UnlockRecordsFile, so that a
// read of the file, the change and its writes act as one; null when there is no such lock.
HANDLE LockRecordsFile();
// FALSE when the writes made under the lock did not reach the file: some systems store them
// only as the lock is let go, so that a table is replaced whole or not at all.
BOOL UnlockRecordsFile(HANDLE lock);

// Tells the player, in a box owned by owner, that a change of the records was not saved.
void ReportUnsavedRecords(HWND owner);
