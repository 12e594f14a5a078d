// The embedded resources keep the form the game relies on: bitmaps, palettes, masks, sounds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render/sprites.h"
#include "shell/media.h"
#include "windows.h"

namespace {

struct Bytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Bytes Resource(const char* name, LPCSTR type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name, type);
    return {static_cast<const BYTE*>(LockResource(LoadResource(module, info))),
            SizeofResource(module, info)};
}

std::uint32_t U32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t U16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// RGB of the DIB's pixel at (x, y) counted from the top.
std::uint32_t Pixel(const Bytes& dib, int x, int y) {
    int width = static_cast<int>(U32(dib.data + 4)), height = static_cast<int>(U32(dib.data + 8));
    int stride = (width + 3) & ~3;
    BYTE index = dib.data[1064 + (height - 1 - y) * stride + x];
    const BYTE* quad = dib.data + 40 + 4 * index;
    return quad[2] << 16 | quad[1] << 8 | quad[0];
}

TEST(ResourcesTest, BitmapsHaveTheirResourceForm) {
    struct Case {
        const char* name;
        int width, height;
        DWORD size;
    };
    for (const Case& k : {Case{"DIB_CHAR", 336, 160, 54824}, Case{"DIB_SUB", 192, 192, 37928},
                          Case{"DIB_TITLE", 288, 256, 74792}}) {
        Bytes dib = Resource(k.name, RT_BITMAP);
        ASSERT_NE(dib.data, nullptr) << k.name;
        EXPECT_EQ(dib.size, k.size) << k.name;
        EXPECT_EQ(U32(dib.data), 40u);
        EXPECT_EQ(static_cast<int>(U32(dib.data + 4)), k.width);
        EXPECT_EQ(static_cast<int>(U32(dib.data + 8)), k.height);
        EXPECT_EQ(U16(dib.data + 12), 1);
        EXPECT_EQ(U16(dib.data + 14), 8);
        EXPECT_EQ(U32(dib.data + 16), 0u);
        EXPECT_EQ(U32(dib.data + 32), 0u);
        EXPECT_EQ(U32(dib.data + 36), 256u);
    }
}

// CreateDIBitmap cannot know how many bytes follow the header: the game checks before calling it.
TEST(ResourcesTest, ABitmapShorterThanItsHeaderIsRefused) {
    struct Case {
        const char* what;
        LONG width, height;
        DWORD bitsBytes;
        bool fits;
        WORD bitCount = 8;
    };
    const Case cases[] = {
        {"the character sheet", 336, 160, 53760, true},
        {"one byte short", 336, 160, 53759, false},
        {"rows padded to four bytes", 5, 3, 24, true},
        {"padding missing from the last row", 5, 3, 23, false},
        {"top-down", 5, -3, 23, false},
        {"zero width", 0, 3, 100, false},
        {"negative width", -5, 3, 100, false},
        {"zero height", 5, 0, 100, false},
        {"beyond 32 bits", 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF, false},
        {"beyond 64 bits", 0x7FFFFFFF, -0x7FFFFFFF, 0xFFFFFFFF, false, 0xFFFF},
    };
    for (const Case& c : cases) {
        BITMAPINFOHEADER h{};
        h.biSize = 40;
        h.biWidth = c.width;
        h.biHeight = c.height;
        h.biPlanes = 1;
        h.biBitCount = c.bitCount;
        EXPECT_EQ(DibBitsFit(&h, c.bitsBytes), c.fits) << c.what;
    }
}

TEST(ResourcesTest, PalettesKeepTheStaticColours) {
    const std::uint32_t statics[20] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                       0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
                                       0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                       0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    Bytes chars = Resource("DIB_CHAR", RT_BITMAP), title = Resource("DIB_TITLE", RT_BITMAP),
          sub = Resource("DIB_SUB", RT_BITMAP);
    EXPECT_EQ(std::memcmp(chars.data + 40, title.data + 40, 1024), 0);
    EXPECT_NE(std::memcmp(chars.data + 40, sub.data + 40, 1024), 0);
    for (int i = 0; i < 20; ++i) {
        int entry = i < 10 ? i : 236 + i;
        const BYTE* quad = chars.data + 40 + 4 * entry;
        EXPECT_EQ(std::uint32_t(quad[2] << 16 | quad[1] << 8 | quad[0]), statics[i]) << entry;
        EXPECT_EQ(quad[3], 0);
    }
}

TEST(ResourcesTest, EveryMaskedPairKeepsTheMaskRule) {
    struct Pair {
        const char* sheet;
        Sprite picture, mask;
    };
    std::vector<Pair> pairs = {{"DIB_SUB", SPR_CLEAR_BANNER, SPR_CLEAR_BANNER_MASK},
                               {"DIB_SUB", SPR_OVER_BANNER, SPR_OVER_BANNER_MASK}};
    for (int i = 1; i <= 3; ++i) pairs.push_back({"DIB_CHAR", SPR_BLAST[i], SPR_BLAST_MASK[i]});
    for (const Pair& p : pairs) {
        Bytes dib = Resource(p.sheet, RT_BITMAP);
        int black = 0;
        for (int y = 0; y < p.mask.h; ++y)
            for (int x = 0; x < p.mask.w; ++x) {
                std::uint32_t mask = Pixel(dib, p.mask.x + x, p.mask.y + y);
                ASSERT_TRUE(mask == 0 || mask == 0xFFFFFF) << p.sheet << " " << x << "," << y;
                if (mask == 0xFFFFFF)
                    ASSERT_EQ(Pixel(dib, p.picture.x + x, p.picture.y + y), 0u) << x << "," << y;
                else
                    ++black;
            }
        EXPECT_GT(black, 100) << p.sheet;
    }
}

TEST(ResourcesTest, BannersShowNothingThroughTheirLettering) {
    Bytes dib = Resource("DIB_SUB", RT_BITMAP);
    for (const Sprite& mask : {SPR_CLEAR_BANNER_MASK, SPR_OVER_BANNER_MASK}) {
        // The see-through (white) pixels that a 4-connected path joins to the banner's edge.
        std::vector<bool> outside(mask.w * mask.h);
        std::vector<std::pair<int, int>> todo;
        auto reach = [&](int x, int y) {
            if (x < 0 || y < 0 || x >= mask.w || y >= mask.h || outside[y * mask.w + x]) return;
            if (Pixel(dib, mask.x + x, mask.y + y) != 0xFFFFFF) return;
            outside[y * mask.w + x] = true;
            todo.push_back({x, y});
        };
        for (int x = 0; x < mask.w; ++x) reach(x, 0), reach(x, mask.h - 1);
        for (int y = 0; y < mask.h; ++y) reach(0, y), reach(mask.w - 1, y);
        while (!todo.empty()) {
            auto [x, y] = todo.back();
            todo.pop_back();
            reach(x + 1, y), reach(x - 1, y), reach(x, y + 1), reach(x, y - 1);
        }
        for (int y = 0; y < mask.h; ++y)
            for (int x = 0; x < mask.w; ++x)
                ASSERT_TRUE(outside[y * mask.w + x] || Pixel(dib, mask.x + x, mask.y + y) == 0)
                    << "hole at " << x << "," << y << " of the mask at y " << mask.y;
    }
}

// Relative luminance of an sRGB colour.
double Luminance(std::uint32_t rgb) {
    auto linear = [](int c) {
        double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(rgb >> 16 & 0xFF) + 0.7152 * linear(rgb >> 8 & 0xFF) +
           0.0722 * linear(rgb & 0xFF);
}

TEST(ResourcesTest, TheHitBombStandsOutOnItsTile) {
    // The bomb's dark body against the pixels just around it, on average: at least 3 : 1.
    Bytes dib = Resource("DIB_CHAR", RT_BITMAP);
    const Sprite tile = SPR_OPEN_BOMB;
    const double face = Luminance(Pixel(dib, SPR_OPEN.x + 8, SPR_OPEN.y + 8));
    auto dark = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < 16 && y < 16 &&
               Luminance(Pixel(dib, tile.x + x, tile.y + y)) < face / 2;
    };
    double body = 0, around = 0;
    int bodyCount = 0, aroundCount = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const double l = Luminance(Pixel(dib, tile.x + x, tile.y + y));
            if (dark(x, y)) {
                body += l, ++bodyCount;
            } else if (dark(x + 1, y) || dark(x - 1, y) || dark(x, y + 1) || dark(x, y - 1)) {
                around += l, ++aroundCount;
            }
        }
    ASSERT_GT(bodyCount, 40);
    EXPECT_GE((around / aroundCount + 0.05) / (body / bodyCount + 0.05), 3.0);
}

TEST(ResourcesTest, SoundsHaveTheirFormatAndSize) {
    struct Case {
        const char* name;
        DWORD size;
    };
    for (const Case& k : {Case{"BOMB", 12998}, Case{"FLAG", 1426}, Case{"MENU", 4654},
                          Case{"OK", 22064}, Case{"OPEN", 1552}, Case{"OVER", 22064},
                          Case{"START", 4486}, Case{"TIME", 1134}}) {
        Bytes wav = Resource(k.name, "WAV");
        ASSERT_NE(wav.data, nullptr) << k.name;
        ASSERT_EQ(wav.size, k.size) << k.name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(wav.data), 4), "RIFF");
        EXPECT_EQ(U32(wav.data + 4), k.size - 8);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(wav.data + 8), 8), "WAVEfmt ");
        EXPECT_EQ(U32(wav.data + 16), 18u);
        EXPECT_EQ(U16(wav.data + 20), 1);      // PCM
        EXPECT_EQ(U16(wav.data + 22), 1);      // mono
        EXPECT_EQ(U32(wav.data + 24), 22050u);
        EXPECT_EQ(U16(wav.data + 34), 8);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(wav.data + 38), 4), "fact");
        EXPECT_EQ(U32(wav.data + 42), 4u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(wav.data + 50), 4), "data");
        EXPECT_EQ(U32(wav.data + 54), k.size - 58);
        EXPECT_EQ(U32(wav.data + 46), k.size - 58);  // samples, one byte each
    }
}

TEST(ResourcesTest, MenuAndAcceleratorsAreFoundByName) {
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), "menu_zum32", RT_MENU), nullptr);
    EXPECT_NE(LoadAcceleratorsA(GetModuleHandleA(nullptr), "ACCEL"), nullptr);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), "ICON_ZUM32"), nullptr);
    EXPECT_NE(LoadCursorA(GetModuleHandleA(nullptr), "CUR_ZUM32"), nullptr);
    EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), "NOPE", "WAV"), nullptr);
    EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), "DIB_CHAR", "WAV"), nullptr);
}

}  // namespace
