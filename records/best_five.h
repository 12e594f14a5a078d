// Best-five tables: the sorted insertion of a new record and the name-entry dialog.
#pragma once

#include "windows.h"

// Sorts the candidate row into the current level's table as the file holds it now and writes
// the level's ranks; FALSE when the file did not take them.
BOOL InsertNewRecord();
// Whether the candidate row still beats the fifth best once the current level's table is read
// from the file again: another copy of the game may have entered better times since the load.
BOOL RecordStillPlaces();
INT_PTR EntryDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
