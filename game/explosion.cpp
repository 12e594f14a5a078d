// The explosion sequence: four ticks of timer 4 over the 3 x 3 square around the bomb.
#include "game/explosion.h"

#include "game/game_state.h"
#include "render/sprites.h"
#include "render/status.h"
#include "shell/media.h"

namespace {

constexpr int kSquare = 48;

void OpenNeighbours(HDC destDC, HDC memoryDC, int c, int r) {
    const int n = kBoardSize[GameState.level];
    for (int dc = -1; dc <= 1; ++dc) {
        for (int dr = -1; dr <= 1; ++dr) {
            int nc = c + dc, nr = r + dr;
            if ((dc == 0 && dr == 0) || nc < 0 || nc >= n || nr < 0 || nr >= n) continue;
            // Flags do not protect a neighbour, and a neighbour bomb opens without going off.
            if (GameState.openGrid[nc][nr] != '0') continue;
            GameState.openGrid[nc][nr] = '1';
            POINT at = CellOrigin(nc, nr);
            if (GameState.bombGrid[nc][nr] == '1') {
                DrawSprite(destDC, memoryDC, at.x, at.y, SPR_OPEN_BOMB);
            } else {
                DrawSprite(destDC, memoryDC, at.x, at.y, SPR_OPEN);
                GameState.openedCount += 1;
            }
        }
    }
    for (int dc = -1; dc <= 1; ++dc)
        for (int dr = -1; dr <= 1; ++dr) {
            int nc = c + dc, nr = r + dr;
            if (nc >= 0 && nc < n && nr >= 0 && nr < n) GameState.flagGrid[nc][nr] = '0';
        }
}

}  // namespace

void StepExplosion(HDC destDC, HDC memoryDC) {
    GameStateRecord& g = GameState;
    SelectObject(memoryDC, g.charBitmap);
    const int c = g.explodedCol, r = g.explodedRow;
    POINT cell = CellOrigin(c, r);
    const int x = cell.x - 16, y = cell.y - 16;

    switch (g.explosionFrame) {
        case 1:
            PlayCue("BOMB");
            g.saveUnderDC = CreateCompatibleDC(destDC);
            g.saveUnderBitmap = CreateCompatibleBitmap(destDC, kSquare, kSquare);
            SelectObject(g.saveUnderDC, g.saveUnderBitmap);
            BitBlt(g.saveUnderDC, 0, 0, kSquare, kSquare, destDC, x, y, SRCCOPY);
            DrawMaskedSprite(destDC, memoryDC, x, y, SPR_BLAST[1], SPR_BLAST_MASK[1]);
            break;
        case 2:
        case 3:
            BitBlt(destDC, x, y, kSquare, kSquare, g.saveUnderDC, 0, 0, SRCCOPY);
            DrawMaskedSprite(destDC, memoryDC, x, y, SPR_BLAST[g.explosionFrame],
                             SPR_BLAST_MASK[g.explosionFrame]);
            break;
        case 4:
            BitBlt(destDC, x, y, kSquare, kSquare, g.saveUnderDC, 0, 0, SRCCOPY);
            DrawSprite(destDC, memoryDC, cell.x, cell.y, SPR_OPEN_BOMB);
            g.openGrid[c][r] = '1';
            OpenNeighbours(destDC, memoryDC, c, r);
            g.explosionFrame = 0;
            DrawCounters(g.charBitmap, destDC, memoryDC);
            // Counted after the redraw: the counters show it at their next redraw.
            g.bombsHit += 1;
            DeleteDC(g.saveUnderDC);
            DeleteObject(g.saveUnderBitmap);
            g.saveUnderDC = nullptr;
            g.saveUnderBitmap = nullptr;
            ScreenState = Playing;
            break;
        default:
            break;
    }
}

void AbandonExplosion() {
    if (GameState.saveUnderDC) DeleteDC(GameState.saveUnderDC);
    if (GameState.saveUnderBitmap) DeleteObject(GameState.saveUnderBitmap);
    GameState.saveUnderDC = nullptr;
    GameState.saveUnderBitmap = nullptr;
}
