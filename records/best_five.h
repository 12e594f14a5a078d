// Best-five tables: the sorted insertion of a new record and the name-entry dialog.
#pragma once

#include "windows.h"

void InsertNewRecord();
INT_PTR EntryDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
