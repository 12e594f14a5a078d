// The keyboard's cell cursor: a frame over the tile of a board cell.
#pragma once

#include "windows.h"

// Draws the frame over the cursor's cell while the cursor is shown; nothing otherwise.
void DrawCellCursor(HDC destDC);
