// The main window: class, creation and the window procedure that dispatches by screen state.
#pragma once

#include "windows.h"

constexpr UINT_PTR TIMER_TITLE = 1;
constexpr UINT_PTR TIMER_CLOCK = 2;
constexpr UINT_PTR TIMER_BOMBROW = 3;
constexpr UINT_PTR TIMER_EXPLOSION = 4;

constexpr int kTitleSide = 368;

// The main window's class as RegisterMainClass registers it.
WNDCLASSA MainClass(HINSTANCE instance);
ATOM RegisterMainClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// The two moves on the cell in clickedCol and clickedRow, inside the busy protocol: the left
// button's (a click, a drag step, Space or Return) and the right button's (a click or F).
void OpenClickedCell(HWND window);
void FlagClickedCell(HWND window);
