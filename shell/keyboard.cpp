// Keyboard play: a cell cursor that the arrow keys move, and keys that open and flag through it.
#include "shell/keyboard.h"

#include <algorithm>

#include "game/game_state.h"
#include "render/cell_cursor.h"
#include "render/play_screen.h"
#include "shell/main_window.h"
#include "shell/media.h"
#include "shell/spoken.h"

namespace {

// The cursor's cell as the grids show it, without the frame.
void DrawCursorCell(const DrawContext& dc) {
    SelectObject(dc.memoryDC, GameState.charBitmap);
    DrawBoardCell(dc.windowDC, dc.memoryDC, GameState.cursorCol, GameState.cursorRow, SPR_OPEN,
                  SPR_OPEN_BOMB);
}

// Shows a hidden cursor where it is, or moves a shown one a cell, stopping at the board's edges.
// True when it entered another cell.
bool StepCursor(HWND window, int dc, int dr) {
    GameStateRecord& g = GameState;
    const int last = kBoardSize[g.level] - 1;
    const bool shown = g.cursorShown != 0;
    const int col = shown ? std::clamp(g.cursorCol + dc, 0, last) : g.cursorCol;
    const int row = shown ? std::clamp(g.cursorRow + dr, 0, last) : g.cursorRow;
    if (shown && col == g.cursorCol && row == g.cursorRow) return false;
    ScreenState = Busy;
    DrawContext context = AcquireDrawContext(window);
    if (shown) DrawCursorCell(context);
    g.cursorCol = col;
    g.cursorRow = row;
    g.cursorShown = 1;
    DrawCellCursor(context.windowDC);
    ReleaseDrawContext(window, context);
    ScreenState = Playing;
    SpeakCursorCell(window);
    return shown;
}

// A key acts on the cursor's cell as a click acts on the cell under the pointer.
void AimAtCursor() {
    GameState.clickedCol = GameState.cursorCol;
    GameState.clickedRow = GameState.cursorRow;
}

}  // namespace

LRESULT OnKeyDown(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (ScreenState != Playing) return DefWindowProcA(window, msg, wParam, lParam);
    int dc = 0, dr = 0;
    switch (wParam) {
        case VK_LEFT: dc = -1; break;
        case VK_RIGHT: dc = 1; break;
        case VK_UP: dr = -1; break;
        case VK_DOWN: dr = 1; break;
        case VK_SPACE:
        case VK_RETURN:
            // Without the frame on the board there is no cell to act on.
            if (!GameState.cursorShown) return 0;
            AimAtCursor();
            OpenClickedCell(window);
            SpeakOpenedCells(window);
            return 0;
        case 'F':
            if (!GameState.cursorShown) return 0;
            AimAtCursor();
            FlagClickedCell(window);
            return 0;
        default:
            return DefWindowProcA(window, msg, wParam, lParam);
    }
    // Shift+arrow opens each cell it enters, as a drag with the left button does.
    if (StepCursor(window, dc, dr) && GetKeyState(VK_SHIFT) < 0) {
        AimAtCursor();
        OpenClickedCell(window);
    }
    return 0;
}

void HideCellCursor(HWND window) {
    if (GameState.cursorShown) {
        GameState.cursorShown = 0;
        ScreenState = Busy;
        DrawContext context = AcquireDrawContext(window);
        DrawCursorCell(context);
        ReleaseDrawContext(window, context);
        ScreenState = Playing;
    }
    // The keys carry on from where the mouse played last.
    GameState.cursorCol = GameState.clickedCol;
    GameState.cursorRow = GameState.clickedRow;
}

void ResetCellCursor() {
    GameState.cursorShown = 0;
    GameState.cursorCol = 0;
    GameState.cursorRow = 0;
}
