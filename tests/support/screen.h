// Reading the window's pixels in tests: rectangles against sprites of the sheets, hashes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/generate.h"
#include "game/game_state.h"
#include "platform_test.h"
#include "render/sprites.h"

namespace testing_support {

// True when the window shows the sprite at (x, y) pixel for pixel, as far as the client reaches.
inline bool Shows(HWND window, int x, int y, HBITMAP sheet, const Sprite& sprite) {
    int fw = 0, fh = 0, bw = 0, bh = 0;
    const BYTE* fb = platform_test::Framebuffer(window, &fw, &fh);
    const BYTE* bits = platform_test::BitmapPixels(sheet, &bw, &bh);
    if (!fb || !bits) return false;
    for (int dy = 0; dy < sprite.h; ++dy)
        for (int dx = 0; dx < sprite.w; ++dx) {
            int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= fw || py >= fh) continue;
            if (fb[py * fw + px] != bits[(sprite.y + dy) * bw + sprite.x + dx]) return false;
        }
    return true;
}

// True when the lettering of a masked sprite shows at (x, y): the picture wherever the mask
// is black.
inline bool ShowsMasked(HWND window, int x, int y, HBITMAP sheet, const Sprite& picture,
                        const Sprite& mask) {
    int fw = 0, fh = 0, bw = 0, bh = 0;
    const BYTE* fb = platform_test::Framebuffer(window, &fw, &fh);
    const BYTE* bits = platform_test::BitmapPixels(sheet, &bw, &bh);
    if (!fb || !bits) return false;
    int lettering = 0;
    for (int dy = 0; dy < mask.h; ++dy)
        for (int dx = 0; dx < mask.w; ++dx) {
            int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= fw || py >= fh) continue;
            if (bits[(mask.y + dy) * bw + mask.x + dx] != 0) continue;
            ++lettering;
            if (fb[py * fw + px] != bits[(picture.y + dy) * bw + picture.x + dx]) return false;
        }
    return lettering > 0;
}

inline bool ShowsChar(HWND window, int x, int y, const Sprite& sprite) {
    return Shows(window, x, y, GameState.charBitmap, sprite);
}

// FNV-1a over the client pixels and size.
inline std::uint64_t ScreenHash(HWND window) {
    int w = 0, h = 0;
    const BYTE* fb = platform_test::Framebuffer(window, &w, &h);
    std::uint64_t hash = 1469598103934665603ull;
    auto mix = [&](std::uint8_t b) { hash = (hash ^ b) * 1099511628211ull; };
    mix(static_cast<std::uint8_t>(w)); mix(static_cast<std::uint8_t>(w >> 8));
    mix(static_cast<std::uint8_t>(h)); mix(static_cast<std::uint8_t>(h >> 8));
    for (int i = 0; fb && i < w * h; ++i) mix(fb[i]);
    return hash;
}

// Copies of the client pixels, to compare a region before and after.
inline std::string Snapshot(HWND window) {
    int w = 0, h = 0;
    const BYTE* fb = platform_test::Framebuffer(window, &w, &h);
    return fb ? std::string(reinterpret_cast<const char*>(fb), static_cast<std::size_t>(w) * h)
              : std::string();
}

// Sets the board of the current level from ASCII rows, 'b' a bomb and '.' a safe cell,
// all cells closed and unflagged, and computes the clues.
inline void SetBoard(const std::vector<std::string>& rows) {
    const int n = kBoardSize[GameState.level];
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            GameState.bombGrid[c][r] = rows.at(r).at(c) == 'b' ? '1' : '0';
            GameState.openGrid[c][r] = '0';
            GameState.flagGrid[c][r] = '0';
        }
    ComputeClues();
}

}  // namespace testing_support
