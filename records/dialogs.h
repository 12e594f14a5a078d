// The records, properties and about dialogs.
#pragma once

#include "windows.h"

INT_PTR ScoreDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR PropertyDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// Answers the platform's WM_ACC_CHILDTEXT with a control's text for a screen reader (CP932), as a
// dialog procedure answers: TRUE, the length in DWLP_MSGRESULT; FALSE when the buffer is too small.
INT_PTR AnswerChildText(HWND dialog, WPARAM wParam, LPARAM lParam, const char* text);
