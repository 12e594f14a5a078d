// Saves a picture of every screen under build/screens/ for review, after checking what it shows.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>

#include "internal.h"
#include "support/game_window.h"
#include "support/screen.h"

namespace {

// The window's client area through the system palette, as the player sees it.
QImage Picture(HWND window) {
    int w = 0, h = 0;
    const BYTE* fb = platform_test::Framebuffer(window, &w, &h);
    QImage image(w, h, QImage::Format_RGB32);
    const auto& palette = platform::SystemPalette();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const PALETTEENTRY& e = palette[fb[y * w + x]];
            image.setPixel(x, y, qRgb(e.peRed, e.peGreen, e.peBlue));
        }
    return image;
}

void Save(HWND window, const std::string& name) {
    std::filesystem::path dir = std::filesystem::path(ZUM32_BINARY_DIR) / "screens";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(Picture(window).save(QString::fromStdString((dir / (name + ".png")).string())));
}

struct ScreenshotsTest : testing_support::GameWindowTest {};

TEST_F(ScreenshotsTest, EveryScreen) {
    Paint();
    Tick(TIMER_TITLE);
    Save(window, "title");
    QImage title = Picture(window);
    // The picture's pink field and the green ground both show: the palette reached the screen.
    EXPECT_NE(title.pixel(0, 0), title.pixel(100, 200));

    StartAt(2, 123456);
    for (int c = 0; c < 15; c += 2)
        if (GameState.bombGrid[c][c] == '0')
            SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, testing_support::CellAt(c, c));
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, testing_support::CellAt(14, 0));
    Tick(TIMER_CLOCK);
    Tick(TIMER_CLOCK);
    Tick(TIMER_BOMBROW);
    EXPECT_EQ(ScreenState, Playing);
    Save(window, "play");
    // The keyboard's cursor on the same game, over an opened cell on the diagonal.
    for (WPARAM key : {VK_DOWN, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_DOWN})
        SendMessageA(window, WM_KEYDOWN, key, 0);
    EXPECT_EQ(GameState.cursorShown, 1);
    Save(window, "play_cursor");

    // Every safe cell opened, two bombs hit: the cleared screen.
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, testing_support::CellAt(14, 0));
    for (int c = 0; c < 15; ++c)
        for (int r = 0; r < 15; ++r)
            if (GameState.bombGrid[c][r] == '1' && GameState.bombsHit < 2) {
                GameState.openGrid[c][r] = '1';
                GameState.bombsHit++;
            }
    for (int c = 0; c < 15 && ScreenState == Playing; ++c)
        for (int r = 0; r < 15 && ScreenState == Playing; ++r)
            if (GameState.bombGrid[c][r] == '0')
                SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, testing_support::CellAt(c, r));
    ASSERT_EQ(ScreenState, Cleared);
    EXPECT_TRUE(testing_support::ShowsMasked(window, 88, 32, GameState.subBitmap, SPR_CLEAR_BANNER,
                                             SPR_CLEAR_BANNER_MASK));
    Save(window, "cleared");

    StartAt(3, 99);
    GameState.bombsHit = 4;
    for (int c = 0; c < 20 && ScreenState == Playing; ++c)
        for (int r = 0; r < 20 && ScreenState == Playing; ++r)
            if (GameState.bombGrid[c][r] == '1') {
                SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, testing_support::CellAt(c, r));
                for (int tick = 0; tick < 4; ++tick) Tick(TIMER_EXPLOSION);
            }
    ASSERT_EQ(ScreenState, GameOver);
    UpdateWindow(window);
    EXPECT_TRUE(testing_support::ShowsMasked(window, 144, 32, GameState.subBitmap, SPR_OVER_BANNER,
                                             SPR_OVER_BANNER_MASK));
    Save(window, "game_over");
}

}  // namespace
