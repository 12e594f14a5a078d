// The records file that the player brings to the page with "記録を読み込む…".
#pragma once

#include "../core/internal.h"

namespace platform::web {

// Takes the file the page holds for the game in place of the stored ZUM32.INI and tells owner,
// the game's window, or shows owner a box with the reason it was refused.
void TakeOfferedRecords(HWND owner);

// Shows owner a box saying that the file the player chose could not be read.
void RefuseUnreadableRecords(HWND owner);

}  // namespace platform::web
