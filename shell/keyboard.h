// Keyboard play: a cell cursor that the arrow keys move, and keys that open and flag through it.
#pragma once

#include "windows.h"

// WM_KEYDOWN: arrows, Shift+arrows, Space, Return and F while a game is in play.
LRESULT OnKeyDown(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Takes the frame off the board for a mouse click on a board cell, and moves the cursor to that
// cell (GameState.clickedCol/clickedRow): the next arrow key brings the frame back there.
void HideCellCursor(HWND window);
// A new game's cursor: hidden, on the top-left cell for the first arrow key.
void ResetCellCursor();
