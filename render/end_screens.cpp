// The cleared and game-over screens: the play screen frozen, with a banner over the top.
#include "render/end_screens.h"

#include "game/game_state.h"
#include "render/play_screen.h"
#include "render/sprites.h"
#include "render/status.h"

namespace {

constexpr int kBannerY = 32;

void DrawEndScreen(HBITMAP sheet, HBITMAP bannerSheet, HDC destDC, HDC memoryDC,
                   std::int32_t clock, const Sprite& openedSafe, const Sprite& openedBomb,
                   int icons, const Sprite& banner, const Sprite& mask) {
    SelectObject(memoryDC, sheet);
    DrawCornerPanel(destDC, memoryDC);
    DrawClueMargins(destDC, memoryDC);
    DrawBoardCells(destDC, memoryDC, openedSafe, openedBomb);
    DrawClock(sheet, destDC, memoryDC, clock);
    DrawBombRowGround(destDC, memoryDC);
    const PanelPos pos = kBombRowPos[GameState.level];
    for (int i = 0; i < icons; ++i)
        DrawSprite(destDC, memoryDC, pos.x + 16 * i, pos.y, SPR_BOMB_ROW[0]);
    DrawCounters(sheet, destDC, memoryDC);
    SelectObject(memoryDC, bannerSheet);
    DrawMaskedSprite(destDC, memoryDC, BannerX(), kBannerY, banner, mask);
}

}  // namespace

int BannerX() {
    const int side = 16 * (kClueMargin[GameState.level] + kBoardSize[GameState.level]);
    return (side - 192) / 2;
}

void DrawClearedScreen(HBITMAP sheet, HBITMAP bannerSheet, HDC destDC, HDC memoryDC,
                       std::int32_t clock) {
    DrawEndScreen(sheet, bannerSheet, destDC, memoryDC, clock, SPR_CLEAR_OPEN, SPR_CLEAR_BOMB,
                  GameState.bombsHit, SPR_CLEAR_BANNER, SPR_CLEAR_BANNER_MASK);
}

void DrawGameOverScreen(HBITMAP sheet, HBITMAP bannerSheet, HDC destDC, HDC memoryDC,
                        std::int32_t clock) {
    // The fifth bomb has no room in the row: four icons show.
    DrawEndScreen(sheet, bannerSheet, destDC, memoryDC, clock, SPR_OPEN, SPR_OPEN_BOMB,
                  GameState.bombsHit - 1, SPR_OVER_BANNER, SPR_OVER_BANNER_MASK);
}
