// The keyboard's cell cursor: a frame over the tile of a board cell.
#include "render/cell_cursor.h"

#include "game/game_state.h"
#include "render/sprites.h"

namespace {

// The four one-pixel edges of a square.
void Ring(HDC destDC, int x, int y, int side, DWORD rop) {
    PatBlt(destDC, x, y, side, 1, rop);
    PatBlt(destDC, x, y + side - 1, side, 1, rop);
    PatBlt(destDC, x, y + 1, 1, side - 2, rop);
    PatBlt(destDC, x + side - 1, y + 1, 1, side - 2, rop);
}

}  // namespace

void DrawCellCursor(HDC destDC) {
    if (!GameState.cursorShown) return;
    // Black on the tile's edge and two white pixels inside it: one of the two stands out on every
    // tile, the light closed and flagged ones and the dark opened ones alike.
    POINT at = CellOrigin(GameState.cursorCol, GameState.cursorRow);
    Ring(destDC, at.x, at.y, 16, BLACKNESS);
    Ring(destDC, at.x + 1, at.y + 1, 14, WHITENESS);
    Ring(destDC, at.x + 2, at.y + 2, 12, WHITENESS);
}
