// The main window's client area for a screen reader (Microsoft Active Accessibility).
#pragma once

#include <windows.h>

// WM_GETOBJECT for OBJID_CLIENT: the board's object, made at a reader's first ask; 0 once the
// window is destroyed.
LRESULT AnswerBoardObject(HWND window, WPARAM wParam);
// The window is destroyed: a reader that still holds the object gets CO_E_OBJNOTCONNECTED.
void DisconnectBoardObject();
// The game's focus event named child: the reader's attention, told by get_accFocus and the states.
void NoteReaderFocus(LONG child);
