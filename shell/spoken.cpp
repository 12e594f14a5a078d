// What a screen reader is told: the names of the window and of the board's cells, built from
// GameState when it asks, and the outcome of each move as it happens.
#include "shell/spoken.h"

#include <cstdio>
#include <cstring>

#include "game/game_state.h"
#include "game/moves.h"
#include "records/dialogs.h"
#include "resource.h"
#include "shell/texts.h"

namespace {

char lastOutcome[192] = "";
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

// The runs of a line, "1 4 3", or the word for none on a line of bombs only.
std::string Clues(const std::uint8_t* runs, std::size_t stride) {
    if (runs[0] == 0) return LoadText(IDS_SPOKEN_NO_CLUES);
    std::string text;
    for (int k = 0; k < 20 && runs[k * stride] != 0; ++k) {
        if (k > 0) text += ' ';
        text += std::to_string(runs[k * stride]);
    }
    return text;
}

void CellText(char* text, std::size_t size, int col, int row) {
    const GameStateRecord& g = GameState;
    const UINT state = g.openGrid[col][row] == '1'
                           ? (g.bombGrid[col][row] == '1' ? IDS_SPOKEN_BOMB : IDS_SPOKEN_OPEN)
                       : g.flagGrid[col][row] == '1' ? IDS_SPOKEN_FLAG
                                                     : IDS_SPOKEN_CLOSED;
    std::snprintf(text, size, "%s",
                  FormatText(IDS_SPOKEN_CELL, row + 1, col + 1, LoadText(state).c_str(),
                             Clues(&g.rowClues[0][row], 20).c_str(),
                             Clues(&g.colClues[col][0], 1).c_str())
                      .c_str());
}

void ScreenText(char* text, std::size_t size) {
    const std::string level = LoadText(IDS_LEVEL_NAME + GameState.level);
    std::string said;
    switch (ScreenState) {
        case Title:
            said = FormatText(IDS_SPOKEN_TITLE, level.c_str());
            break;
        case Cleared:
            said = FormatText(IDS_SPOKEN_CLEARED, ShownClock());
            break;
        case GameOver:
            said = LoadText(IDS_SPOKEN_GAME_OVER);
            break;
        default:
            said = FormatText(IDS_SPOKEN_PLAYING, level.c_str());
            break;
    }
    std::snprintf(text, size, "%s", said.c_str());
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
    const std::string text = openedByMove == 1 ? LoadText(IDS_SPOKEN_OPENED_ONE)
                                               : FormatText(IDS_SPOKEN_OPENED, openedByMove);
    openedByMove = 0;
    SpeakOutcome(window, text.c_str());
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
    char text[192];
    ScreenText(text, sizeof text);
    SpeakOutcome(window, text);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void SpeakStatus(HWND window) {
    if (ScreenState == Title) {
        char text[192];
        ScreenText(text, sizeof text);
        SpeakOutcome(window, text);
        return;
    }
    const std::string text =
        FormatText(IDS_SPOKEN_STATUS, WinThreshold() - GameState.openedCount, GameState.openedCount,
                   GameState.bombsHit, ShownClock());
    SpeakOutcome(window, text.c_str());
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
