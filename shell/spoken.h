// What a screen reader is told: the names of the window and of the board's cells, built from
// GameState when it asks, and the outcome of each move as it happens.
#pragma once

#include "windows.h"

// The key that reads the counters and the clock.
constexpr WPARAM kStatusKey = 'S';

// The cursor's cell has the reader's attention; it reads the cell's name.
void SpeakCursorCell(HWND window);
// The cell's name changed (opened, flagged); the reader hears it again when it has the cursor.
void SpeakCellChanged(HWND window, int col, int row);
// A safe cell was opened by a click, a drag's step or a key; SpeakOpenedCells says how many.
void CountOpenedCell();
// The move that opened cells is over (Space, or the button or Shift let go): how many it opened.
void SpeakOpenedCells(HWND window);
// One outcome, said once.
void SpeakOutcome(HWND window, const char* text);
// A game started or the title came back: the window's name says which, and has the attention.
void SpeakScreen(HWND window);
// The board was cleared or the game is over: said once, as an outcome, and the window's name.
void SpeakEndScreen(HWND window);
// The status key's reading: safe cells left and opened, bombs hit, the clock.
void SpeakStatus(HWND window);

// WM_ACC_CHILDTEXT and WM_ACC_BOARDSIDE of the main window.
LRESULT AnswerSpokenText(UINT msg, WPARAM wParam, LPARAM lParam);
