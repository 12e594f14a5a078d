// The corner panel: counters, bomb row and clock, with their position tables per level.
#include "render/status.h"

#include "game/game_state.h"
#include "render/sprites.h"
#include "shell/media.h"

const PanelPos kClockPos[4] = {{0, 0}, {0, 64}, {16, 112}, {32, 144}};
const int kCounterX[4] = {0, 32, 48, 64};
const int kClosedCounterY[4] = {0, 0, 16, 32};
const int kOpenedCounterY[4] = {0, 16, 48, 64};
const PanelPos kBombRowPos[4] = {{0, 0}, {8, 40}, {32, 80}, {48, 112}};

namespace {

// bombRowFrame 1..13 to the icon it shows; 0 stands for "no icon" at any other value.
int BombRowIcon(std::int32_t frame) {
    if (frame >= 1 && frame <= 5) return 0;
    switch (frame) {
        case 6: return 1;
        case 7: return 2;
        case 8: return 1;
        case 9: return 2;
        case 10: return 3;
        case 11: return 4;
        case 12: return 5;
        case 13: return 6;
        default: return -1;
    }
}

void DrawThreeDigits(HDC destDC, HDC memoryDC, int x, int y, std::int32_t value) {
    // The hundreds are not reduced modulo 10; no count exceeds 400.
    int hundreds = value / 100;
    int tens = (value - 100 * hundreds) / 10;
    int units = value - 100 * hundreds - 10 * tens;
    DrawSprite(destDC, memoryDC, x, y, SPR_COUNT_DIGIT[hundreds]);
    DrawSprite(destDC, memoryDC, x + 16, y, SPR_COUNT_DIGIT[tens]);
    DrawSprite(destDC, memoryDC, x + 32, y, SPR_COUNT_DIGIT[units]);
}

}  // namespace

void DrawBombRowGround(HDC destDC, HDC memoryDC) {
    const int m = kClueMargin[GameState.level];
    for (int i = 0; i < m; ++i)
        DrawSprite(destDC, memoryDC, 16 * i, kBombRowPos[GameState.level].y, SPR_BOMB_ROW_BG);
}

void DrawCornerPanel(HDC destDC, HDC memoryDC) {
    const int m = kClueMargin[GameState.level];
    for (int row = 0; row <= m - 2; ++row)
        for (int col = 0; col < m; ++col)
            DrawSprite(destDC, memoryDC, 16 * col, 16 * row, SPR_CORNER_BG);

    switch (GameState.level) {
        case 1:
            DrawSprite(destDC, memoryDC, 0, 0, SPR_ICON_CLOSED);
            DrawSprite(destDC, memoryDC, 0, 16, SPR_ICON_OPEN);
            DrawSprite(destDC, memoryDC, 16, 0, SPR_ARROW);
            DrawSprite(destDC, memoryDC, 16, 16, SPR_ARROW);
            break;
        case 2:
            DrawSprite(destDC, memoryDC, 16, 16, SPR_ICON_CLOSED);
            DrawSprite(destDC, memoryDC, 16, 48, SPR_ICON_OPEN);
            DrawSprite(destDC, memoryDC, 32, 16, SPR_ARROW);
            DrawSprite(destDC, memoryDC, 32, 48, SPR_ARROW);
            DrawSprite(destDC, memoryDC, 96, 16, SPR_COUNT_UNIT);
            DrawSprite(destDC, memoryDC, 96, 48, SPR_COUNT_UNIT);
            break;
        case 3:
            DrawSprite(destDC, memoryDC, 32, 32, SPR_ICON_CLOSED);
            DrawSprite(destDC, memoryDC, 32, 64, SPR_ICON_OPEN);
            DrawSprite(destDC, memoryDC, 48, 32, SPR_ARROW);
            DrawSprite(destDC, memoryDC, 48, 64, SPR_ARROW);
            DrawSprite(destDC, memoryDC, 112, 32, SPR_COUNT_UNIT);
            DrawSprite(destDC, memoryDC, 112, 64, SPR_COUNT_UNIT);
            break;
    }
    DrawBombRowGround(destDC, memoryDC);
}

void DrawClock(HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t clock) {
    SelectObject(memoryDC, sheet);
    // The thousands are not reduced modulo 10: the tick caps the clock at 9999.
    int thousands = clock / 1000;
    int hundreds = (clock - 1000 * thousands) / 100;
    int tens = (clock - 1000 * thousands - 100 * hundreds) / 10;
    int units = clock - 1000 * thousands - 100 * hundreds - 10 * tens;
    const PanelPos pos = kClockPos[GameState.level];
    DrawSprite(destDC, memoryDC, pos.x, pos.y, SPR_CLOCK_DIGIT[thousands]);
    DrawSprite(destDC, memoryDC, pos.x + 16, pos.y, SPR_CLOCK_DIGIT[hundreds]);
    DrawSprite(destDC, memoryDC, pos.x + 32, pos.y, SPR_CLOCK_DIGIT[tens]);
    DrawSprite(destDC, memoryDC, pos.x + 48, pos.y, SPR_CLOCK_DIGIT[units]);
    switch (GameState.level) {
        case 1:
            DrawSprite(destDC, memoryDC, 64, pos.y, SPR_CLOCK_UNIT);
            break;
        case 2:
            DrawSprite(destDC, memoryDC, 0, pos.y, SPR_CLOCK_BG);
            DrawSprite(destDC, memoryDC, 80, pos.y, SPR_CLOCK_UNIT_WIDE);
            DrawSprite(destDC, memoryDC, 112, pos.y, SPR_CLOCK_BG);
            break;
        case 3:
            DrawSprite(destDC, memoryDC, 0, pos.y, SPR_CLOCK_BG);
            DrawSprite(destDC, memoryDC, 16, pos.y, SPR_CLOCK_BG);
            DrawSprite(destDC, memoryDC, 96, pos.y, SPR_CLOCK_UNIT_WIDE);
            DrawSprite(destDC, memoryDC, 128, pos.y, SPR_CLOCK_BG);
            DrawSprite(destDC, memoryDC, 144, pos.y, SPR_CLOCK_BG);
            break;
    }
}

void TickClock(HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t& clock) {
    // The tick shows the count before its increment, so a paint runs one second ahead.
    DrawClock(sheet, destDC, memoryDC, clock);
    PlayCue("TIME");
    clock += 1;
    if (clock > 9999) clock = 9999;
}

void DrawCounters(HBITMAP sheet, HDC destDC, HDC memoryDC) {
    const int level = GameState.level;
    std::int32_t closedCount = kCellCount[level] - GameState.openedCount - GameState.bombsHit;
    SelectObject(memoryDC, sheet);
    DrawThreeDigits(destDC, memoryDC, kCounterX[level], kClosedCounterY[level], closedCount);
    DrawThreeDigits(destDC, memoryDC, kCounterX[level], kOpenedCounterY[level],
                    GameState.openedCount);
}

void AnimateBombRow(HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t& frame) {
    SelectObject(memoryDC, sheet);
    DrawBombRowGround(destDC, memoryDC);
    int icon = BombRowIcon(frame);
    if (icon >= 0) {
        const PanelPos pos = kBombRowPos[GameState.level];
        for (int i = 0; i < GameState.bombsHit; ++i)
            DrawSprite(destDC, memoryDC, pos.x + 16 * i, pos.y, SPR_BOMB_ROW[icon]);
    }
    frame += 1;
    if (frame == 14) frame = 1;
}
