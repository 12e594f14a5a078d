// Where the help window opens beside the game's window.
#include <gtest/gtest.h>

#include "platform/qt/help_placement.h"

namespace {

using platform::qt::PlaceHelp;

TEST(PlaceHelp, BesideTheGameInsideTheScreenShrunkOnlyWhenNoSideHasRoom) {
    const QSize help(560, 520), smallest(240, 240);
    struct Case {
        const char* name;
        QRect available, game;
        QRect expected;  // null: anywhere inside the screen and clear of the game
    };
    const Case cases[] = {
        {"room on the right", {0, 0, 1280, 1024}, {100, 50, 370, 410}, {478, 50, 560, 520}},
        {"right too narrow, room on the left", {0, 0, 1280, 1024}, {700, 50, 370, 410},
         {132, 50, 560, 520}},
        {"no room beside, below lined up with the game", {0, 0, 1024, 1200}, {328, 20, 370, 410},
         {328, 438, 560, 520}},
        {"only above", {0, 0, 1024, 1200}, {328, 640, 370, 410}, {328, 112, 560, 520}},
        {"kept inside the bottom edge", {0, 0, 1280, 600}, {100, 300, 370, 250},
         {478, 80, 560, 520}},
        {"taskbar at the top of a small screen", {0, 30, 1280, 570}, {100, 0, 370, 200},
         {478, 30, 560, 520}},
        {"1024 x 768 with the game centred: shrunk on the wider side", {0, 0, 1024, 768},
         {328, 179, 370, 410}, {0, 179, 320, 520}},
        {"scale 2 on 1920 x 1200, game centred", {0, 0, 960, 600}, {295, 95, 370, 410},
         {673, 80, 287, 520}},
        {"scale 2 on 1920 x 1200, game at the corner", {0, 0, 960, 600}, {0, 0, 370, 410},
         {378, 0, 560, 520}},
        {"a screen smaller than the help", {0, 0, 400, 300}, {0, 0, 100, 100},
         {108, 0, 292, 300}},
        {"a second screen to the left", {-1280, 0, 1280, 1024}, {-500, 100, 370, 410},
         {-1068, 100, 560, 520}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect placed = PlaceHelp(c.available, c.game, help, smallest);
        EXPECT_EQ(placed, c.expected);
        EXPECT_TRUE(c.available.contains(placed));
        EXPECT_FALSE(placed.intersects(c.game));
    }
}

TEST(PlaceHelp, OverTheGameButInsideTheScreenWhenNoSideHasUsableRoom) {
    const QRect available(0, 0, 800, 600);
    const QRect placed = PlaceHelp(available, QRect(100, 50, 600, 500), QSize(560, 520),
                                   QSize(240, 240));
    EXPECT_EQ(placed, QRect(240, 50, 560, 520));
}

}  // namespace
