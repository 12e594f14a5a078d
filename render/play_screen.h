// The play screen: corner panel, both clue margins and the board.
#pragma once

#include <cstdint>

#include "render/sprites.h"
#include "windows.h"

void DrawPlayScreen(HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t clock);
void DrawClueMargins(HDC destDC, HDC memoryDC);
void DrawBoardCells(HDC destDC, HDC memoryDC, const Sprite& openedSafe, const Sprite& openedBomb);
// One board cell as the grids show it; the memory DC must hold "DIB_CHAR".
void DrawBoardCell(HDC destDC, HDC memoryDC, int c, int r, const Sprite& openedSafe,
                   const Sprite& openedBomb);
