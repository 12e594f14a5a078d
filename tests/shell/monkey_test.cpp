// Monkey test: seeded random input through the main window procedure, with the game's rules,
// its screen states and the board on screen checked after every message; and a scripted replay
// of explosions cut short by Start and Return to title, against a stored dump.
// ZUM32_MONKEY_MESSAGES sets how many messages each of the monkey's four shards sends (a
// quarter million by default); ZUM32_MONKEY_SEED sets the first sequence's seed;
// ZUM32_UPDATE_GOLDEN=1 rewrites the replay's expected dump.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "game/moves.h"
#include "platform_test_dialogs.h"
#include "records/settings.h"
#include "support/cues.h"
#include "support/game_window.h"
#include "support/replay.h"
#include "support/screen.h"

namespace {

using testing_support::At;
using testing_support::CellAt;

std::string MessageName(UINT msg, WPARAM wParam, LPARAM lParam) {
    char text[96];
    switch (msg) {
        case WM_PAINT: return "WM_PAINT";
        case WM_COMMAND: std::snprintf(text, sizeof text, "WM_COMMAND %u", LOWORD(wParam)); break;
        case WM_TIMER: std::snprintf(text, sizeof text, "WM_TIMER %lu", static_cast<unsigned long>(wParam)); break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MOUSEMOVE:
            std::snprintf(text, sizeof text, "%s wParam %lu at %u,%u",
                          msg == WM_LBUTTONDOWN ? "WM_LBUTTONDOWN"
                          : msg == WM_RBUTTONDOWN ? "WM_RBUTTONDOWN" : "WM_MOUSEMOVE",
                          static_cast<unsigned long>(wParam), LOWORD(static_cast<UINT_PTR>(lParam)),
                          HIWORD(static_cast<UINT_PTR>(lParam)));
            break;
        case WM_KEYDOWN: std::snprintf(text, sizeof text, "WM_KEYDOWN 0x%lx", static_cast<unsigned long>(wParam)); break;
        default: std::snprintf(text, sizeof text, "message 0x%x", msg); break;
    }
    return text;
}

bool IsBomb(int c, int r) { return GameState.bombGrid[c][r] == '1'; }
bool IsOpen(int c, int r) { return GameState.openGrid[c][r] == '1'; }
bool IsFlagged(int c, int r) { return GameState.flagGrid[c][r] == '1'; }

std::string Str(long value) { return std::to_string(value); }

// The shell's bookkeeping around the screen state; empty when all of it holds.
std::string ShellViolation(HWND window) {
    const int state = ScreenState;
    if (state < Title || state > GameOver) return "screen state " + Str(state);
    const int level = GameState.level;
    if (level < 1 || level > 3) return "level " + Str(level);
    unsigned running = 0;
    for (const auto& timer : platform_test::Timers(window)) running |= 1u << timer.id;
    const unsigned expected = state == Title                          ? 1u << 1
                              : state == Playing || state == Exploding ? 0x1Cu
                                                                       : 0u;
    if (running != expected) return "timers running (bits) " + Str(running) + ", expected " + Str(expected);
    // The client is sized for the title or for the level's play screen, give or take the frame
    // metrics that the sizing adds.
    const int side = state == Title ? kTitleSide : 16 * (kBoardSize[level] + kClueMargin[level]);
    const SIZE client = platform_test::ClientSize(window);
    if (client.cx < side || client.cy < side || client.cx >= side + 16 || client.cy >= side + 16)
        return "client " + Str(client.cx) + "x" + Str(client.cy) + " for a side of " + Str(side);
    const UINT property = platform_test::MenuItemState(window, CMD_PROPERTY);
    if ((property == 0) != (state == Title)) return "Properties menu item state " + Str(property);
    for (int k = 0; k < 3; ++k)
        for (int rank = 1; rank < 5; ++rank)
            if (GameState.records[k].times[rank - 1] > GameState.records[k].times[rank])
                return "best-five table of level " + Str(k + 1) + " out of order";
    // Outside a running explosion no save-under is held.
    const bool saving = state == Exploding && GameState.explosionFrame >= 1;
    if ((GameState.saveUnderDC != nullptr) != saving || (GameState.saveUnderBitmap != nullptr) != saving)
        return "save-under held " + Str(GameState.saveUnderDC != nullptr) + " in state " + Str(state) +
               " at explosion frame " + Str(GameState.explosionFrame);
    return {};
}

// The rules of the board in play, from its generation on; empty when all hold.
std::string BoardViolation() {
    const int state = ScreenState;
    const int level = GameState.level;
    const int n = kBoardSize[level];
    int bombs = 0, openedSafe = 0;
    for (int c = 0; c < n; ++c) {
        const char* bomb = GameState.bombGrid[c];
        const char* open = GameState.openGrid[c];
        const char* flag = GameState.flagGrid[c];
        for (int r = 0; r < n; ++r) {
            const char b = bomb[r], o = open[r], f = flag[r];
            if ((b != '0' && b != '1') || (o != '0' && o != '1') || (f != '0' && f != '1'))
                return "cell " + Str(c) + "," + Str(r) + " holds a character other than 0 and 1";
            if (o == '1' && f == '1') return "cell " + Str(c) + "," + Str(r) + " is both opened and flagged";
            bombs += b == '1';
            openedSafe += o == '1' && b == '0';
        }
    }
    if (bombs != kBombCount[level]) return Str(bombs) + " bombs on the board";
    if (GameState.openedCount != openedSafe)
        return "openedCount " + Str(GameState.openedCount) + ", opened safe cells " + Str(openedSafe);
    const int hit = GameState.bombsHit;
    if (hit < 0 || hit > 5) return "bombsHit " + Str(hit);
    if ((state == GameOver) != (hit == 5)) return "bombsHit " + Str(hit) + " in state " + Str(state);
    if (state == Cleared && GameState.openedCount < WinThreshold()) return "cleared with safe cells closed";
    // An explosion that opens the last safe cells clears the board too.
    if ((state == Playing || state == Exploding) && GameState.openedCount >= WinThreshold())
        return "every safe cell open and still in play";
    if (state == Exploding) {
        const int c = GameState.explodedCol, r = GameState.explodedRow;
        if (c < 0 || c >= n || r < 0 || r >= n || !IsOpen(c, r) || !IsBomb(c, r))
            return "exploding cell " + Str(c) + "," + Str(r) + " is not an opened bomb";
        if (GameState.explosionFrame < 0 || GameState.explosionFrame > 3)
            return "explosion frame " + Str(GameState.explosionFrame);
    } else if (GameState.explosionFrame != 0) {
        return "explosion frame " + Str(GameState.explosionFrame) + " outside an explosion";
    }
    return {};
}

// Everything the board rules read, so that an unchanged board is not counted again.
struct BoardKey {
    char grids[3][20][20];
    std::int32_t level, openedCount, bombsHit, explodedCol, explodedRow, explosionFrame;
    std::int8_t state;

    static BoardKey Now() {
        BoardKey key;
        std::memset(&key, 0, sizeof key);
        std::memcpy(key.grids[0], GameState.bombGrid, sizeof key.grids[0]);
        std::memcpy(key.grids[1], GameState.openGrid, sizeof key.grids[1]);
        std::memcpy(key.grids[2], GameState.flagGrid, sizeof key.grids[2]);
        key.level = GameState.level;
        key.openedCount = GameState.openedCount;
        key.bombsHit = GameState.bombsHit;
        key.explodedCol = GameState.explodedCol;
        key.explodedRow = GameState.explodedRow;
        key.explosionFrame = GameState.explosionFrame;
        key.state = ScreenState;
        return key;
    }
};

// Checks the game after each message that the window procedure handles and keeps the first
// broken rule it finds.
struct Monitor {
    std::string failure;
    long messages = 0;
    bool generated = false;    // a Start has made a board since the window was created
    bool destroyed = false;    // WM_DESTROY ran: timers and screen no longer follow the state
    bool staleScreen = false;  // a paint during an explosion left the class background showing
    int sinceFullCheck = 0;
    BoardKey checkedBoard;     // the last board found to keep the rules
    bool boardChecked = false;
    // What the sequences reached, so that a monkey that never gets anywhere fails.
    long clears = 0, gameOvers = 0, explosions = 0, abandonedByStart = 0, abandonedByTitle = 0,
         entries = 0, dialogs = 0, fullChecks = 0, starts[4] = {0, 0, 0, 0};

    void AfterMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, std::int8_t before);

    void Fail(const std::string& what) {
        if (failure.empty()) failure = what;
    }
};

Monitor* monitor = nullptr;

// The main window's procedure with the checks after it; nested messages are checked too.
LRESULT CheckedWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const std::int8_t before = ScreenState;
    LRESULT result = MainWndProc(window, msg, wParam, lParam);
    if (monitor) monitor->AfterMessage(window, msg, wParam, lParam, before);
    return result;
}

// The sprite that a full paint of the play screen draws on tile (tc, tr); null for the corner
// panel, whose clock, counters and bomb row legitimately lag a paint, and beyond the play area.
const Sprite* PaintedTile(int tc, int tr) {
    const int m = kClueMargin[GameState.level];
    const int side = m + kBoardSize[GameState.level];
    if (tc < 0 || tr < 0 || tc >= side || tr >= side || (tc < m && tr < m)) return nullptr;
    if (tc < m) {
        const int clue = GameState.rowClues[tc][tr - m];
        return clue <= 20 ? &SPR_ROW_CLUE[clue] : nullptr;
    }
    if (tr < m) {
        const int clue = GameState.colClues[tc - m][tr];
        return clue <= 20 ? &SPR_COL_CLUE[clue] : nullptr;
    }
    const int c = tc - m, r = tr - m;
    if (IsOpen(c, r)) return IsBomb(c, r) ? &SPR_OPEN_BOMB : &SPR_OPEN;
    return IsFlagged(c, r) ? &SPR_FLAG : &SPR_CLOSED;
}

// Compares the tiles of columns tc0..tc1 and rows tr0..tr1 with what a full paint draws.
std::string TilesDiffer(HWND window, int tc0, int tr0, int tc1, int tr1) {
    const int m = kClueMargin[GameState.level];
    const int side = m + kBoardSize[GameState.level];
    int fw = 0, fh = 0, sw = 0, sh = 0;
    const BYTE* screen = platform_test::Framebuffer(window, &fw, &fh);
    const BYTE* sheet = platform_test::BitmapPixels(GameState.charBitmap, &sw, &sh);
    if (!screen || !sheet || fw < 16 * side || fh < 16 * side) return "no play screen to compare";
    for (int tr = tr0; tr <= tr1; ++tr)
        for (int tc = tc0; tc <= tc1; ++tc) {
            if (tc < 0 || tr < 0 || tc >= side || tr >= side || (tc < m && tr < m)) continue;
            const Sprite* sprite = PaintedTile(tc, tr);
            if (!sprite) return "clue out of range at tile " + std::to_string(tc) + "," + std::to_string(tr);
            // The keyboard's cursor, while shown, frames its tile: black on the edge, two white
            // rings inside.
            const bool framed = ScreenState == Playing && GameState.cursorShown &&
                                tc == m + GameState.cursorCol && tr == m + GameState.cursorRow;
            bool same = true;
            for (int dy = 0; dy < 16 && same; ++dy)
                for (int dx = 0; dx < 16 && same; ++dx) {
                    const int depth = std::min({dx, dy, 15 - dx, 15 - dy});
                    const BYTE want = framed && depth == 0   ? 0
                                      : framed && depth <= 2 ? 255
                                                             : sheet[(sprite->y + dy) * sw + sprite->x + dx];
                    same = screen[(16 * tr + dy) * fw + 16 * tc + dx] == want;
                }
            if (!same) {
                std::ostringstream out;
                out << "tile " << tc << "," << tr;
                if (tc >= m && tr >= m) out << " (cell " << tc - m << "," << tr - m << ")";
                out << " differs from a full paint";
                return out.str();
            }
        }
    return {};
}

void Monitor::AfterMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, std::int8_t before) {
    ++messages;
    if (msg == WM_DESTROY) destroyed = true;
    if (!failure.empty() || destroyed) return;
    if (msg == WM_COMMAND && (LOWORD(wParam) == CMD_START || LOWORD(wParam) == CMD_TITLE)) {
        const bool start = LOWORD(wParam) == CMD_START;
        if (before == Exploding) ++(start ? abandonedByStart : abandonedByTitle);
        if (start) {
            generated = true;
            ++starts[GameState.level];
        }
        staleScreen = false;
    }
    if (msg == WM_PAINT && ScreenState == Exploding) staleScreen = true;
    if (msg == WM_TIMER && wParam == TIMER_EXPLOSION && before == Exploding && ScreenState != Exploding) ++explosions;
    if (before != ScreenState && ScreenState == Cleared) ++clears;
    if (before != ScreenState && ScreenState == GameOver) ++gameOvers;

    std::string broken = ShellViolation(window);
    if (broken.empty() && generated && ScreenState != Title) {
        BoardKey key = BoardKey::Now();
        if (!boardChecked || std::memcmp(&key, &checkedBoard, sizeof key) != 0) {
            broken = BoardViolation();
            checkedBoard = key;
            boardChecked = broken.empty();
        }
    }
    if (broken.empty() && ScreenState == Playing && !staleScreen && !platform_test::IsInvalid(window)) {
        const int m = kClueMargin[GameState.level];
        const bool mouse = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MOUSEMOVE;
        // Paints, commands and palette changes may touch every tile; clocks and the bomb row
        // none; a state change is where a fault shows.
        const bool wide = msg == WM_PAINT || msg == WM_COMMAND || msg == WM_PALETTECHANGED;
        if (wide || before != ScreenState || ++sinceFullCheck >= 500) {
            sinceFullCheck = 0;
            ++fullChecks;
            const int side = m + kBoardSize[GameState.level];
            broken = TilesDiffer(window, 0, 0, side - 1, side - 1);
        } else if (mouse) {
            // A click or move changes at most the cell under the pointer and the cursor's.
            const int tc = LOWORD(static_cast<UINT_PTR>(lParam)) / 16;
            const int tr = HIWORD(static_cast<UINT_PTR>(lParam)) / 16;
            broken = TilesDiffer(window, tc - 1, tr - 1, tc + 1, tr + 1);
        } else if (msg == WM_KEYDOWN) {
            // A key changes at most the cell the cursor left and the one it is on.
            const int tc = m + GameState.cursorCol, tr = m + GameState.cursorRow;
            broken = TilesDiffer(window, tc - 1, tr - 1, tc + 1, tr + 1);
        }
    }
    if (!broken.empty())
        Fail("after " + MessageName(msg, wParam, lParam) + " (state " + std::to_string(before) +
             " to " + std::to_string(ScreenState) + "): " + broken);
}

std::filesystem::path IniPath() { return testing_support::ConfigFolder() / "ZUM32.INI"; }

// A complete settings file, so that the start-up reads it without a notice or a write.
void WriteSettings(int level, const std::array<std::array<std::int32_t, 5>, 3>& times) {
    std::filesystem::create_directories(testing_support::ConfigFolder());
    std::ofstream ini(IniPath(), std::ios::binary);
    ini << "[" << kIniSection << "]\r\nLEVEL=" << level << "\r\n";
    for (int k = 0; k < 3; ++k)
        for (int rank = 1; rank <= 5; ++rank)
            ini << "NAME" << rank << "(" << k + 1 << ")=MONKEY" << rank << "\r\nTIME" << rank << "("
                << k + 1 << ")=" << times[k][rank - 1] << "\r\n";
}

// Frees what the process end would: the palette and bitmaps made at window creation, and the
// save-under of an explosion that was still running.
void EndProcess() {
    platform_test::Reset();
    if (GameState.saveUnderDC) DeleteDC(GameState.saveUnderDC);
    for (HBITMAP bitmap : {GameState.charBitmap, GameState.titleBitmap, GameState.subBitmap,
                           GameState.saveUnderBitmap})
        if (bitmap) DeleteObject(bitmap);
    if (GameState.palette) DeleteObject(GameState.palette);
    GameState.charBitmap = GameState.titleBitmap = GameState.subBitmap = nullptr;
    GameState.saveUnderDC = nullptr;
    GameState.saveUnderBitmap = nullptr;
    GameState.palette = nullptr;
}

// A fresh game process whose main window runs through the checks, and a second top-level
// window to name in palette changes.
struct CheckedWindowTest : testing::Test {
    HWND window = nullptr;
    HWND other = nullptr;
    HACCEL accel = nullptr;
    Monitor checks;

    void Open(int level, const std::array<std::array<std::int32_t, 5>, 3>& times) {
        monitor = nullptr;
        EndProcess();
        testing_support::FreshProcess();
        WriteSettings(level, times);
        checks = Monitor{};
        HINSTANCE instance = GetModuleHandleA(nullptr);
        // The game's own class, but with the checked procedure.
        WNDCLASSA wc = MainClass(instance);
        wc.lpfnWndProc = CheckedWndProc;
        ASSERT_NE(RegisterClassA(&wc), 0);
        WNDCLASSA otherClass{};
        otherClass.lpfnWndProc = DefWindowProcA;
        otherClass.hInstance = instance;
        otherClass.lpszClassName = "OTHER";
        ASSERT_NE(RegisterClassA(&otherClass), 0);
        other = CreateWindowA("OTHER", "other", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(other, nullptr);
        monitor = &checks;
        window = CreateMainWindow(instance, SW_SHOWNORMAL);
        ASSERT_NE(window, nullptr);
        accel = LoadAcceleratorsA(instance, "ACCEL");
        ASSERT_NE(accel, nullptr);
        ASSERT_EQ(checks.failure, "");
        ASSERT_TRUE(platform_test::MessageBoxes().empty());
    }

    void TearDown() override {
        monitor = nullptr;
        EndProcess();
    }

    // A full repaint, which also ends what a paint during an explosion left on screen.
    void Paint() {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
        if (ScreenState == Playing) checks.staleScreen = false;
    }
};

// ---------------------------------------------------------------------------------------------
// A scripted replay of explosions cut short, checked after every message and against a dump.

// A scripted replay of explosions cut short, checked after every message and against a dump.
struct AbandonedExplosionReplay : CheckedWindowTest {};

TEST_F(AbandonedExplosionReplay, StartAndTitleCutExplosionsShortAtEveryStep) {
    std::array<std::array<std::int32_t, 5>, 3> times{};
    for (auto& level : times) level.fill(9999);
    Open(2, times);
    platform_test::RecordSounds(true);
    platform_test::ClearRecordedSounds();
    testing_support::Replay replay;
    replay.window = window;
    replay.other = other;
    replay.paint = [&] { Paint(); };
    replay.Run(testing_support::ReadFile(testing_support::GoldenPath("abandoned_explosions.script")),
               [&](const std::string& line) { ASSERT_EQ(checks.failure, "") << line; });
    platform_test::RecordSounds(false);
    if (HasFatalFailure()) return;
    testing_support::ExpectGolden("abandoned_explosions.expected", replay.Dump(false));
}

// ---------------------------------------------------------------------------------------------
// The monkey.

long EnvNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

enum Event {
    kLeftAnywhere, kLeftCell, kLeftSafe, kRightAnywhere, kRightCell, kDrag, kMixedMove, kTick,
    kElapse, kStart, kTitle, kPaint, kPartialPaint, kPalette, kRecords, kAbout, kHelp,
    kProperties, kOtherCommand, kExit, kKey, kEventCount
};

// Weights of the events by screen state, Title to GameOver.
constexpr double kWeights[5][kEventCount] = {
    // left anywhere, cell, safe cell; right anywhere, cell; drag, mixed move, tick, elapse,
    // start, title, paint, partial paint, palette, records, about, help, properties, other
    // command, exit, key
    {6, 4, 0, 4, 2, 2, 3, 30, 6, 6, 1, 1, 1, 2, 0.1, 0.1, 0.2, 0.25, 0.1, 0.01, 2},           // Title
    {6, 3, 20, 4, 8, 3, 4, 16, 4, 0.1, 0.04, 0.4, 0.4, 1, 0.02, 0.02, 0.05, 0.2, 0.1, 0.001, 20},  // Playing
    {4, 3, 0, 3, 3, 2, 2, 40, 6, 0.6, 0.4, 1, 1, 1, 0.05, 0.05, 0.1, 0.2, 0.1, 0.002, 3},   // Exploding
    {4, 4, 0, 3, 3, 2, 2, 6, 3, 12, 5, 2, 1, 1, 0.2, 0.2, 0.2, 0.5, 0.1, 0.01, 3},         // Cleared
    {4, 4, 0, 3, 3, 2, 2, 6, 3, 12, 5, 2, 1, 1, 0.2, 0.2, 0.2, 0.5, 0.1, 0.01, 3},         // GameOver
};
// Playing for a player who mostly opens safe cells and flags bombs, so that boards get cleared.
constexpr double kCarefulWeights[kEventCount] =
    {0.3, 0.1, 25, 2, 6, 0.03, 4, 16, 4, 0.02, 0.01, 0.4, 0.4, 1, 0.02, 0.02, 0.05, 0.2, 0.1, 0.0005, 3};

struct MonkeyTest : CheckedWindowTest, testing::WithParamInterface<int> {
    std::mt19937 rng;
    std::uint32_t seed = 0;
    long step = 0;
    // The last events, for the failure message; formatted only when one is needed.
    struct Noted {
        const char* label;
        long a, b;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::array<Noted, 16> recent{};
    std::size_t noted = 0;
    std::array<std::discrete_distribution<int>, 5> pick;
    std::discrete_distribution<int> pickCareful{std::begin(kCarefulWeights), std::end(kCarefulWeights)};
    bool careful = false;  // this game's player opens safe cells and flags bombs

    MonkeyTest() {
        for (int s = 0; s < 5; ++s) pick[s] = std::discrete_distribution<int>(std::begin(kWeights[s]), std::end(kWeights[s]));
    }

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }

    void Note(const char* label, long a = 0, long b = 0) { recent[noted++ % recent.size()] = {label, a, b, 0, 0, 0}; }
    void NoteMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        recent[noted++ % recent.size()] = {nullptr, 0, 0, msg, wParam, lParam};
    }

    std::string Report() const {
        std::ostringstream out;
        out << "seed " << seed << ", event " << step << ": " << checks.failure
            << "\n(rerun: ZUM32_MONKEY_SEED=" << seed
            << " shell_tests --gtest_filter='Shards/MonkeyTest.*/0')\nlast events:";
        for (std::size_t i = noted > recent.size() ? noted - recent.size() : 0; i < noted; ++i) {
            const Noted& e = recent[i % recent.size()];
            out << "\n  ";
            if (e.label) out << e.label << " " << e.a << " " << e.b;
            else out << MessageName(e.msg, e.wParam, e.lParam);
        }
        return out.str();
    }

    // Delivers a message as the loop would, or straight to the procedure.
    void Deliver(UINT msg, WPARAM wParam, LPARAM lParam) {
        if (Chance(0.8)) {
            SendMessageA(window, msg, wParam, lParam);
        } else {
            PostMessageA(window, msg, wParam, lParam);
            platform_test::PumpMessages();
        }
    }

    LPARAM Anywhere() {
        if (Chance(0.02)) return At(Uniform(0, 0xFFFF), Uniform(0, 0xFFFF));
        SIZE client = platform_test::ClientSize(window);
        return At(Uniform(0, client.cx + 40), Uniform(0, client.cy + 40));
    }
    LPARAM AnyCell() {
        const int n = kBoardSize[GameState.level];
        return CellAt(Uniform(0, n - 1), Uniform(0, n - 1), Uniform(0, 15), Uniform(0, 15));
    }
    // A random cell of the board that is (or is not) a bomb and still closed.
    LPARAM ClosedCell(bool bomb) {
        const int n = kBoardSize[GameState.level];
        const char want = bomb ? '1' : '0';
        int count = 0;
        for (int c = 0; c < n; ++c)
            for (int r = 0; r < n; ++r) count += GameState.bombGrid[c][r] == want && GameState.openGrid[c][r] == '0';
        if (count == 0) return AnyCell();
        int k = Uniform(0, count - 1);
        for (int c = 0; c < n; ++c)
            for (int r = 0; r < n; ++r)
                if (GameState.bombGrid[c][r] == want && GameState.openGrid[c][r] == '0' && k-- == 0)
                    return CellAt(c, r, Uniform(0, 15), Uniform(0, 15));
        return AnyCell();
    }
    bool FlaggedAt(LPARAM at) {
        const int m = kClueMargin[GameState.level], n = kBoardSize[GameState.level];
        const int c = LOWORD(static_cast<UINT_PTR>(at)) / 16 - m, r = HIWORD(static_cast<UINT_PTR>(at)) / 16 - m;
        return c >= 0 && c < n && r >= 0 && r < n && IsFlagged(c, r);
    }

    void Command(int id, char key) {
        int how = Uniform(0, 2);
        if (how == 2 && key) {
            Note("Ctrl+key, command", key, id);
            platform_test::KeyDown(window, static_cast<WPARAM>(key), MK_CONTROL);
            platform_test::PumpMessages(accel);
        } else {
            // The high word tells a menu (0) from an accelerator (1); the game reads the low one.
            Note("command", id);
            Deliver(WM_COMMAND, MAKEWPARAM(id, Uniform(0, 1)), 0);
        }
    }

    std::string RandomName() {
        static const char* const kPieces[] = {"ZUM", "a", "Z", "9", " ", "ずむ", "タイル", "ｱｲｳ", "名前", "!"};
        std::string name;
        int pieces = Uniform(0, 8);
        for (int i = 0; i < pieces; ++i) name += kPieces[Uniform(0, 9)];
        return name;
    }

    // The user inside a modal dialog, while its loop goes on dispatching the main window's timers.
    INT_PTR RunDialog(HWND dialog) {
        ++checks.dialogs;
        for (int i = Uniform(0, 3); i > 0; --i) {
            UINT_PTR id = static_cast<UINT_PTR>(Uniform(1, 4));
            if (Chance(0.5)) {
                platform_test::FireTimer(window, id);
            } else {
                platform_test::ElapseTimer(window, id);
                platform_test::PumpMessages();
            }
        }
        int ok = IDC_ABOUT_OK;
        if (GetDlgItem(dialog, IDC_ENTRY_OK)) {
            ++checks.entries;
            ok = IDC_ENTRY_OK;
            platform_test::TypeText(dialog, RandomName());
        } else if (GetDlgItem(dialog, IDC_PROP_OK)) {
            ok = Chance(0.7) ? IDC_PROP_OK : IDC_PROP_CANCEL;
            if (Chance(0.8)) platform_test::ClickDialogItem(dialog, IDC_PROP_LEVEL1 + Uniform(0, 2));
            if (Chance(0.03)) platform_test::ClickDialogItem(dialog, IDC_PROP_CLEAR1 + Uniform(0, 2));
        } else if (GetDlgItem(dialog, IDC_SCORE_OK)) {
            ok = IDC_SCORE_OK;
        }
        switch (Uniform(0, 2)) {
            case 0: platform_test::PressEnter(dialog); break;
            case 1: platform_test::PressEscape(dialog); break;
            default: break;
        }
        // Escape is no way out of a dialog without a cancel button: its OK is.
        if (!platform_test::DialogEnded(dialog)) platform_test::ClickDialogItem(dialog, ok);
        if (!platform_test::DialogEnded(dialog)) {
            checks.Fail("a dialog did not end on its OK button");
            EndDialog(dialog, 0);
        }
        return platform_test::DialogResult(dialog);
    }

    void OneEvent() {
        const int state = ScreenState;
        const Event event = static_cast<Event>(
            state == Playing && careful ? pickCareful(rng) : pick[state >= 0 && state <= 4 ? state : 0](rng));
        switch (event) {
            case kLeftAnywhere:
            case kLeftCell:
            case kLeftSafe: {
                LPARAM at = event == kLeftAnywhere ? Anywhere() : event == kLeftCell ? AnyCell() : ClosedCell(false);
                if (event == kLeftSafe && state == Playing && FlaggedAt(at)) {
                    // A flag protects the cell: the player takes it off first.
                    NoteMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
                    Deliver(WM_RBUTTONDOWN, MK_RBUTTON, at);
                    if (!checks.failure.empty()) break;
                }
                NoteMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
                Deliver(WM_LBUTTONDOWN, MK_LBUTTON, at);
                break;
            }
            case kRightAnywhere:
            case kRightCell: {
                LPARAM at = event == kRightAnywhere ? Anywhere() : careful ? ClosedCell(true) : AnyCell();
                NoteMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
                Deliver(WM_RBUTTONDOWN, MK_RBUTTON, at);
                break;
            }
            case kDrag: {
                // The pointer wanders over neighbouring cells with the left button down.
                const int m = kClueMargin[GameState.level];
                int x = 16 * m + Uniform(-16, 16 * kBoardSize[GameState.level] + 15);
                int y = 16 * m + Uniform(-16, 16 * kBoardSize[GameState.level] + 15);
                for (int moves = Uniform(2, 12); moves > 0 && checks.failure.empty(); --moves) {
                    x = std::max(0, x + Uniform(-16, 16));
                    y = std::max(0, y + Uniform(-16, 16));
                    NoteMessage(WM_MOUSEMOVE, MK_LBUTTON, At(x, y));
                    Deliver(WM_MOUSEMOVE, MK_LBUTTON, At(x, y));
                }
                break;
            }
            case kMixedMove: {
                // The pointer passes by with no button, or with buttons other than the left one
                // alone: nothing may open.
                static const WPARAM kButtons[] = {MK_RBUTTON, MK_MBUTTON, MK_SHIFT, MK_CONTROL,
                                                  MK_LBUTTON | MK_SHIFT, MK_LBUTTON | MK_CONTROL,
                                                  MK_LBUTTON | MK_RBUTTON, MK_LBUTTON | MK_MBUTTON,
                                                  MK_LBUTTON | MK_SHIFT | MK_CONTROL};
                const std::int8_t state0 = ScreenState;
                char open[20][20], flag[20][20];
                std::memcpy(open, GameState.openGrid, sizeof open);
                std::memcpy(flag, GameState.flagGrid, sizeof flag);
                LPARAM at = Chance(0.7) ? AnyCell() : Anywhere();
                int x = LOWORD(static_cast<UINT_PTR>(at)), y = HIWORD(static_cast<UINT_PTR>(at));
                WPARAM buttons = Chance(0.5) ? 0 : kButtons[Uniform(0, 8)];
                for (int moves = Uniform(1, 8); moves > 0 && checks.failure.empty(); --moves) {
                    x = std::max(0, x + Uniform(-12, 12));
                    y = std::max(0, y + Uniform(-12, 12));
                    if (Chance(0.2)) buttons = kButtons[Uniform(0, 8)];
                    NoteMessage(WM_MOUSEMOVE, buttons, At(x, y));
                    Deliver(WM_MOUSEMOVE, buttons, At(x, y));
                }
                if (ScreenState != state0 || std::memcmp(open, GameState.openGrid, sizeof open) != 0 ||
                    std::memcmp(flag, GameState.flagGrid, sizeof flag) != 0)
                    checks.Fail("a move without the left button alone changed the game");
                break;
            }
            case kTick: {
                // The explosion timer most, so that explosions run to their end.
                static const UINT_PTR kIds[] = {1, 2, 3, 4, 4, 4};
                UINT_PTR id = kIds[Uniform(0, 5)];
                Note("tick", static_cast<long>(id));
                platform_test::FireTimer(window, id);
                break;
            }
            case kElapse: {
                UINT_PTR id = static_cast<UINT_PTR>(Uniform(1, 4));
                Note("elapse and pump", static_cast<long>(id));
                platform_test::ElapseTimer(window, id);
                platform_test::PumpMessages();
                break;
            }
            case kStart: {
                std::int32_t calendar = static_cast<std::int32_t>(rng());
                platform_test::SetCalendarTime(calendar);
                Note("calendar", calendar);
                careful = Chance(0.3);
                Command(CMD_START, 'N');
                break;
            }
            case kTitle: Command(CMD_TITLE, 'T'); break;
            case kPaint: {
                Note("paint");
                InvalidateRect(window, nullptr, Chance(0.8));
                if (Chance(0.5)) UpdateWindow(window);
                else platform_test::PumpMessages();
                if (ScreenState == Playing) checks.staleScreen = false;
                break;
            }
            case kPartialPaint: {
                SIZE client = platform_test::ClientSize(window);
                RECT r{Uniform(0, client.cx), Uniform(0, client.cy), 0, 0};
                r.right = r.left + Uniform(1, 64);
                r.bottom = r.top + Uniform(1, 64);
                Note("partial paint at", r.left, r.top);
                InvalidateRect(window, &r, Chance(0.5));
                UpdateWindow(window);
                break;
            }
            case kPalette: {
                HWND by = Chance(0.8) ? other : window;
                Note(by == other ? "palette changed by another window" : "palette changed by the main window");
                Deliver(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(by), 0);
                break;
            }
            case kRecords: Command(CMD_RECORDS, 0); break;
            case kAbout: Command(CMD_ABOUT, 0); break;
            case kHelp: Command(CMD_HELP, 'H'); break;
            case kProperties:
                // The menu and its accelerator deliver it only while the item is enabled.
                if (Chance(0.5)) {
                    Note("Ctrl+P");
                    platform_test::KeyDown(window, 'P', MK_CONTROL);
                    platform_test::PumpMessages(accel);
                } else if (platform_test::MenuItemState(window, CMD_PROPERTY) == 0) {
                    Command(CMD_PROPERTY, 0);
                }
                break;
            case kOtherCommand: {
                // Ids the game has no command for, as from a menu or from an accelerator.
                static const int kIds[] = {0, 100, 107, 108, 111, 0xFFFF};
                const int id = kIds[Uniform(0, 5)];
                Note("unknown command", id);
                Deliver(WM_COMMAND, MAKEWPARAM(id, Uniform(0, 1)), 0);
                break;
            }
            case kExit:
                if (Chance(0.5)) {
                    Command(CMD_EXIT, 0);
                } else {
                    Note("close box");
                    SendMessageA(window, WM_CLOSE, 0, 0);
                }
                break;
            case kKey: {
                // Mostly the cursor's keys, with or without Shift, and now and then another key.
                static const WPARAM kKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT,
                                               VK_UP, VK_DOWN, VK_SPACE, VK_RETURN, 'F', 'A', VK_ESCAPE};
                const WPARAM key = kKeys[Uniform(0, 12)];
                const DWORD modifiers = Chance(0.2) ? MK_SHIFT : 0;
                Note("key, Shift", static_cast<long>(key), modifiers != 0);
                platform_test::KeyDown(window, key, modifiers);
                platform_test::PumpMessages(accel);
                break;
            }
            case kEventCount: break;
        }
        // A name entry posted by a clear is taken before the next input, as the loop would.
        if (ScreenState == Cleared || Chance(0.3)) platform_test::PumpMessages();
        // A window uncovered during an explosion gets its full repaint soon after.
        if (checks.staleScreen && ScreenState == Playing && Chance(0.2)) {
            Note("full repaint after an explosion's paint");
            Paint();
        }
    }

    // The board and margins on screen against a real full paint of the window.
    void CompareWithFullPaint() {
        if (ScreenState != Playing || checks.staleScreen || platform_test::IsInvalid(window)) return;
        std::string before = testing_support::Snapshot(window);
        Paint();
        std::string after = testing_support::Snapshot(window);
        const int m = kClueMargin[GameState.level];
        const int side = 16 * (m + kBoardSize[GameState.level]);
        const int width = platform_test::ClientSize(window).cx;
        for (int y = 0; y < side && checks.failure.empty(); ++y) {
            const int x0 = y < 16 * m ? 16 * m : 0;  // the corner panel may lag
            if (before.compare(static_cast<std::size_t>(y * width + x0), static_cast<std::size_t>(side - x0), after,
                               static_cast<std::size_t>(y * width + x0), static_cast<std::size_t>(side - x0)) != 0)
                checks.Fail("row " + std::to_string(y) + " differs from a fresh full paint");
        }
    }

    // One sequence from a fresh process; false when a check failed.
    bool RunSequence(std::uint32_t sequenceSeed, long messages) {
        seed = sequenceSeed;
        rng.seed(seed);
        noted = 0;
        std::array<std::array<std::int32_t, 5>, 3> times{};
        for (auto& level : times) {
            // Empty tables, tables with slow times, and tables that no clear can enter.
            const int kind = Uniform(0, 2);
            for (int rank = 0; rank < 5; ++rank)
                level[rank] = kind == 0 ? 9999 : kind == 1 ? 20 * (rank + 1) : 1;
        }
        Open(Uniform(1, 3), times);
        if (HasFatalFailure()) return false;
        platform_test::SetDialogHandler([this](HWND dialog) { return RunDialog(dialog); });
        const long end = checks.messages + messages;
        long lastFull = 0;
        for (step = 0; checks.messages < end && checks.failure.empty() && !checks.destroyed; ++step) {
            OneEvent();
            if (checks.messages - lastFull >= 2000) {
                lastFull = checks.messages;
                CompareWithFullPaint();
            }
        }
        if (checks.failure.empty() && checks.destroyed) {
            platform_test::PumpMessages();
            if (platform_test::QuitCode() != 0) checks.Fail("the loop did not end with code 0");
            if (!platform_test::Timers(window).empty()) checks.Fail("timers run after the window's end");
        }
        if (!checks.failure.empty()) {
            ADD_FAILURE() << Report();
            return false;
        }
        return true;
    }
};

// Points the records file at a memory file system while it lives, where the many rewrites
// of names entered and levels chosen cost no disk flushes.
struct RecordsInMemory {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::string savedValue = saved ? saved : "";
    std::filesystem::path folder;
    RecordsInMemory() {
        std::error_code ec;
        if (!std::filesystem::is_directory("/dev/shm", ec) || access("/dev/shm", W_OK) != 0) return;
        folder = "/dev/shm/zum32-monkey-" + std::to_string(getpid());
        std::filesystem::create_directories(folder, ec);
        if (ec) folder.clear();
        else setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    ~RecordsInMemory() {
        if (folder.empty()) return;
        if (saved) setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

// Four shards of a quarter million messages each, so that a parallel test run shares them out.
constexpr int kShards = 4;

TEST_P(MonkeyTest, RandomMessagesKeepTheRulesAndTheScreen) {
    RecordsInMemory memoryFiles;
    const long total = EnvNumber("ZUM32_MONKEY_MESSAGES", 250000);
    const std::uint32_t first =
        static_cast<std::uint32_t>(EnvNumber("ZUM32_MONKEY_SEED", 1)) + 1000u * static_cast<std::uint32_t>(GetParam());
    constexpr long kPerSequence = 10000;
    long sent = 0, events = 0;
    Monitor reached;
    for (std::uint32_t s = first; sent < total; ++s) {
        bool ok = RunSequence(s, std::min(kPerSequence, total - sent));
        sent += checks.messages;
        events += step;
        reached.clears += checks.clears;
        reached.gameOvers += checks.gameOvers;
        reached.explosions += checks.explosions;
        reached.abandonedByStart += checks.abandonedByStart;
        reached.abandonedByTitle += checks.abandonedByTitle;
        reached.entries += checks.entries;
        reached.dialogs += checks.dialogs;
        reached.fullChecks += checks.fullChecks;
        for (int level = 1; level <= 3; ++level) reached.starts[level] += checks.starts[level];
        if (!ok) return;
    }
    std::printf("monkey: %ld messages from %ld events; %ld explosions, %ld cut short by Start and "
                "%ld by the title; %ld clears, %ld names entered, %ld games over; %ld dialogs; "
                "games at levels 1-3: %ld %ld %ld; %ld full screen checks\n",
                sent, events, reached.explosions, reached.abandonedByStart,
                reached.abandonedByTitle, reached.clears, reached.entries, reached.gameOvers,
                reached.dialogs, reached.starts[1], reached.starts[2], reached.starts[3],
                reached.fullChecks);
    if (total < 200000) return;
    // A monkey that never reaches the interesting states proves nothing.
    EXPECT_GT(reached.explosions, 0);
    EXPECT_GT(reached.abandonedByStart, 0);
    EXPECT_GT(reached.abandonedByTitle, 0);
    EXPECT_GT(reached.clears, 0);
    EXPECT_GT(reached.entries, 0);
    EXPECT_GT(reached.gameOvers, 0);
    for (int level = 1; level <= 3; ++level) EXPECT_GT(reached.starts[level], 0) << level;
}

INSTANTIATE_TEST_SUITE_P(Shards, MonkeyTest, testing::Range(0, kShards));

}  // namespace
