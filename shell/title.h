// The title screen: a static composition and an eight-frame figure animated by timer 1.
#pragma once

#include <cstdint>

#include "windows.h"

extern std::int8_t titleFrame;  // the frame the next tick draws, 0..7

void DrawTitleScreen(HBITMAP charSheet, HBITMAP titleSheet, HDC destDC, HDC memoryDC);
void DrawTitleFrame(HBITMAP titleSheet, HDC destDC, HDC memoryDC, std::int8_t& frame);

constexpr int kTitleAnimX = 245;
constexpr int kTitleAnimY = 64;
