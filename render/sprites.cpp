// Drawing primitives over the sprite sheets.
#include "render/sprites.h"

#include "game/game_state.h"

void DrawSprite(HDC destDC, HDC memoryDC, int x, int y, const Sprite& sprite) {
    BitBlt(destDC, x, y, sprite.w, sprite.h, memoryDC, sprite.x, sprite.y, SRCCOPY);
}

void DrawMaskedSprite(HDC destDC, HDC memoryDC, int x, int y, const Sprite& picture,
                      const Sprite& mask) {
    BitBlt(destDC, x, y, mask.w, mask.h, memoryDC, mask.x, mask.y, SRCAND);
    BitBlt(destDC, x, y, picture.w, picture.h, memoryDC, picture.x, picture.y, SRCINVERT);
}

POINT CellOrigin(int c, int r) {
    const int m = kClueMargin[GameState.level];
    return POINT{16 * (m + c), 16 * (m + r)};
}
