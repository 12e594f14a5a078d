// The two player moves on the board: opening a cell and toggling a flag.
#pragma once

#include <cstdint>

#include "windows.h"

// The safe cells a level needs opened to clear: 70, 165 or 310.
std::int32_t WinThreshold();

void OpenCell(int c, int r, HBITMAP sheet, HDC destDC, HDC memoryDC, std::int32_t& explosionFrame,
              HWND window, std::int32_t& clock, HBITMAP bannerSheet);
void ToggleFlag(int c, int r, HBITMAP sheet, HDC destDC, HDC memoryDC);

// The time a clear with the clock field at clock stores: the clock's last shown second, at least 1.
std::int32_t ClearedSeconds(std::int32_t clock);

// The board is cleared: cue, timers stopped, cleared screen, time stored, name entry when the
// time beats the level's fifth best. Shared by the last click and by an explosion that opens
// the last safe cells.
void ClearBoard(HBITMAP sheet, HBITMAP bannerSheet, HDC destDC, HDC memoryDC, HWND window,
                std::int32_t clock);
