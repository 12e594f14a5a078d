// The main window: class, creation and the window procedure that dispatches by screen state.
#include "shell/main_window.h"

#include <time.h>

#include <cstdio>

#include "game/explosion.h"
#include "game/game_state.h"
#include "game/generate.h"
#include "game/moves.h"
#include "game/random.h"
#include "records/best_five.h"
#include "records/dialogs.h"
#include "records/settings.h"
#include "render/cell_cursor.h"
#include "render/end_screens.h"
#include "render/play_screen.h"
#include "render/status.h"
#include "resource.h"
#include "shell/keyboard.h"
#include "shell/media.h"
#include "shell/spoken.h"
#include "shell/texts.h"
#include "shell/title.h"

namespace {

// The records file was replaced during a game: its level and tables wait for the next Start or
// the title, as a change in the properties dialog can only be made on the title.
bool recordsReplaced = false;

void TakeReplacedRecords(HWND window) {
    if (!recordsReplaced) return;
    recordsReplaced = false;
    LoadSettings(window);
}

void ResizeClient(HWND window, int side) {
    SetWindowPos(window, nullptr, 0, 0, 2 * GetSystemMetrics(SM_CXFRAME) + side,
                 GetSystemMetrics(SM_CYCAPTION) + side + GetSystemMetrics(SM_CYMENU) +
                     2 * GetSystemMetrics(SM_CYFRAME),
                 SWP_NOMOVE | SWP_NOZORDER);
}

void OnCreate(HWND window) {
    GameState.palette = LoadDibPalette("DIB_TITLE");
    GameState.charBitmap = LoadDeviceBitmap(window, GameState.palette, "DIB_CHAR");
    GameState.titleBitmap = LoadDeviceBitmap(window, GameState.palette, "DIB_TITLE");
    GameState.subBitmap = LoadDeviceBitmap(window, GameState.palette, "DIB_SUB");
    SetTimer(window, TIMER_TITLE, 128, nullptr);
    LoadSettings(window);
    titleFrame = 0;
}

LRESULT OnPaint(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    PAINTSTRUCT ps;
    DrawContext dc = BeginPaintContext(window, &ps);
    GameStateRecord& g = GameState;
    switch (ScreenState) {
        case Title:
            DrawTitleScreen(g.charBitmap, g.titleBitmap, dc.windowDC, dc.memoryDC);
            // A full repaint always shows frame 1, whatever frame the animation is at.
            BitBlt(dc.windowDC, kTitleAnimX, kTitleAnimY, 32, 32, dc.memoryDC, 32, 224, SRCCOPY);
            break;
        case Playing:
            DrawPlayScreen(g.charBitmap, dc.windowDC, dc.memoryDC, g.clockSeconds);
            break;
        case Exploding:
            // The uncovered area keeps the class background until the next full repaint.
            break;
        case Cleared:
            DrawClearedScreen(g.charBitmap, g.subBitmap, dc.windowDC, dc.memoryDC, g.clockSeconds);
            break;
        case GameOver:
            DrawGameOverScreen(g.charBitmap, g.subBitmap, dc.windowDC, dc.memoryDC,
                               g.clockSeconds);
            break;
        default:
            EndPaintContext(window, &ps, dc);
            return DefWindowProcA(window, msg, wParam, lParam);
    }
    EndPaintContext(window, &ps, dc);
    return 0;
}

void OnStart(HWND window) {
    TakeReplacedRecords(window);
    GameStateRecord& g = GameState;
    KillTimer(window, TIMER_TITLE);
    AbandonExplosion();
    g.clockSeconds = 0;
    g.openedCount = 0;
    g.bombsHit = 0;
    g.bombRowFrame = 1;
    g.explosionFrame = 0;
    SetTimer(window, TIMER_EXPLOSION, 60, nullptr);
    SetTimer(window, TIMER_BOMBROW, 100, nullptr);
    SetTimer(window, TIMER_CLOCK, 1000, nullptr);
    ResetCellCursor();
    // The remainder of a signed division by 65535 (not 65536): -1 seeds all 32 bits set.
    SeedRandom(static_cast<std::uint32_t>(_time32(nullptr) % 0xFFFF));
    GeneratePuzzle();
    EnableMenuItem(GetMenu(window), CMD_PROPERTY, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
    PlayCue("START");
    ResizeClient(window, (kBoardSize[g.level] + kClueMargin[g.level]) * 16);
    ScreenState = Playing;
    InvalidateRect(window, nullptr, TRUE);
    SpeakScreen(window);
}

void OnReturnToTitle(HWND window) {
    KillTimer(window, TIMER_EXPLOSION);
    KillTimer(window, TIMER_BOMBROW);
    KillTimer(window, TIMER_CLOCK);
    AbandonExplosion();
    ResetCellCursor();
    SetTimer(window, TIMER_TITLE, 128, nullptr);
    EnableMenuItem(GetMenu(window), CMD_PROPERTY, MF_BYCOMMAND | MF_ENABLED);
    titleFrame = 0;
    ResizeClient(window, kTitleSide);
    ScreenState = Title;
    InvalidateRect(window, nullptr, TRUE);
    TakeReplacedRecords(window);
    SpeakScreen(window);
}

LRESULT OnCommand(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    HINSTANCE instance = GameState.instanceHandle;
    switch (LOWORD(wParam)) {
        case CMD_START: OnStart(window); return 0;
        case CMD_RECORDS: DialogBoxParamA(instance, "DLG_SCORE", window, ScoreDialogProc, 0); return 0;
        case CMD_TITLE: OnReturnToTitle(window); return 0;
        case CMD_PROPERTY:
            DialogBoxParamA(instance, "DLG_PROPATY", window, PropertyDialogProc, 0);
            return 0;
        case CMD_EXIT:
            // WM_DESTROY is sent to ourselves, the window is not destroyed first.
            SendMessageA(window, WM_DESTROY, 0, 0);
            return 0;
        case CMD_HELP: WinHelpA(window, "ZUM32.HLP", HELP_CONTENTS, 0); return 0;
        case CMD_ABOUT: DialogBoxParamA(instance, "DLG_ABOUT", window, AboutDialogProc, 0); return 0;
        case CMD_ENTRY:
            // No name is asked for a time that the file's table no longer has room for.
            if (RecordStillPlaces()) DialogBoxParamA(instance, "DLG_ENTRY", window, EntryDialogProc, 0);
            return 0;
        default: return DefWindowProcA(window, msg, wParam, lParam);
    }
}

void GameOverCheck(HWND window) {
    if (GameState.bombsHit <= 4) return;
    PlayCue("OVER");
    KillTimer(window, TIMER_CLOCK);
    KillTimer(window, TIMER_EXPLOSION);
    KillTimer(window, TIMER_BOMBROW);
    ScreenState = GameOver;
    InvalidateRect(window, nullptr, TRUE);
    SpeakEndScreen(window);
}

LRESULT OnTimer(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    GameStateRecord& g = GameState;
    switch (wParam) {
        case TIMER_TITLE: {
            ScreenState = Busy;
            DrawContext dc = AcquireDrawContext(window);
            DrawTitleFrame(g.titleBitmap, dc.windowDC, dc.memoryDC, titleFrame);
            ReleaseDrawContext(window, dc);
            ScreenState = Title;
            return 0;
        }
        case TIMER_CLOCK: {
            if (ScreenState != Playing) return 0;
            ScreenState = Busy;
            DrawContext dc = AcquireDrawContext(window);
            TickClock(g.charBitmap, dc.windowDC, dc.memoryDC, g.clockSeconds);
            ReleaseDrawContext(window, dc);
            if (ScreenState == Busy) ScreenState = Playing;
            return 0;
        }
        case TIMER_BOMBROW: {
            if (ScreenState != Playing) return 0;
            ScreenState = Busy;
            DrawContext dc = AcquireDrawContext(window);
            AnimateBombRow(g.charBitmap, dc.windowDC, dc.memoryDC, g.bombRowFrame);
            ReleaseDrawContext(window, dc);
            ScreenState = Playing;
            return 0;
        }
        case TIMER_EXPLOSION: {
            if (ScreenState != Exploding) return DefWindowProcA(window, msg, wParam, lParam);
            g.explosionFrame += 1;
            DrawContext dc = AcquireDrawContext(window);
            StepExplosion(dc.windowDC, dc.memoryDC);
            // An explosion that opens the last safe cells clears the board, unless it was the
            // fifth bomb: then the game is over.
            if (ScreenState == Playing && g.bombsHit <= 4 && g.openedCount >= WinThreshold()) {
                ClearBoard(g.charBitmap, g.subBitmap, dc.windowDC, dc.memoryDC, window,
                           g.clockSeconds);
                SpeakEndScreen(window);
            }
            // The last step redrew the bomb's square, the cursor's cell among them.
            if (ScreenState == Playing) DrawCellCursor(dc.windowDC);
            ReleaseDrawContext(window, dc);
            GameOverCheck(window);
            return 0;
        }
        default:
            return DefWindowProcA(window, msg, wParam, lParam);
    }
}

// Stores the hit cell and tells whether it lies on the board.
bool HitTest(LPARAM lParam) {
    const int m = kClueMargin[GameState.level];
    const int n = kBoardSize[GameState.level];
    unsigned x = LOWORD(static_cast<UINT_PTR>(lParam));
    unsigned y = HIWORD(static_cast<UINT_PTR>(lParam));
    GameState.clickedCol = static_cast<std::int32_t>(x / 16) - m;
    GameState.clickedRow = static_cast<std::int32_t>(y / 16) - m;
    return GameState.clickedCol >= 0 && GameState.clickedCol < n && GameState.clickedRow >= 0 &&
           GameState.clickedRow < n;
}

LRESULT OnLeftButton(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (ScreenState != Playing || !HitTest(lParam)) return DefWindowProcA(window, msg, wParam, lParam);
    HideCellCursor(window);
    OpenClickedCell(window);
    return 0;
}

LRESULT OnRightButton(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (ScreenState != Playing || !HitTest(lParam)) return DefWindowProcA(window, msg, wParam, lParam);
    HideCellCursor(window);
    FlagClickedCell(window);
    return 0;
}

void OnPaletteChanged(HWND window, WPARAM wParam) {
    if (reinterpret_cast<HWND>(wParam) == window) return;
    HDC dc = GetDC(window);
    GameState.savedPalette = SelectPalette(dc, GameState.palette, FALSE);
    GameState.realizeResult = static_cast<std::int32_t>(RealizePalette(dc));
    if (GameState.realizeResult != 0) UpdateColors(dc);
    SelectPalette(dc, GameState.savedPalette, FALSE);
    ReleaseDC(window, dc);
}

}  // namespace

void OpenClickedCell(HWND window) {
    GameStateRecord& g = GameState;
    const int col = g.clickedCol, row = g.clickedRow;
    const bool wasOpen = g.openGrid[col][row] == '1';
    ScreenState = Busy;
    DrawContext dc = AcquireDrawContext(window);
    OpenCell(col, row, g.charBitmap, dc.windowDC, dc.memoryDC, g.explosionFrame, window,
             g.clockSeconds, g.subBitmap);
    // A key's move keeps its frame on the cell it opened; a click has taken the frame off.
    if (ScreenState == Playing) DrawCellCursor(dc.windowDC);
    ReleaseDrawContext(window, dc);
    if (wasOpen || g.openGrid[col][row] != '1') return;
    if (ScreenState == Exploding) {
        SpeakOpenedCells(window);
        SpeakOutcome(window, FormatText(IDS_SPOKEN_EXPLOSION, g.bombsHit + 1).c_str());
    } else if (ScreenState == Cleared) {
        SpeakOpenedCells(window);
        SpeakEndScreen(window);
    } else {
        SpeakCellChanged(window, col, row);
        CountOpenedCell();
    }
}

void FlagClickedCell(HWND window) {
    GameStateRecord& g = GameState;
    const int col = g.clickedCol, row = g.clickedRow;
    const char before = g.flagGrid[col][row];
    ScreenState = Busy;
    DrawContext dc = AcquireDrawContext(window);
    ToggleFlag(col, row, g.charBitmap, dc.windowDC, dc.memoryDC);
    DrawCellCursor(dc.windowDC);
    ReleaseDrawContext(window, dc);
    ScreenState = Playing;
    if (g.flagGrid[col][row] == before) return;
    SpeakCellChanged(window, col, row);
    SpeakOutcome(window, LoadText(before == '0' ? IDS_SPOKEN_FLAG_SET : IDS_SPOKEN_FLAG_REMOVED).c_str());
}

WNDCLASSA MainClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = 0;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "ICON_ZUM32");
    wc.hCursor = LoadCursorA(instance, "CUR_ZUM32");
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = "MENU_ZUM32";
    wc.lpszClassName = "ZUM32";
    return wc;
}

ATOM RegisterMainClass(HINSTANCE instance) {
    WNDCLASSA wc = MainClass(instance);
    return RegisterClassA(&wc);
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
    GameState.instanceHandle = instance;
    HWND window = CreateWindowA(
        "ZUM32", LoadText(IDS_APP_NAME).c_str(), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        CW_USEDEFAULT, CW_USEDEFAULT, 2 * GetSystemMetrics(SM_CXFRAME) + kTitleSide,
        GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) +
            2 * GetSystemMetrics(SM_CYFRAME) + kTitleSide,
        nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

LRESULT MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            KillTimer(window, TIMER_TITLE);
            KillTimer(window, TIMER_BOMBROW);
            KillTimer(window, TIMER_EXPLOSION);
            KillTimer(window, TIMER_CLOCK);
            WinHelpA(window, "ZOZAR.HLP", HELP_QUIT, 0);
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            return OnPaint(window, msg, wParam, lParam);
        case WM_COMMAND:
            return OnCommand(window, msg, wParam, lParam);
        case WM_TIMER:
            return OnTimer(window, msg, wParam, lParam);
        case WM_MOUSEMOVE:
            // A drag with the left button alone opens every cell it crosses.
            if (wParam == MK_LBUTTON) SendMessageA(window, WM_LBUTTONDOWN, 0, lParam);
            return 0;
        case WM_KEYDOWN:
            if (wParam == kStatusKey) {
                SpeakStatus(window);
                return 0;
            }
            return OnKeyDown(window, msg, wParam, lParam);
        case WM_ACC_CHILDTEXT:
        case WM_ACC_BOARDSIDE:
            return AnswerSpokenText(msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            return OnLeftButton(window, msg, wParam, lParam);
        case WM_LBUTTONUP:
            SpeakOpenedCells(window);
            return DefWindowProcA(window, msg, wParam, lParam);
        case WM_KEYUP:
            if (wParam == VK_SHIFT) SpeakOpenedCells(window);
            return DefWindowProcA(window, msg, wParam, lParam);
        case WM_RBUTTONDOWN:
            return OnRightButton(window, msg, wParam, lParam);
        case WM_PALETTECHANGED:
            OnPaletteChanged(window, wParam);
            return 0;
        default:
            if (msg == RecordsReplacedMessage()) {
                recordsReplaced = true;
                if (ScreenState == Title) TakeReplacedRecords(window);
                return 0;
            }
            return DefWindowProcA(window, msg, wParam, lParam);
    }
}
