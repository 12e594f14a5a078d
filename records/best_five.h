// Best-five tables: the sorted insertion of a new record and the name-entry dialog.
#pragma once

#include "windows.h"

// Sorts the candidate row into the current level's table as the file holds it now and writes
// the level's ranks; FALSE when the file did not take them.
BOOL InsertNewRecord();
INT_PTR EntryDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
