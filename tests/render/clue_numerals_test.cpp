// The clue numerals of DIB_CHAR stay readable at 1x: the shapes that play-testers misread.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "render/sprites.h"
#include "windows.h"

namespace {

// One clue tile of DIB_CHAR: ink is the near-black lettering, ground the blank tile's own pixel.
struct Numeral {
    Sprite tile, blank;
    static const BYTE* Quad(int x, int y) {
        HMODULE module = GetModuleHandleA(nullptr);
        const BYTE* dib = static_cast<const BYTE*>(
            LockResource(LoadResource(module, FindResourceA(module, "DIB_CHAR", RT_BITMAP))));
        const int width = dib[4] | dib[5] << 8, height = dib[8] | dib[9] << 8;
        return dib + 40 + 4 * dib[1064 + (height - 1 - y) * ((width + 3) & ~3) + x];
    }
    bool Ink(int x, int y) const {
        const BYTE* q = Quad(tile.x + x, tile.y + y);
        return q[0] < 64 && q[1] < 64 && q[2] < 64;
    }
    bool Ground(int x, int y) const {
        return std::equal(Quad(tile.x + x, tile.y + y), Quad(tile.x + x, tile.y + y) + 3,
                          Quad(blank.x + x, blank.y + y));
    }
    // Ink, then ground, then ink again along row y.
    bool Parted(int y) const {
        int state = 0;
        for (int x = 0; x < 16 && state < 3; ++x) state += state != 1 ? Ink(x, y) : Ground(x, y);
        return state == 3;
    }
};

struct Kind {
    const char* name;
    const std::array<Sprite, 21>& tiles;
};
const Kind kKinds[] = {{"column clue", SPR_COL_CLUE}, {"row clue", SPR_ROW_CLUE}};

// A 4 closed at the top reads as a 9: its two strokes stay apart from the top to the crossbar.
TEST(ClueNumeralsTest, TheFourIsOpenAtTheTop) {
    for (const Kind& kind : kKinds) {
        const Numeral four{kind.tiles[4], kind.tiles[0]};
        int top = 0, left = 16, right = 15;
        for (; top < 16; ++top) {
            for (left = 0; left < 16 && !four.Ink(left, top); ++left) {}
            if (left < 16) break;
        }
        ASSERT_LT(top, 16) << kind.name << ": no ink";
        while (!four.Ink(right, top)) --right;
        int bar = top;
        while (bar < 16 && four.Parted(bar)) ++bar;
        EXPECT_GE(bar - top, 3) << kind.name << ": open rows above the crossbar";
        ASSERT_LT(bar, 16) << kind.name << ": no crossbar";
        for (int x = left; x <= right; ++x)
            EXPECT_TRUE(four.Ink(x, bar)) << kind.name << ": crossbar joins the strokes at " << x;
    }
}

// Two-digit clues (10 to 20): two digits apart from each other, each at least four pixels wide.
TEST(ClueNumeralsTest, TwoDigitCluesHaveFullWidthDigits) {
    for (const Kind& kind : kKinds)
        for (int k = 10; k <= 20; ++k) {
            const Numeral number{kind.tiles[k], kind.tiles[0]};
            std::vector<int> widths;  // runs of columns that hold ink
            for (int x = 0, run = 0; x <= 16; ++x) {
                bool ink = false;
                for (int y = 0; x < 16 && y < 16; ++y) ink = ink || number.Ink(x, y);
                if (ink) ++run;
                else if (run) widths.push_back(run), run = 0;
            }
            ASSERT_EQ(widths.size(), 2u) << kind.name << " " << k;
            EXPECT_GE(widths[0], 4) << kind.name << " " << k << ": tens";
            EXPECT_GE(widths[1], 4) << kind.name << " " << k << ": units";
        }
}

}  // namespace
