// The Qt glue of a main window: size, menu bar, input, timers, painting and the message box.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/internal.h"
#include "platform/qt/main_window_widget.h"
#include "platform/qt/qt_backend.h"
#include "platform_test.h"
#include "qt_test_app.h"

namespace {

using platform::qt::MainWindowWidget;

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> seen;
std::function<void(HWND, UINT, WPARAM)> onMessage;

LRESULT TestProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back({message, wParam, lParam});
    if (onMessage) onMessage(hwnd, message, wParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Outer sizes as the game computes them, for a square client of the given side.
int OuterWidth(int side) { return 2 * GetSystemMetrics(SM_CXFRAME) + side; }
int OuterHeight(int side) {
    return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) +
           2 * GetSystemMetrics(SM_CYFRAME) + side;
}

void RunQtFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        qt_test::App();
        platform_test::Reset();
        backend_ = std::make_unique<platform::qt::QtBackend>();
        platform::SetBackend(backend_.get());
        seen.clear();
        onMessage = nullptr;
        WNDCLASSA wc{};
        wc.lpfnWndProc = TestProc;
        wc.lpszClassName = "QTTEST";
        wc.lpszMenuName = "MENU_ZUM32";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }

    void TearDown() override {
        onMessage = nullptr;
        platform_test::Reset();
        backend_.reset();
    }

    HWND Create(int side, const char* title = "test") {
        HWND hwnd = CreateWindowExA(0, "QTTEST", title, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, OuterWidth(side),
                                    OuterHeight(side), nullptr, nullptr, nullptr, nullptr);
        ShowWindow(hwnd, SW_SHOWNORMAL);
        platform_test::PumpMessages();  // the first paint
        seen.clear();
        return hwnd;
    }

    MainWindowWidget* Widget(HWND hwnd) { return backend_->WindowWidget(hwnd); }

    // The one message queued since the last call; WM_NULL when there is none, never a wait. A
    // timer due now is the sentinel: the loop hands it out after every posted or input message.
    MSG Next(HWND hwnd) {
        constexpr UINT_PTR kSentinel = 99;
        SetTimer(hwnd, kSentinel, 60000, nullptr);
        platform_test::ElapseTimer(hwnd, kSentinel);
        auto isSentinel = [](const MSG& m) { return m.message == WM_TIMER && m.wParam == kSentinel; };
        MSG msg{}, sentinel{};
        EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
        if (isSentinel(msg)) {
            msg = MSG{};
        } else {
            EXPECT_TRUE(GetMessageA(&sentinel, nullptr, 0, 0));
            EXPECT_TRUE(isSentinel(sentinel));
        }
        KillTimer(hwnd, kSentinel);
        return msg;
    }

    std::unique_ptr<platform::qt::QtBackend> backend_;
};

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

QAction* ActionNamed(QMenuBar* bar, const QString& prefix) {
    for (QAction* top : bar->actions())
        for (QAction* a : top->menu()->actions())
            if (a->text().startsWith(prefix)) return a;
    return nullptr;
}

TEST_F(MainWindowTest, ClientAreaIsTheWindowsClientSizeAndFollowsSetWindowPos) {
    HWND hwnd = Create(368);
    MainWindowWidget* w = Widget(hwnd);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint);
    for (int side : {368, 480, 240, 368}) {
        SCOPED_TRACE(side);
        SetWindowPos(hwnd, nullptr, 0, 0, OuterWidth(side), OuterHeight(side),
                     SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(w->Client()->size(), QSize(side, side));
        // The client lies right under the menu bar, and the window holds nothing else.
        EXPECT_EQ(w->Client()->geometry().top(), w->menuBar()->geometry().bottom() + 1);
        EXPECT_EQ(w->size(), QSize(side, side + w->menuBar()->height()));
        EXPECT_EQ(w->minimumSize(), w->maximumSize());
    }
    const QSize size = w->size();
    for (Qt::WindowState state : {Qt::WindowFullScreen, Qt::WindowMaximized}) {
        SCOPED_TRACE(state);
        w->setWindowState(state);  // as a window manager's request arrives
        RunQtFor(20);
        EXPECT_EQ(w->windowState(), Qt::WindowNoState);
        EXPECT_EQ(w->size(), size);
    }
}

TEST_F(MainWindowTest, TitleIsTheShiftJisTextConverted) {
    HWND hwnd = Create(368, Cp932("ずむのタイル32").c_str());
    EXPECT_EQ(Widget(hwnd)->windowTitle(), QString::fromUtf8("ずむのタイル32"));
    // ソ and 表 end in the byte of a backslash; ASCII-minded conversion would split them.
    SetWindowTextA(hwnd, "\x83\x5C\x95\x5C");
    EXPECT_EQ(Widget(hwnd)->windowTitle(), QString::fromUtf8("ソ表"));
}

TEST_F(MainWindowTest, MenuBarMirrorsTheMenuResource) {
    HWND hwnd = Create(368);
    QMenuBar* bar = Widget(hwnd)->menuBar();
    const QList<QAction*> tops = bar->actions();
    ASSERT_EQ(tops.size(), 2);
    EXPECT_EQ(tops[0]->text(), QString::fromUtf8("ゲーム(&G)"));
    EXPECT_EQ(tops[1]->text(), QString::fromUtf8("ヘルプ(&H)"));
    const std::vector<std::vector<const char*>> expected = {
        {"スタート(&S)\tCtrl+N", "記録(&H)...", "-", "タイトルに戻る(&R)\tCtrl+T", "-",
         "プロパティ(&P)...\tCtrl+P", "-", "終了(&E)"},
        {"目次(&I)\tCtrl+H", "-", "バージョン情報(&A)..."},
    };
    for (std::size_t m = 0; m < expected.size(); ++m) {
        const QList<QAction*> items = tops[m]->menu()->actions();
        ASSERT_EQ(static_cast<std::size_t>(items.size()), expected[m].size());
        for (std::size_t i = 0; i < expected[m].size(); ++i) {
            SCOPED_TRACE(expected[m][i]);
            const bool separator = std::string(expected[m][i]) == "-";
            EXPECT_EQ(items[i]->isSeparator(), separator);
            if (!separator) {
                EXPECT_EQ(items[i]->text(), QString::fromUtf8(expected[m][i]));
            }
            // Keys reach the game through its accelerator table, never through Qt shortcuts.
            EXPECT_TRUE(items[i]->shortcut().isEmpty());
            EXPECT_TRUE(items[i]->isEnabled());
        }
    }
}

TEST_F(MainWindowTest, GreyingFollowsEnableMenuItem) {
    HWND hwnd = Create(368);
    QAction* property = ActionNamed(Widget(hwnd)->menuBar(), QString::fromUtf8("プロパティ"));
    QAction* start = ActionNamed(Widget(hwnd)->menuBar(), QString::fromUtf8("スタート"));
    ASSERT_TRUE(property && start);
    EnableMenuItem(GetMenu(hwnd), 104, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
    EXPECT_FALSE(property->isEnabled());
    EXPECT_TRUE(start->isEnabled());
    property->trigger();  // a greyed item gives no command
    EXPECT_EQ(platform_test::PumpMessages(), 0);
    EnableMenuItem(GetMenu(hwnd), 104, MF_BYCOMMAND | MF_ENABLED);
    EXPECT_TRUE(property->isEnabled());
}

TEST_F(MainWindowTest, ChoosingAnItemPostsItsCommand) {
    HWND hwnd = Create(368);
    const std::vector<std::pair<const char*, WORD>> items = {
        {"スタート", 101}, {"記録", 102},  {"タイトル", 103}, {"プロパティ", 104},
        {"終了", 105},     {"目次", 106},  {"バージョン", 109}};
    for (const auto& [name, id] : items) {
        SCOPED_TRACE(name);
        QAction* action = ActionNamed(Widget(hwnd)->menuBar(), QString::fromUtf8(name));
        ASSERT_NE(action, nullptr);
        action->trigger();
        MSG msg = Next(hwnd);
        EXPECT_EQ(msg.hwnd, hwnd);
        EXPECT_EQ(msg.message, WM_COMMAND);
        EXPECT_EQ(msg.wParam, MAKEWPARAM(id, 0));  // high word 0: from a menu
    }
}

TEST_F(MainWindowTest, MouseEventsQueueClientMessages) {
    struct Case {
        const char* name;
        QEvent::Type type;
        QPointF pos;
        Qt::MouseButton button;
        Qt::MouseButtons held;  // after the event
        Qt::KeyboardModifiers modifiers;
        UINT message;
        WPARAM wParam;
        WORD x, y;
    };
    const Case cases[] = {
        {"left press", QEvent::MouseButtonPress, {37, 50}, Qt::LeftButton, Qt::LeftButton, {},
         WM_LBUTTONDOWN, MK_LBUTTON, 37, 50},
        {"right press with shift", QEvent::MouseButtonPress, {160, 160}, Qt::RightButton,
         Qt::RightButton, Qt::ShiftModifier, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, 160, 160},
        {"left with right held and ctrl", QEvent::MouseButtonPress, {0, 367}, Qt::LeftButton,
         Qt::LeftButton | Qt::RightButton, Qt::ControlModifier, WM_LBUTTONDOWN,
         MK_LBUTTON | MK_RBUTTON | MK_CONTROL, 0, 367},
        {"middle press", QEvent::MouseButtonPress, {5, 6}, Qt::MiddleButton, Qt::MiddleButton,
         {}, WM_MBUTTONDOWN, MK_MBUTTON, 5, 6},
        {"left release", QEvent::MouseButtonRelease, {37, 50}, Qt::LeftButton, {}, {},
         WM_LBUTTONUP, 0, 37, 50},
        {"right release", QEvent::MouseButtonRelease, {8, 9}, Qt::RightButton, {}, {},
         WM_RBUTTONUP, 0, 8, 9},
        {"drag", QEvent::MouseMove, {100.7, 200.2}, Qt::NoButton, Qt::LeftButton, {},
         WM_MOUSEMOVE, MK_LBUTTON, 100, 200},
        {"hover", QEvent::MouseMove, {1, 2}, Qt::NoButton, {}, {}, WM_MOUSEMOVE, 0, 1, 2},
        {"drag left of the client", QEvent::MouseMove, {-3, 5}, Qt::NoButton, Qt::LeftButton,
         {}, WM_MOUSEMOVE, MK_LBUTTON, 0xFFFD, 5},
    };
    HWND hwnd = Create(368);
    QWidget* client = Widget(hwnd)->Client();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QMouseEvent event(c.type, c.pos, client->mapToGlobal(c.pos), c.button, c.held,
                          c.modifiers);
        QApplication::sendEvent(client, &event);
        MSG msg = Next(hwnd);
        EXPECT_EQ(msg.hwnd, hwnd);
        EXPECT_EQ(msg.message, c.message);
        EXPECT_EQ(msg.wParam, c.wParam);
        EXPECT_EQ(LOWORD(msg.lParam), c.x);
        EXPECT_EQ(HIWORD(msg.lParam), c.y);
    }
    // Qt rounds a widget's positions to whole logical pixels; the window's position is exact.
    const QPointF inWindow = QPointF(client->mapTo(client->window(), QPoint(0, 0))) +
                             QPointF(175.5, 143.5);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(176, 144), inWindow,
                      client->window()->mapToGlobal(inWindow), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(client, &press);
    const MSG msg = Next(hwnd);
    EXPECT_EQ(LOWORD(msg.lParam), 175);
    EXPECT_EQ(HIWORD(msg.lParam), 143);
}

TEST_F(MainWindowTest, KeysQueueVirtualKeysWithModifiers) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        UINT message;
        WPARAM vk;
        DWORD state;
    };
    const Case cases[] = {
        {Qt::Key_N, Qt::ControlModifier, WM_KEYDOWN, 'N', MK_CONTROL},
        {Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier, WM_KEYDOWN, 'T',
         MK_CONTROL | MK_SHIFT},
        {Qt::Key_X, Qt::AltModifier, WM_SYSKEYDOWN, 'X', MK_ALT},
        {Qt::Key_7, Qt::NoModifier, WM_KEYDOWN, '7', 0},
        {Qt::Key_Return, Qt::NoModifier, WM_KEYDOWN, VK_RETURN, 0},
        {Qt::Key_Enter, Qt::KeypadModifier, WM_KEYDOWN, VK_RETURN, 0},
        {Qt::Key_Escape, Qt::NoModifier, WM_KEYDOWN, VK_ESCAPE, 0},
        {Qt::Key_F1, Qt::NoModifier, WM_KEYDOWN, VK_F1, 0},
        {Qt::Key_Left, Qt::NoModifier, WM_KEYDOWN, VK_LEFT, 0},
        {Qt::Key_Up, Qt::ShiftModifier, WM_KEYDOWN, VK_UP, MK_SHIFT},
        {Qt::Key_Right, Qt::KeypadModifier, WM_KEYDOWN, VK_RIGHT, 0},  // the keypad's arrow
        {Qt::Key_Down, Qt::KeypadModifier | Qt::ShiftModifier, WM_KEYDOWN, VK_DOWN, MK_SHIFT},
        {Qt::Key_Space, Qt::NoModifier, WM_KEYDOWN, VK_SPACE, 0},
        {Qt::Key_F, Qt::NoModifier, WM_KEYDOWN, 'F', 0},
    };
    HWND hwnd = Create(368);
    MainWindowWidget* w = Widget(hwnd);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QApplication::sendEvent(w, &press);
        MSG msg = Next(hwnd);
        EXPECT_EQ(msg.hwnd, hwnd);
        EXPECT_EQ(msg.message, c.message);
        EXPECT_EQ(msg.wParam, c.vk);
        EXPECT_EQ(msg.lPrivate, c.state);
        // The message taken last tells GetKeyState which modifiers were held.
        EXPECT_EQ(GetKeyState(VK_SHIFT) < 0, (c.state & MK_SHIFT) != 0);
        EXPECT_EQ(GetKeyState(VK_CONTROL) < 0, (c.state & MK_CONTROL) != 0);
        EXPECT_EQ(GetKeyState(VK_MENU) < 0, (c.state & MK_ALT) != 0);
    }
    // A key the game has no name for queues nothing.
    QKeyEvent odd(QEvent::KeyPress, Qt::Key_LaunchMail, Qt::NoModifier);
    QApplication::sendEvent(w, &odd);
    EXPECT_EQ(platform_test::PumpMessages(), 0);
}

TEST_F(MainWindowTest, CloseBoxAsksTheGameWhichDestroysTheWindow) {
    HWND hwnd = Create(368);
    MainWindowWidget* w = Widget(hwnd);
    EXPECT_FALSE(w->close());  // the game decides
    EXPECT_TRUE(w->isVisible());
    platform_test::PumpMessages();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, WM_CLOSE);
    EXPECT_EQ(seen[1].message, WM_DESTROY);
    EXPECT_EQ(Widget(hwnd), nullptr);
}

TEST_F(MainWindowTest, TimerDeliversThroughGetMessageAndStopsWhenKilled) {
    HWND hwnd = Create(368);
    SetTimer(hwnd, 7, 10, nullptr);
    // The watchdog only ends a broken run; a working timer answers within milliseconds.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] { PostMessageA(hwnd, WM_NULL, 0, 0); });
    watchdog.start(5000);
    QElapsedTimer clock;
    clock.start();
    MSG msg{};
    int ticks = 0;
    while (ticks < 3 && GetMessageA(&msg, nullptr, 0, 0) && msg.message != WM_NULL) {
        if (msg.message == WM_TIMER && msg.wParam == 7) ++ticks;
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(ticks, 3);
    EXPECT_LT(clock.elapsed(), 5000);

    KillTimer(hwnd, 7);
    watchdog.stop();
    RunQtFor(60);
    seen.clear();
    platform_test::PumpMessages();
    for (const Seen& s : seen) EXPECT_NE(s.message, WM_TIMER);
}

TEST_F(MainWindowTest, TimersKeepDispatchingUnderAMessageBox) {
    HWND hwnd = Create(368);
    SetTimer(hwnd, 3, 10, nullptr);
    auto pressOk = [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    };
    bool inBox = false;
    int ticksInBox = 0;
    // The box is answered from the window's own timer: it closes only if timers go on under it.
    onMessage = [&](HWND, UINT message, WPARAM id) {
        if (message == WM_TIMER && id == 3 && inBox && ++ticksInBox == 3) pressOk();
    };
    QTimer::singleShot(5000, pressOk);  // ends a broken run
    inBox = true;
    const int result = MessageBoxA(hwnd, "text", "caption", MB_OK | MB_ICONSTOP);
    inBox = false;
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ticksInBox, 3);
}

// The loader's box comes before the game's window shows: the icon comes from the class. A
// window manager's minimise is undone, and the game's window has the keyboard again afterwards.
TEST_F(MainWindowTest, MessageBoxCarriesTheIconStaysUpAndHandsTheFocusBack) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TestProc;
    wc.lpszClassName = "ICONTEST";
    wc.hIcon = LoadIconA(nullptr, "ICON_ZUM32");
    ASSERT_NE(wc.hIcon, nullptr);
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND hidden = CreateWindowExA(0, "ICONTEST", "t", WS_CAPTION, 0, 0, 100, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    QSize iconSize;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        iconSize = box->windowIcon().actualSize(QSize(32, 32));
        box->button(QMessageBox::Ok)->click();
    });
    MessageBoxA(hidden, "text", "caption", MB_OK | MB_ICONSTOP);
    EXPECT_EQ(iconSize, QSize(32, 32));

    HWND hwnd = Create(368);
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    bool minimised = false, back = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->showMinimized();
        minimised = box->isMinimized();
        QTimer::singleShot(20, [&, box] {
            back = box->isVisible() && !box->isMinimized();
            box->button(QMessageBox::Ok)->click();
        });
    });
    MessageBoxA(hwnd, "text", "caption", MB_OK | MB_ICONSTOP);
    EXPECT_TRUE(minimised);
    EXPECT_TRUE(back);
    RunQtFor(20);
    EXPECT_EQ(QApplication::activeWindow(), Widget(hwnd));
}

TEST_F(MainWindowTest, MessageBoxShowsShiftJisTextStopIconAndOk) {
    const std::string text = Cp932("上級の記録が壊れています。") + "\n" + "\x83\x5C\x83\x74\x83\x67";
    auto box = platform::qt::MakeMessageBox(nullptr, text, Cp932("ずむのタイル32"),
                                            MB_OK | MB_ICONSTOP);
    EXPECT_EQ(box->text(), QString::fromUtf8("上級の記録が壊れています。\nソフト"));
    EXPECT_EQ(box->windowTitle(), QString::fromUtf8("ずむのタイル32"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButton(box->buttons()[0]), QMessageBox::Ok);
    EXPECT_EQ(platform::qt::MakeMessageBox(nullptr, "x", "y", MB_OK)->icon(),
              QMessageBox::NoIcon);
}

// Puts palette index `index` into the rectangle of the window's framebuffer and shows it.
void Fill(HWND hwnd, RECT r, BYTE index) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) hwnd->framebuffer.Row(y)[x] = index;
    platform::FramebufferChanged(hwnd, r);
}

QColor Colour(BYTE index) {
    const PALETTEENTRY& e = platform::SystemPalette()[index];
    return QColor(e.peRed, e.peGreen, e.peBlue);
}

TEST_F(MainWindowTest, PaintShowsTheFramebufferThroughTheSystemPalette) {
    HWND hwnd = Create(368);
    Fill(hwnd, RECT{0, 0, 368, 368}, 255);
    Fill(hwnd, RECT{10, 10, 20, 20}, 249);
    Fill(hwnd, RECT{100, 50, 101, 51}, 252);
    Fill(hwnd, RECT{367, 367, 368, 368}, 0);
    const QImage shot = Widget(hwnd)->Client()->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(368, 368));
    const struct {
        int x, y;
        BYTE index;
    } probes[] = {{9, 9, 255},    {10, 10, 249},  {19, 19, 249}, {20, 20, 255}, {100, 50, 252},
                  {101, 50, 255}, {100, 51, 255}, {367, 367, 0}, {366, 367, 255}};
    for (const auto& p : probes) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_EQ(shot.pixelColor(p.x, p.y), Colour(p.index));
    }
}

TEST_F(MainWindowTest, PaintFollowsARealizedPalette) {
    HWND hwnd = Create(368);
    auto realize = [&](BYTE r, BYTE g, BYTE b) {
        LOGPALETTE log{0x300, 1, {{r, g, b, 0}}};
        HPALETTE palette = CreatePalette(&log);
        HDC dc = GetDC(hwnd);
        HPALETTE old = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        SelectPalette(dc, old, FALSE);
        ReleaseDC(hwnd, dc);
        const BYTE slot = palette->systemIndex[0];
        DeleteObject(palette);
        return slot;
    };
    const BYTE slot = realize(12, 34, 56);
    Fill(hwnd, RECT{0, 0, 368, 368}, slot);
    EXPECT_EQ(Widget(hwnd)->Client()->grab().toImage().pixelColor(200, 200), QColor(12, 34, 56));
    // The same slot with a new colour: the pixels stay, the picture changes.
    ASSERT_EQ(realize(200, 100, 50), slot);
    EXPECT_EQ(Widget(hwnd)->Client()->grab().toImage().pixelColor(200, 200), QColor(200, 100, 50));
}

TEST_F(MainWindowTest, HighRatiosDrawEachPixelAsAWholeBlock) {
    HWND hwnd = Create(240);
    Fill(hwnd, RECT{0, 0, 240, 240}, 255);
    Fill(hwnd, RECT{0, 0, 1, 1}, 249);
    Fill(hwnd, RECT{10, 10, 11, 11}, 249);
    // Device pixels per game pixel: the ratio rounded half up, never a blurred fraction. Drawn
    // lower by a number of logical pixels (as under a menu bar), the picture starts on the next
    // whole device pixel.
    const struct {
        qreal ratio;
        int block;
        int down;   // logical pixels
        int first;  // the picture's first device row
    } cases[] = {{2.0, 2, 0, 0}, {1.5, 2, 0, 0}, {3.0, 3, 0, 0}, {2.5, 3, 0, 0},
                 {1.25, 1, 0, 0}, {1.5, 2, 25, 38}, {2.5, 3, 25, 63}, {1.25, 1, 25, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ratio << " down " << c.down);
        const int device = static_cast<int>(std::ceil((240 * c.block + c.first + 2)));
        QImage image(device, device, QImage::Format_RGB32);
        image.setDevicePixelRatio(c.ratio);
        image.fill(Qt::green);
        Widget(hwnd)->Client()->render(&image, QPoint(0, c.down));
        const int k = c.block, top = c.first;
        for (int y = top + 10 * k - 2; y < top + 11 * k + 2; ++y)
            for (int x = 10 * k - 2; x < 11 * k + 2; ++x) {
                SCOPED_TRACE(testing::Message() << x << "," << y);
                const bool red = x >= 10 * k && x < 11 * k && y >= top + 10 * k && y < top + 11 * k;
                EXPECT_EQ(image.pixelColor(x, y), Colour(red ? 249 : 255));
            }
        for (int y = top - 1; y <= top + k; ++y) {
            SCOPED_TRACE(y);
            EXPECT_EQ(image.pixelColor(0, y) == Colour(249), y >= top && y < top + k);
        }
    }
}

TEST(PixelScale, AnyDevicePixelOfAGamePixelMapsBackToIt) {
    struct Case {
        qreal ratio;
        int factor;
        int logicalSide;  // of a 368 x 368 client
    };
    const Case cases[] = {{1.0, 1, 368}, {1.25, 1, 296}, {1.4, 1, 264}, {1.5, 2, 492},
                          {2.0, 2, 368}, {2.5, 3, 442},  {3.0, 3, 368}};
    for (const Case& c : cases) {
        for (int down : {0, 25, 27}) {  // the client's logical offset in its window
            SCOPED_TRACE(testing::Message() << c.ratio << " down " << down);
            const qreal offset = down * c.ratio;
            const auto scale = platform::qt::PixelScale::For(c.ratio, QPointF(0, offset));
            EXPECT_EQ(scale.factor, c.factor);
            EXPECT_EQ(scale.LogicalSize(368, 368), QSize(c.logicalSide, c.logicalSide));
            const int first = static_cast<int>(std::ceil(offset - 1e-9));  // the picture's row 0
            // The picture fits in the client wherever it starts.
            EXPECT_LE(first + 368 * c.factor, offset + c.logicalSide * c.ratio + 1e-9);
            for (int d = first - 2; d < first + 40 * c.factor; ++d) {
                // A pointer on device row d of the window, as Qt hands it to the client.
                const QPointF at(d / c.ratio, (d - offset) / c.ratio);
                const int row = static_cast<int>(std::floor((d - first) / double(c.factor)));
                const int column = static_cast<int>(std::floor(d / double(c.factor)));
                ASSERT_EQ(scale.GamePoint(at), QPoint(column, row)) << "device pixel " << d;
            }
            // An update of a game pixel covers its device pixels, and a paint of those logical
            // pixels draws it.
            for (int g : {0, 1, 7, 367}) {
                const QRect logical = scale.LogicalRect(RECT{g, g, g + 1, g + 1});
                EXPECT_LE(logical.top() * c.ratio, first - offset + g * c.factor + 1e-9);
                EXPECT_GE((logical.bottom() + 1) * c.ratio, first - offset + (g + 1) * c.factor - 1e-9);
                EXPECT_TRUE(scale.GameRect(logical).contains(QPoint(g, g)));
            }
        }
    }
}

// A 32 x 32 cursor file of 32-bit pixels, one red pixel at (5, 2), with the given hot spot.
std::vector<unsigned char> MakeCursorFile(WORD type, WORD hotX, WORD hotY) {
    std::vector<unsigned char> f;
    auto u16 = [&](unsigned v) { f.push_back(v & 0xFF); f.push_back((v >> 8) & 0xFF); };
    auto u32 = [&](unsigned v) { u16(v & 0xFFFF); u16(v >> 16); };
    const unsigned pixels = 32 * 32 * 4, mask = 32 * 4;
    u16(0); u16(type); u16(1);
    f.push_back(32); f.push_back(32); f.push_back(0); f.push_back(0);
    u16(hotX); u16(hotY); u32(40 + pixels + mask); u32(22);
    u32(40); u32(32); u32(64); u16(1); u16(32); u32(0); u32(pixels + mask);
    u32(0); u32(0); u32(0); u32(0);
    for (int row = 31; row >= 0; --row)  // bottom-up
        for (int x = 0; x < 32; ++x) {
            const bool red = row == 2 && x == 5;
            f.push_back(0); f.push_back(0); f.push_back(red ? 255 : 0); f.push_back(red ? 255 : 0);
        }
    f.insert(f.end(), mask, 0);
    return f;
}

TEST(ReadCursor, HotSpotAndPictureFromTheFile) {
    qt_test::App();  // image plugins
    const auto file = MakeCursorFile(2, 3, 9);
    const auto cursor = platform::qt::ReadCursor(file.data(), file.size());
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotSpot, QPoint(3, 9));
    EXPECT_EQ(cursor->image.size(), QSize(32, 32));
    EXPECT_EQ(cursor->image.pixelColor(5, 2), QColor(255, 0, 0));
    EXPECT_EQ(cursor->image.pixelColor(6, 2).alpha(), 0);
}

TEST(ReadCursor, RejectsWhatIsNotACursor) {
    qt_test::App();
    const auto icon = MakeCursorFile(1, 3, 9);
    EXPECT_FALSE(platform::qt::ReadCursor(icon.data(), icon.size()).has_value());
    const auto file = MakeCursorFile(2, 3, 9);
    EXPECT_FALSE(platform::qt::ReadCursor(file.data(), 12).has_value());
    EXPECT_FALSE(platform::qt::ReadCursor(nullptr, 0).has_value());
}

}  // namespace
