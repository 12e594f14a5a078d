// The two player moves on the board: opening a cell and toggling a flag.
#include "game/moves.h"

#include "game/game_state.h"
#include "render/end_screens.h"
#include "render/sprites.h"
#include "render/status.h"
#include "resource.h"
#include "shell/media.h"

std::int32_t WinThreshold() { return kCellCount[GameState.level] - kBombCount[GameState.level]; }

// The clock shows one less than the field; a clear before the second tick would store 0 or -1,
// which the records file cannot hold.
std::int32_t ClearedSeconds(std::int32_t clock) { return clock - 1 < 1 ? 1 : clock - 1; }

void ClearBoard(HBITMAP sheet, HBITMAP bannerSheet, HDC destDC, HDC memoryDC, HWND window,
                std::int32_t clock) {
    PlayCue("OK");
    KillTimer(window, 2);
    KillTimer(window, 4);
    KillTimer(window, 3);
    DrawClearedScreen(sheet, bannerSheet, destDC, memoryDC, clock);
    LevelRecords& table = GameState.records[GameState.level - 1];
    table.times[5] = ClearedSeconds(clock);
    ScreenState = Cleared;
    // The floor may lift the stored time to the fifth best: then the name would land in the
    // candidate row, shown nowhere, so it must beat the fifth best as well.
    if (clock < table.times[4] && table.times[5] < table.times[4])
        PostMessageA(window, WM_COMMAND, CMD_ENTRY, 0);
}

void OpenCell(int c, int r, HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t& explosionFrame,
              HWND window, std::int32_t& clock, HBITMAP bannerSheet) {
    SelectObject(memoryDC, sheet);
    if (GameState.openGrid[c][r] == '1' || GameState.flagGrid[c][r] != '0') {
        ScreenState = Playing;
        return;
    }
    GameState.openGrid[c][r] = '1';
    POINT at = CellOrigin(c, r);

    if (GameState.bombGrid[c][r] == '1') {
        DrawSprite(destDC, memoryDC, at.x, at.y, SPR_OPEN_BOMB);
        explosionFrame = 0;
        DrawCounters(sheet, destDC, memoryDC);
        GameState.explodedCol = c;
        GameState.explodedRow = r;
        // The "BOMB" cue belongs to the explosion's first step, within 60 ms.
        ScreenState = Exploding;
        return;
    }

    PlayCue("OPEN");
    DrawSprite(destDC, memoryDC, at.x, at.y, SPR_OPEN);
    GameState.openedCount += 1;
    DrawCounters(sheet, destDC, memoryDC);
    if (GameState.openedCount >= WinThreshold()) {
        ClearBoard(sheet, bannerSheet, destDC, memoryDC, window, clock);
        return;
    }
    ScreenState = Playing;
}

void ToggleFlag(int c, int r, HBITMAP sheet, HDC destDC, HDC memoryDC) {
    SelectObject(memoryDC, sheet);
    if (GameState.openGrid[c][r] == '1') return;
    POINT at = CellOrigin(c, r);
    if (GameState.flagGrid[c][r] == '0') {
        PlayCue("FLAG");
        GameState.flagGrid[c][r] = '1';
        DrawSprite(destDC, memoryDC, at.x, at.y, SPR_FLAG);
    } else {
        GameState.flagGrid[c][r] = '0';
        DrawSprite(destDC, memoryDC, at.x, at.y, SPR_CLOSED);
    }
}
