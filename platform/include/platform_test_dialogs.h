// Hooks through which tests act inside a modal dialog (from the handler that SetDialogHandler
// installs) and read what it shows; the game never calls them. Texts are CP932.
#pragma once

#include <cstddef>
#include <string>

#include "platform_test.h"
#include "windows.h"

namespace platform_test {

inline std::string DialogCaption(HWND dialog) { return WindowText(dialog); }
std::string DialogItemText(HWND dialog, int id);  // empty when no such control
bool DialogItemChecked(HWND dialog, int id);
int FocusedDialogItem(HWND dialog);         // id of the control with the focus; 0 for none
std::size_t EditLimit(HWND dialog, int id);  // bytes the user may enter; 0 when not an edit

// The user's actions, delivered to the dialog procedure as the dialog manager would.
bool ClickDialogItem(HWND dialog, int id);  // false when id names no enabled button
// Types into the edit control that has the focus, keystroke by keystroke; a character that
// would pass the byte limit is refused. Returns the bytes taken.
std::size_t TypeText(HWND dialog, const std::string& cp932);
void PressEnter(HWND dialog);
void PressEscape(HWND dialog);
bool PressArrow(HWND dialog, bool forward);  // false when the focus is not on a button
bool PressTab(HWND dialog, bool forward);    // Tab, or Shift+Tab when not forward

bool DialogEnded(HWND dialog);      // EndDialog was called
INT_PTR DialogResult(HWND dialog);  // what it was given
bool OwnerDisabled(HWND dialog);    // the owner takes no input while the dialog runs

}  // namespace platform_test
