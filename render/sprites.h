// Named rectangles of the three sprite sheets and the two ways of drawing them.
#pragma once

#include <array>

#include "windows.h"

struct Sprite {
    int x, y, w, h;
};

namespace sprite_detail {
template <std::size_t N>
constexpr std::array<Sprite, N> Row(int x0, int y, int step, int w, int h) {
    std::array<Sprite, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = Sprite{x0 + step * static_cast<int>(i), y, w, h};
    return out;
}
}  // namespace sprite_detail

// "DIB_CHAR"
inline constexpr auto SPR_COL_CLUE = sprite_detail::Row<21>(0, 0, 16, 16, 16);
inline constexpr auto SPR_ROW_CLUE = sprite_detail::Row<21>(0, 16, 16, 16, 16);
inline constexpr Sprite SPR_CLOSED{0, 32, 16, 16};
inline constexpr Sprite SPR_OPEN{16, 32, 16, 16};
inline constexpr Sprite SPR_OPEN_BOMB{32, 32, 16, 16};
inline constexpr Sprite SPR_FLAG{48, 32, 16, 16};
inline constexpr Sprite SPR_CLEAR_OPEN{64, 32, 16, 16};
inline constexpr Sprite SPR_CLEAR_BOMB{80, 32, 16, 16};
inline constexpr auto SPR_BOMB_ROW = sprite_detail::Row<7>(96, 32, 16, 16, 16);
inline constexpr Sprite SPR_BOMB_ROW_BG{208, 32, 16, 16};
inline constexpr auto SPR_CLOCK_DIGIT = sprite_detail::Row<10>(0, 48, 16, 16, 16);
inline constexpr Sprite SPR_CLOCK_UNIT_WIDE{160, 48, 32, 16};
inline constexpr Sprite SPR_CLOCK_UNIT{192, 48, 16, 16};
inline constexpr Sprite SPR_CLOCK_BG{208, 48, 16, 16};
inline constexpr auto SPR_COUNT_DIGIT = sprite_detail::Row<10>(0, 64, 16, 16, 16);
inline constexpr Sprite SPR_ICON_CLOSED{160, 64, 16, 16};
inline constexpr Sprite SPR_ICON_OPEN{176, 64, 16, 16};
inline constexpr Sprite SPR_ARROW{192, 64, 16, 16};
inline constexpr Sprite SPR_COUNT_UNIT{208, 64, 16, 16};
inline constexpr Sprite SPR_CORNER_BG{224, 64, 16, 16};
// Blasts are numbered 1..3; entry 0 is never drawn.
inline constexpr std::array<Sprite, 4> SPR_BLAST{
    {{0, 0, 0, 0}, {0, 80, 48, 48}, {48, 80, 48, 48}, {96, 80, 48, 48}}};
inline constexpr std::array<Sprite, 4> SPR_BLAST_MASK{
    {{0, 0, 0, 0}, {144, 80, 48, 48}, {192, 80, 48, 48}, {240, 80, 48, 48}}};
inline constexpr Sprite SPR_TITLE_CAPTION{0, 128, 208, 16};
inline constexpr Sprite SPR_TITLE_EDGE{0, 144, 208, 16};

// "DIB_SUB"
inline constexpr Sprite SPR_CLEAR_BANNER{0, 0, 192, 48};
inline constexpr Sprite SPR_CLEAR_BANNER_MASK{0, 48, 192, 48};
inline constexpr Sprite SPR_OVER_BANNER{0, 96, 192, 48};
inline constexpr Sprite SPR_OVER_BANNER_MASK{0, 144, 192, 48};

// "DIB_TITLE"
inline constexpr Sprite SPR_TITLE_PICTURE{0, 0, 288, 224};
inline constexpr auto SPR_TITLE_ANIM = sprite_detail::Row<8>(0, 224, 32, 32, 32);

// Plain copy from the sheet selected into memoryDC.
void DrawSprite(HDC destDC, HDC memoryDC, int x, int y, const Sprite& sprite);
// Mask with AND, then picture with XOR: the screen shows through where the mask is white.
void DrawMaskedSprite(HDC destDC, HDC memoryDC, int x, int y, const Sprite& picture,
                      const Sprite& mask);

// Window position of board cell (c, r) at the current level.
POINT CellOrigin(int c, int r);
