// The emulated palette display: raster operations, clipping, DIB conversion, realization, objects.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/internal.h"
#include "platform_test.h"
#include "windows.h"

namespace {

// Pictures of palette indices as text rows: '0' is index 0 (black), 'W' index 255 (white), any
// other character its own code.
BYTE IndexOf(char c) { return c == '0' ? 0 : c == 'W' ? 255 : static_cast<BYTE>(c); }
char CharOf(BYTE v) { return v == 0 ? '0' : v == 255 ? 'W' : static_cast<char>(v); }

using Rows = std::vector<std::string>;

HBITMAP Sheet(const Rows& rows) {
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, static_cast<int>(rows[0].size()),
                                            static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            bitmap->surface.Row(static_cast<int>(y))[x] = IndexOf(rows[y][x]);
    return bitmap;
}

Rows Dump(const platform::Surface& s) {
    Rows rows;
    for (int y = 0; y < s.height; ++y) {
        std::string row;
        for (int x = 0; x < s.width; ++x) row += CharOf(s.Row(y)[x]);
        rows.push_back(row);
    }
    return rows;
}

// A memory DC with its own bitmap, released at the end of the test.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    explicit Canvas(const Rows& rows) : bitmap(Sheet(rows)) { SelectObject(dc, bitmap); }
    ~Canvas() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    Rows Pixels() const { return Dump(bitmap->surface); }
};

// ---- Raster operations and clipping ------------------------------------------------------------

struct BlitCase {
    const char* what;
    int x, y, w, h, srcX, srcY;
    DWORD rop;
    Rows expected;
};

TEST(BitBlt, RasterOperationsAndClippingOnIndices) {
    const Rows screen = {"abcd", "efgh", "ijkl", "mnop"};
    const Rows source = {"0W0", "WWW", "xyz"};
    const BlitCase cases[] = {
        {"copy inside", 1, 1, 2, 2, 0, 1, SRCCOPY, {"abcd", "eWWh", "ixyl", "mnop"}},
        {"white mask keeps, black mask clears", 0, 0, 3, 2, 0, 0, SRCAND,
         {"0b0d", "efgh", "ijkl", "mnop"}},
        {"black picture keeps", 1, 2, 1, 1, 0, 0, SRCINVERT, {"abcd", "efgh", "ijkl", "mnop"}},
        {"clipped at the right and bottom edge", 2, 3, 3, 3, 0, 2, SRCCOPY,
         {"abcd", "efgh", "ijkl", "mnxy"}},
        {"clipped at the left and top edge", -1, -2, 3, 3, 0, 0, SRCCOPY,
         {"yzcd", "efgh", "ijkl", "mnop"}},
        {"source edge: only what lies inside is copied", 1, 1, 3, 3, 1, 1, SRCCOPY,
         {"abcd", "eWWh", "iyzl", "mnop"}},
        {"source before its bitmap", 0, 0, 4, 2, -2, -1, SRCCOPY, {"abcd", "ef0W", "ijkl", "mnop"}},
        {"everything clipped", 4, 0, 2, 2, 0, 0, SRCCOPY, {"abcd", "efgh", "ijkl", "mnop"}},
        {"source rectangle beyond its bitmap", 0, 0, 2, 2, 3, 0, SRCCOPY,
         {"abcd", "efgh", "ijkl", "mnop"}},
        {"negative width draws nothing", 0, 0, -2, 2, 0, 0, SRCCOPY,
         {"abcd", "efgh", "ijkl", "mnop"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas dest(screen), src(source);
        EXPECT_TRUE(BitBlt(dest.dc, c.x, c.y, c.w, c.h, src.dc, c.srcX, c.srcY, c.rop));
        EXPECT_EQ(dest.Pixels(), c.expected);
    }
}

TEST(BitBlt, MaskedCopyLeavesTheScreenWhereTheMaskIsWhite) {
    Canvas screen({"abcd", "efgh", "ijkl"});
    Canvas mask({"W00W", "W0WW"});
    Canvas picture({"0xy0", "0z00"});  // black wherever the mask is white
    ASSERT_TRUE(BitBlt(screen.dc, 0, 1, 4, 2, mask.dc, 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(screen.dc, 0, 1, 4, 2, picture.dc, 0, 0, SRCINVERT));
    EXPECT_EQ(screen.Pixels(), (Rows{"abcd", "exyh", "izkl"}));
}

TEST(BitBlt, OverlappingCopyWithinOneSurface) {
    struct Case {
        const char* what;
        int x, y, srcX, srcY;
        DWORD rop;
        Rows expected;
    };
    const Rows start = {"W000", "abcd", "efgh"};
    const Case cases[] = {
        {"right", 1, 0, 0, 0, SRCCOPY, {"WW00", "aabc", "eefg"}},
        {"left", 0, 0, 1, 0, SRCCOPY, {"0000", "bcdd", "fghh"}},
        {"down", 0, 1, 0, 0, SRCCOPY, {"W000", "W000", "abcd"}},
        {"up", 0, 0, 0, 1, SRCCOPY, {"abcd", "efgh", "efgh"}},
        {"xor to the right reads the old pixels", 1, 0, 0, 0, SRCINVERT,
         {"WW00", "a\x03\x01\x07", "e\x03\x01\x0f"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(start);
        ASSERT_TRUE(BitBlt(canvas.dc, c.x, c.y, 4, 3, canvas.dc, c.srcX, c.srcY, c.rop));
        EXPECT_EQ(canvas.Pixels(), c.expected);
    }
}

TEST(BitBlt, RefusesWhatItCannotDraw) {
    Canvas a({"ab"}), b({"cd"});
    EXPECT_FALSE(BitBlt(a.dc, 0, 0, 2, 1, b.dc, 0, 0, 0x00EE0086 /* SRCPAINT */));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 1, b.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(a.dc, 0, 0, 2, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(a.Pixels(), Rows{"ab"});
}

TEST(PatBlt, FillsBlackOrWhiteClippedAndNothingElse) {
    struct Case {
        const char* what;
        int x, y, w, h;
        DWORD rop;
        BOOL result;
        Rows expected;
    };
    const Case cases[] = {
        {"black column", 1, 0, 1, 3, BLACKNESS, TRUE, {"a0c", "d0f", "g0i"}},
        {"white row", 0, 1, 3, 1, WHITENESS, TRUE, {"abc", "WWW", "ghi"}},
        {"clipped at every edge", -1, -1, 5, 2, WHITENESS, TRUE, {"WWW", "def", "ghi"}},
        {"wholly outside", 3, 0, 2, 2, BLACKNESS, TRUE, {"abc", "def", "ghi"}},
        {"a raster operation that needs a source", 0, 0, 3, 3, SRCCOPY, FALSE,
         {"abc", "def", "ghi"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas({"abc", "def", "ghi"});
        EXPECT_EQ(PatBlt(canvas.dc, c.x, c.y, c.w, c.h, c.rop), c.result);
        EXPECT_EQ(canvas.Pixels(), c.expected);
    }
    EXPECT_FALSE(PatBlt(nullptr, 0, 0, 1, 1, BLACKNESS));
}

// ---- Palettes and DIB conversion ----------------------------------------------------------------

const PALETTEENTRY kStatics[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

// A palette laid out like the game's: the statics at both ends, its own colours between.
std::vector<PALETTEENTRY> GameColours(BYTE blue) {
    std::vector<PALETTEENTRY> colours(256);
    for (int i = 0; i < 256; ++i)
        colours[i] = i < 10     ? kStatics[i]
                     : i > 245 ? kStatics[i - 236]
                               : PALETTEENTRY{BYTE(i), BYTE(255 - i), blue, 0};
    return colours;
}

HPALETTE MakePalette(const std::vector<PALETTEENTRY>& colours) {
    std::vector<BYTE> block(4 + 4 * colours.size());
    auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(colours.size());
    std::memcpy(log->palPalEntry, colours.data(), 4 * colours.size());
    return CreatePalette(log);
}

// A packed 8-bit DIB: header, colour table, rows padded to four bytes and stored bottom-up
// (top-down when topDown), from rows given top-down.
std::vector<BYTE> PackDib(const std::vector<PALETTEENTRY>& table,
                          const std::vector<std::vector<BYTE>>& rows, bool topDown = false) {
    const int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
    const int stride = (width + 3) & ~3;
    std::vector<BYTE> bytes(40 + 4 * table.size() + static_cast<std::size_t>(stride) * height, 0xAA);
    BITMAPINFOHEADER h{40, width, topDown ? -height : height, 1, 8, BI_RGB,
                       DWORD(stride * height), 0, 0, DWORD(table.size() == 256 ? 0 : table.size()),
                       0};
    std::memcpy(bytes.data(), &h, 40);
    for (std::size_t i = 0; i < table.size(); ++i) {
        RGBQUAD q{table[i].peBlue, table[i].peGreen, table[i].peRed, 0};
        std::memcpy(bytes.data() + 40 + 4 * i, &q, 4);
    }
    BYTE* bits = bytes.data() + 40 + 4 * table.size();
    for (int y = 0; y < height; ++y)
        std::memcpy(bits + stride * (topDown ? y : height - 1 - y), rows[y].data(), width);
    return bytes;
}

HBITMAP Convert(HDC dc, const std::vector<BYTE>& dib, std::size_t tableEntries) {
    auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    return CreateDIBitmap(dc, header, CBM_INIT, dib.data() + 40 + 4 * tableEntries,
                          reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS);
}

std::vector<BYTE> Pixels(HBITMAP b) { return b->surface.pixels; }

// A window DC stand-in: a memory DC with the palette selected and realized, as the game does.
struct RealizedDC {
    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE palette;
    explicit RealizedDC(const std::vector<PALETTEENTRY>& colours) : palette(MakePalette(colours)) {
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    ~RealizedDC() {
        DeleteDC(dc);
        DeleteObject(palette);
    }
};

TEST(RealizePalette, GamePaletteLandsOnItselfAndCountsChanges) {
    auto colours = GameColours(77);
    RealizedDC first(colours);
    std::vector<BYTE> identity(256);
    for (int i = 0; i < 256; ++i) identity[i] = static_cast<BYTE>(i);
    EXPECT_EQ(first.palette->systemIndex, identity);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(platform::SystemPalette()[i].peRed, colours[i].peRed) << i;
        EXPECT_EQ(platform::SystemPalette()[i].peGreen, colours[i].peGreen) << i;
        EXPECT_EQ(platform::SystemPalette()[i].peBlue, colours[i].peBlue) << i;
    }
    EXPECT_EQ(RealizePalette(first.dc), 0u);

    colours[20].peBlue = 1;
    colours[30].peBlue = 2;
    colours[245].peBlue = 3;
    HPALETTE changed = MakePalette(colours);
    SelectPalette(first.dc, changed, FALSE);
    EXPECT_EQ(RealizePalette(first.dc), 3u);
    SelectPalette(first.dc, first.palette, FALSE);
    EXPECT_EQ(RealizePalette(first.dc), 3u);
    DeleteObject(changed);
}

TEST(RealizePalette, StaticColoursElsewhereCollapseOntoTheStatics) {
    RealizedDC base(GameColours(77));
    // Entry 1 is white and entry 2 dark grey; entries 0 and 3 take the first free slots.
    RealizedDC dc({{9, 9, 9, 0}, {255, 255, 255, 0}, {128, 128, 128, 0}, {7, 7, 7, 0}});
    EXPECT_EQ(dc.palette->systemIndex, (std::vector<BYTE>{10, 255, 248, 11}));
}

TEST(CreateDIBitmap, MatchesTheDibTableToTheRealizedPalette) {
    const auto game = GameColours(77);
    RealizedDC dc(game);
    const std::vector<std::vector<BYTE>> rows = {{0, 1, 2, 3, 4}, {5, 6, 7, 8, 9}, {9, 9, 9, 9, 0}};
    struct Case {
        const char* what;
        std::vector<PALETTEENTRY> table;
        std::vector<BYTE> expected;  // top-down
    };
    const Case cases[] = {
        {"the game's own table maps exactly",
         {game[0], game[255], game[10], game[100], game[245], game[246], game[9], game[200],
          game[128], game[7]},
         {0, 255, 10, 100, 245, 246, 9, 200, 128, 7, 7, 7, 7, 7, 0}},
        {"a foreign table maps to the nearest colour",
         {{0, 0, 0, 0},        // exact black
          {255, 255, 255, 0},  // exact white
          {254, 1, 1, 0},      // next to the static red
          {101, 154, 78, 0},   // next to game colour 101
          {0, 0, 64, 0},       // halfway between black and dark blue: the lower index
          {200, 55, 77, 0},    // exactly game colour 200
          {1, 1, 1, 0},
          {250, 250, 250, 0},
          {160, 160, 165, 0},  // next to the static medium grey
          {12, 243, 70, 0}},
         {0, 255, 249, 101, 0, 200, 0, 255, 247, 12, 12, 12, 12, 12, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto table = c.table;
        table.resize(256, PALETTEENTRY{0, 0, 0, 0});
        for (bool topDown : {false, true}) {
            auto dib = PackDib(table, rows, topDown);
            HBITMAP bitmap = Convert(dc.dc, dib, 256);
            ASSERT_NE(bitmap, nullptr);
            EXPECT_EQ(bitmap->surface.width, 5);
            EXPECT_EQ(bitmap->surface.height, 3);
            EXPECT_EQ(Pixels(bitmap), c.expected) << (topDown ? "top-down" : "bottom-up");
            DeleteObject(bitmap);
        }
    }
}

TEST(CreateDIBitmap, WithoutARealizedPaletteOnlyTheStaticsAreUsed) {
    HDC dc = CreateCompatibleDC(nullptr);
    std::vector<PALETTEENTRY> table = {{100, 100, 100, 0}, {10, 250, 250, 0}, {200, 180, 200, 0}};
    auto dib = PackDib(table, {{0, 1, 2}});
    HBITMAP bitmap = Convert(dc, dib, table.size());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(bitmap), (std::vector<BYTE>{248, 254, 7}));
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(CreateDIBitmap, RefusesBrokenBitmaps) {
    RealizedDC dc(GameColours(77));
    const std::vector<PALETTEENTRY> table(256, PALETTEENTRY{1, 2, 3, 0});
    const std::vector<std::vector<BYTE>> rows(3, std::vector<BYTE>(5, 1));
    struct Case {
        const char* what;
        void (*breakIt)(BITMAPINFOHEADER&);
    };
    const Case cases[] = {
        {"24 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 24; }},
        {"compressed", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
        {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }},
        {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
        {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -5; }},
        {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
        {"too wide", [](BITMAPINFOHEADER& h) { h.biWidth = 16385; }},
        {"too tall top-down", [](BITMAPINFOHEADER& h) { h.biHeight = -16385; }},
        {"most negative height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }},
        {"header size of an old core header", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
        {"more than 256 colours", [](BITMAPINFOHEADER& h) { h.biClrUsed = 257; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto dib = PackDib(table, rows);
        c.breakIt(*reinterpret_cast<BITMAPINFOHEADER*>(dib.data()));
        EXPECT_EQ(Convert(dc.dc, dib, 256), nullptr);
    }

    auto dib = PackDib(table, rows);
    auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    const BYTE* bits = dib.data() + 1064;
    EXPECT_EQ(CreateDIBitmap(dc.dc, nullptr, CBM_INIT, bits, info, DIB_RGB_COLORS), nullptr);
    EXPECT_EQ(CreateDIBitmap(dc.dc, h, CBM_INIT, nullptr, info, DIB_RGB_COLORS), nullptr);
    EXPECT_EQ(CreateDIBitmap(dc.dc, h, CBM_INIT, bits, nullptr, DIB_RGB_COLORS), nullptr);
    EXPECT_EQ(CreateDIBitmap(dc.dc, h, CBM_INIT, bits, info, 1 /* DIB_PAL_COLORS */), nullptr);
    HBITMAP whole = CreateDIBitmap(dc.dc, h, CBM_INIT, bits, info, DIB_RGB_COLORS);
    EXPECT_NE(whole, nullptr);
    DeleteObject(whole);
}

// ---- Objects and selection ----------------------------------------------------------------------

TEST(GdiObjects, SelectionAndDeletionFollowWindows) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 3, 2);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(bitmap), std::vector<BYTE>(6, 0));

    auto* stock = static_cast<HBITMAP>(SelectObject(first, bitmap));
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(stock->surface.width, 1);
    EXPECT_EQ(stock->surface.height, 1);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr) << "already in another DC";
    EXPECT_FALSE(DeleteObject(bitmap)) << "still selected";
    EXPECT_EQ(SelectObject(first, stock), bitmap);
    EXPECT_EQ(SelectObject(second, bitmap), stock);
    EXPECT_TRUE(DeleteDC(second)) << "deselects";
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap)) << "a deleted handle is no longer an object";
    EXPECT_EQ(SelectObject(first, bitmap), nullptr);

    HPALETTE palette = MakePalette(GameColours(77));
    EXPECT_EQ(SelectObject(first, palette), nullptr) << "palettes go through SelectPalette";
    HPALETTE original = SelectPalette(first, palette, FALSE);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(original->entries.size(), 20u);
    EXPECT_FALSE(DeleteObject(palette)) << "still selected";
    EXPECT_EQ(SelectPalette(first, original, FALSE), palette);
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_EQ(SelectPalette(first, palette, FALSE), nullptr);

    auto* white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(white->index, 255);
    EXPECT_EQ(SelectObject(first, white), white);

    EXPECT_EQ(SetBkMode(first, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(first, OPAQUE), TRANSPARENT);
    EXPECT_TRUE(DeleteDC(first));
}

// ---- Window DCs ---------------------------------------------------------------------------------

struct Recorder final : platform::Backend {
    std::vector<std::pair<HWND, RECT>> presented;
    int paletteChanges = 0;
    void WaitForEvents() override {}
    void Present(HWND hwnd, const RECT& r) override { presented.emplace_back(hwnd, r); }
    void SystemPaletteChanged() override { ++paletteChanges; }
    int MessageBox(HWND, const std::string&, const std::string&, UINT) override { return 1; }
    INT_PTR RunDialog(HWND) override { return 0; }
};

std::vector<std::pair<HWND, WPARAM>> paletteMessages;

LRESULT CALLBACK TestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PALETTECHANGED) paletteMessages.emplace_back(hwnd, wParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class WindowDC : public ::testing::Test {
protected:
    void SetUp() override {
        platform_test::Reset();
        WNDCLASSA wc{};
        wc.lpfnWndProc = TestProc;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "GdiTestWindow";
        ASSERT_NE(RegisterClassA(&wc), 0);
        platform::SetBackend(&recorder);
        // A popup has no caption or menu: the client is the outer size less two frames.
        window = CreateWindowExA(0, "GdiTestWindow", "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr,
                                 nullptr, nullptr);
        other = CreateWindowExA(0, "GdiTestWindow", "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(window->framebuffer.width, 32);
        ASSERT_EQ(window->framebuffer.height, 32);
        recorder.presented.clear();
        paletteMessages.clear();
    }
    void TearDown() override { platform_test::Reset(); }
    Recorder recorder;
    HWND window = nullptr;
    HWND other = nullptr;
};

TEST_F(WindowDC, DrawsIntoTheFramebufferAndShowsTheClippedRectangle) {
    HDC dc = GetDC(window);
    Canvas sprite({"abc", "def", "ghi"});
    ASSERT_TRUE(BitBlt(dc, 30, -1, 3, 3, sprite.dc, 0, 0, SRCCOPY));
    ASSERT_EQ(recorder.presented.size(), 1u);
    const RECT r = recorder.presented[0].second;
    EXPECT_EQ(recorder.presented[0].first, window);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{30, 0, 32, 2}));

    // The explosion's save-under reads the window back.
    Canvas saved({"....", "....", "...."});
    ASSERT_TRUE(BitBlt(saved.dc, 0, 0, 4, 3, dc, 29, 0, SRCCOPY));
    EXPECT_EQ(saved.Pixels(), (Rows{"Wde.", "Wgh.", "WWW."}));
    EXPECT_EQ(recorder.presented.size(), 1u) << "a memory DC is not shown";

    ASSERT_TRUE(BitBlt(dc, 40, 40, 3, 3, sprite.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(recorder.presented.size(), 1u) << "nothing to show when all was clipped";

    ASSERT_TRUE(PatBlt(dc, 30, 29, 4, 4, BLACKNESS));
    ASSERT_EQ(recorder.presented.size(), 2u);
    const RECT filled = recorder.presented[1].second;
    EXPECT_EQ((std::vector<LONG>{filled.left, filled.top, filled.right, filled.bottom}),
              (std::vector<LONG>{30, 29, 32, 32}));
    ASSERT_TRUE(PatBlt(dc, 30, 29, 4, 4, BLACKNESS));
    EXPECT_EQ(recorder.presented.size(), 2u) << "nothing to show when no pixel changed";
    ReleaseDC(window, dc);
}

TEST_F(WindowDC, RealizationTellsTheOtherWindowsAndUpdateColorsRemaps) {
    auto colours = GameColours(90);
    HPALETTE game = MakePalette(colours);
    std::swap(colours[50], colours[60]);
    HPALETTE swapped = MakePalette(colours);

    HDC dc = GetDC(window);
    HPALETTE original = SelectPalette(dc, game, FALSE);
    ASSERT_GT(RealizePalette(dc), 0u);
    EXPECT_EQ(recorder.paletteChanges, 1);
    ASSERT_EQ(paletteMessages.size(), 1u);
    EXPECT_EQ(paletteMessages[0].first, other);
    EXPECT_EQ(paletteMessages[0].second, reinterpret_cast<WPARAM>(window));
    Canvas picture({"2\x14W"});  // indices 50, 20 and 255
    BitBlt(dc, 0, 0, 3, 1, picture.dc, 0, 0, SRCCOPY);

    // Another window realizes a palette that moves colour 50 to slot 60 and back.
    auto realizeInOther = [&](HPALETTE palette) {
        HDC otherDC = GetDC(other);
        HPALETTE displaced = SelectPalette(otherDC, palette, FALSE);
        UINT changed = RealizePalette(otherDC);
        SelectPalette(otherDC, displaced, FALSE);
        ReleaseDC(other, otherDC);
        return changed;
    };
    auto firstPixels = [&] { return Dump(window->framebuffer)[0].substr(0, 3); };

    // The game's answer to WM_PALETTECHANGED: realize again, then UpdateColors. Taking its
    // slots back restores every colour, so nothing is remapped.
    EXPECT_EQ(realizeInOther(swapped), 2u);
    EXPECT_EQ(paletteMessages.back().first, window);
    EXPECT_EQ(recorder.paletteChanges, 2);
    EXPECT_EQ(RealizePalette(dc), 2u);
    recorder.presented.clear();
    EXPECT_TRUE(UpdateColors(dc));
    EXPECT_EQ(firstPixels(), "2\x14W");
    EXPECT_TRUE(recorder.presented.empty());

    // Without realizing again, UpdateColors follows the colour to its new slot.
    EXPECT_EQ(realizeInOther(swapped), 2u);
    EXPECT_TRUE(UpdateColors(dc));
    EXPECT_EQ(firstPixels(), "<\x14W");  // index 60
    ASSERT_EQ(recorder.presented.size(), 1u);
    EXPECT_TRUE(UpdateColors(dc));
    EXPECT_EQ(firstPixels(), "<\x14W") << "a second call has nothing left to remap";

    SelectPalette(dc, original, FALSE);
    ReleaseDC(window, dc);
    DeleteObject(game);
    DeleteObject(swapped);
}

}  // namespace
