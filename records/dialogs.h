// The records, properties and about dialogs.
#pragma once

#include "windows.h"

INT_PTR ScoreDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR PropertyDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
