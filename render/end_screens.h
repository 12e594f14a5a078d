// The cleared and game-over screens: the play screen frozen, with a banner over the top.
#pragma once

#include <cstdint>

#include "windows.h"

void DrawClearedScreen(HBITMAP sheet, HBITMAP bannerSheet, HDC destDC, HDC memoryDC,
                       std::int32_t clock);
void DrawGameOverScreen(HBITMAP sheet, HBITMAP bannerSheet, HDC destDC, HDC memoryDC,
                        std::int32_t clock);

// Left edge of the banner, centred on the window; its top is always y = 32.
int BannerX();
