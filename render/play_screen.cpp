// The play screen: corner panel, both clue margins and the board.
#include "render/play_screen.h"

#include "game/game_state.h"
#include "render/cell_cursor.h"
#include "render/status.h"

void DrawPlayScreen(HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t clock) {
    SelectObject(memoryDC, sheet);
    // The bomb-row icons come back with the next animation step, within 100 ms.
    DrawCornerPanel(destDC, memoryDC);
    DrawClueMargins(destDC, memoryDC);
    DrawBoardCells(destDC, memoryDC, SPR_OPEN, SPR_OPEN_BOMB);
    DrawCellCursor(destDC);
    DrawClock(sheet, destDC, memoryDC, clock);
    DrawCounters(sheet, destDC, memoryDC);
}

void DrawClueMargins(HDC destDC, HDC memoryDC) {
    const int s = kBoardSize[GameState.level];
    const int m = kClueMargin[GameState.level];
    // Clues start at the window's outer edge; blank tiles fill toward the board.
    for (int r = 0; r < s; ++r)
        for (int j = 0; j < m; ++j)
            DrawSprite(destDC, memoryDC, 16 * j, 16 * (m + r),
                       SPR_ROW_CLUE[GameState.rowClues[j][r]]);
    for (int c = 0; c < s; ++c)
        for (int j = 0; j < m; ++j)
            DrawSprite(destDC, memoryDC, 16 * (m + c), 16 * j,
                       SPR_COL_CLUE[GameState.colClues[c][j]]);
}

void DrawBoardCells(HDC destDC, HDC memoryDC, const Sprite& openedSafe, const Sprite& openedBomb) {
    const int s = kBoardSize[GameState.level];
    for (int r = 0; r < s; ++r)
        for (int c = 0; c < s; ++c) DrawBoardCell(destDC, memoryDC, c, r, openedSafe, openedBomb);
}

void DrawBoardCell(HDC destDC, HDC memoryDC, int c, int r, const Sprite& openedSafe,
                   const Sprite& openedBomb) {
    const Sprite* tile;
    if (GameState.openGrid[c][r] == '1')
        tile = GameState.bombGrid[c][r] == '1' ? &openedBomb : &openedSafe;
    else
        tile = GameState.flagGrid[c][r] == '1' ? &SPR_FLAG : &SPR_CLOSED;
    POINT at = CellOrigin(c, r);
    DrawSprite(destDC, memoryDC, at.x, at.y, *tile);
}
