// What a screen reader is told: the names of the window and of the board's cells, built from
// GameState when it asks, and the outcome of each move as it happens.
#include "shell/spoken.h"

#include <cstdio>
#include <cstring>

#include "game/game_state.h"
#include "game/moves.h"
#include "records/dialogs.h"
#include "records/settings.h"
#include "resource.h"

namespace {

char lastOutcome[128] = "";
// Safe cells opened by the move still under way.
int openedByMove = 0;

// While a game's board is shown, its side; else 0.
int BoardSide() {
    const bool board = ScreenState == Playing || ScreenState == Exploding;
    return board ? kBoardSize[GameState.level] : 0;
}

// The announcements follow the cells; on a screen without a board they are the only child.
LONG OutcomeChild() { return BoardSide() * BoardSide() + 1; }

LONG CellChild(int col, int row) { return 1 + row * BoardSide() + col; }

// The clock's last shown second, which a cleared board keeps as its time; the end screens' own
// paint of the clock runs one ahead, as every paint of it does.
int ShownClock() {
    if (ScreenState == Cleared) return ClearedSeconds(GameState.clockSeconds);
    if (ScreenState == GameOver) return GameState.clockSeconds;
    return GameState.clockSeconds > 0 ? GameState.clockSeconds - 1 : 0;
}

// The runs of a line, "1 4 3", or "なし" for a line of bombs only.
void AppendClues(char* text, std::size_t size, const std::uint8_t* runs, std::size_t stride) {
    std::size_t at = std::strlen(text);
    if (runs[0] == 0) {
        std::snprintf(text + at, size - at, "なし");
        return;
    }
    for (int k = 0; k < 20 && runs[k * stride] != 0 && at < size; ++k) {
        at += static_cast<std::size_t>(
            std::snprintf(text + at, size - at, k == 0 ? "%d" : " %d", runs[k * stride]));
    }
}

void CellText(char* text, std::size_t size, int col, int row) {
    const GameStateRecord& g = GameState;
    const char* state = g.openGrid[col][row] == '1'   ? (g.bombGrid[col][row] == '1' ? "爆弾" : "開いたマス")
                        : g.flagGrid[col][row] == '1' ? "旗"
                                                      : "閉じたマス";
    std::snprintf(text, size, "%d行 %d列 %s、行のヒント ", row + 1, col + 1, state);
    AppendClues(text, size, &g.rowClues[0][row], 20);
    std::size_t at = std::strlen(text);
    std::snprintf(text + at, size - at, "、列のヒント ");
    AppendClues(text, size, &g.colClues[col][0], 1);
}

void ScreenText(char* text, std::size_t size) {
    const char* level = kLevelName[GameState.level];
    switch (ScreenState) {
        case Title:
            std::snprintf(text, size, "ずむのタイル32 タイトル画面、%s。Ctrl+N でゲームを始めます。", level);
            break;
        case Cleared:
            std::snprintf(text, size, "クリア！ 時間 %d秒。Ctrl+N で次のゲームを始めます。", ShownClock());
            break;
        case GameOver:
            std::snprintf(text, size, "ゲームオーバー。Ctrl+N で次のゲームを始めます。");
            break;
        default:
            std::snprintf(text, size,
                          "%sのゲーム。矢印キーでマスを選び、Space で開け、F で旗、S で状況を読みます。",
                          level);
            break;
    }
}

}  // namespace

void SpeakCursorCell(HWND window) {
    if (BoardSide() == 0) return;
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT,
                   CellChild(GameState.cursorCol, GameState.cursorRow));
}

void SpeakCellChanged(HWND window, int col, int row) {
    if (BoardSide() == 0) return;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CellChild(col, row));
}

void CountOpenedCell() { openedByMove += 1; }

void SpeakOpenedCells(HWND window) {
    if (openedByMove == 0) return;
    char text[64];
    if (openedByMove == 1) {
        std::snprintf(text, sizeof text, "開きました");
    } else {
        std::snprintf(text, sizeof text, "%dマス開きました", openedByMove);
    }
    openedByMove = 0;
    SpeakOutcome(window, text);
}

void SpeakOutcome(HWND window, const char* text) {
    std::snprintf(lastOutcome, sizeof lastOutcome, "%s", text);
    NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, OutcomeChild());
}

void SpeakScreen(HWND window) {
    // The last game's outcomes are not this screen's.
    openedByMove = 0;
    lastOutcome[0] = '\0';
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, CHILDID_SELF);
}

void SpeakEndScreen(HWND window) {
    char text[128];
    ScreenText(text, sizeof text);
    SpeakOutcome(window, text);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void SpeakStatus(HWND window) {
    if (ScreenState == Title) {
        char text[128];
        ScreenText(text, sizeof text);
        SpeakOutcome(window, text);
        return;
    }
    char text[128];
    std::snprintf(text, sizeof text, "残り %dマス、開いた %dマス、爆弾 %d回、時間 %d秒",
                  WinThreshold() - GameState.openedCount, GameState.openedCount, GameState.bombsHit,
                  ShownClock());
    SpeakOutcome(window, text);
}

LRESULT AnswerSpokenText(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACC_BOARDSIDE) return BoardSide();
    const int child = LOWORD(wParam);
    char text[256];
    const int side = BoardSide();
    if (child == CHILDID_SELF) {
        ScreenText(text, sizeof text);
    } else if (child == OutcomeChild()) {
        std::snprintf(text, sizeof text, "%s", lastOutcome);
    } else if (child >= 1 && child <= side * side) {
        CellText(text, sizeof text, (child - 1) % side, (child - 1) / side);
    } else {
        return 0;
    }
    return CopyChildText(wParam, lParam, text);
}
