// The title screen: a static composition and an eight-frame figure animated by timer 1.
#include "shell/title.h"

#include "render/sprites.h"

std::int8_t titleFrame = 0;

void DrawTitleScreen(HBITMAP charSheet, HBITMAP titleSheet, HDC destDC, HDC memoryDC) {
    SelectObject(memoryDC, charSheet);
    for (int i = 0; i <= 22; ++i)
        for (int j = 0; j <= 22; ++j) DrawSprite(destDC, memoryDC, 16 * i, 16 * j, SPR_CLOSED);
    // The shadow block shows as an 8-pixel band right of and below the picture.
    for (int i = 3; i <= 20; ++i)
        for (int j = 3; j <= 16; ++j) DrawSprite(destDC, memoryDC, 16 * i, 16 * j, SPR_OPEN);
    DrawSprite(destDC, memoryDC, 80, 288, SPR_TITLE_EDGE);
    DrawSprite(destDC, memoryDC, 80, 304, SPR_TITLE_CAPTION);
    DrawSprite(destDC, memoryDC, 80, 320, SPR_TITLE_EDGE);
    SelectObject(memoryDC, titleSheet);
    DrawSprite(destDC, memoryDC, 40, 40, SPR_TITLE_PICTURE);
}

void DrawTitleFrame(HBITMAP titleSheet, HDC destDC, HDC memoryDC, std::int8_t& frame) {
    SelectObject(memoryDC, titleSheet);
    DrawSprite(destDC, memoryDC, kTitleAnimX, kTitleAnimY, SPR_TITLE_ANIM[frame]);
    frame = frame == 7 ? 0 : frame + 1;
}
