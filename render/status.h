// The corner panel: counters, bomb row and clock, with their position tables per level.
#pragma once

#include <cstdint>

#include "windows.h"

struct PanelPos {
    int x, y;
};

extern const PanelPos kClockPos[4];
extern const int kCounterX[4];
extern const int kClosedCounterY[4];
extern const int kOpenedCounterY[4];
extern const PanelPos kBombRowPos[4];

void DrawCornerPanel(HDC destDC, HDC memoryDC);
void DrawClock(HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t clock);
void TickClock(HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t& clock);
void DrawCounters(HBITMAP sheet, HDC destDC, HDC memoryDC);
void AnimateBombRow(HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t& frame);

// The bomb-row ground across the panel, at the level's bomb-row height.
void DrawBombRowGround(HDC destDC, HDC memoryDC);
