// The records, properties and about dialogs.
#pragma once

#include "windows.h"

INT_PTR ScoreDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR PropertyDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// Puts a text for a screen reader (CP932) into the buffer of WM_ACC_CHILDTEXT, cut on a whole
// character where the buffer is smaller; the length written.
LRESULT CopyChildText(WPARAM wParam, LPARAM lParam, const char* text);
// Answers WM_ACC_CHILDTEXT with a control's text as a dialog procedure answers: TRUE, the length
// in DWLP_MSGRESULT; FALSE when nothing could be written.
INT_PTR AnswerChildText(HWND dialog, WPARAM wParam, LPARAM lParam, const char* text);
