// Palette and bitmaps made from the resources, the two kinds of drawing context, sound cues.
#pragma once

#include "windows.h"

// True when bitsBytes hold the whole image that the DIB header describes.
bool DibBitsFit(const BITMAPINFOHEADER* header, DWORD bitsBytes);
HPALETTE LoadDibPalette(LPCSTR resourceName);
HBITMAP LoadDeviceBitmap(HWND window, HPALETTE palette, LPCSTR resourceName);

// A drawing context: the window DC with the game palette realized, and a compatible memory DC.
struct DrawContext {
    HDC windowDC;
    HDC memoryDC;
};

// For WM_PAINT only.
DrawContext BeginPaintContext(HWND window, PAINTSTRUCT* ps);
void EndPaintContext(HWND window, PAINTSTRUCT* ps, const DrawContext& dc);

// For timer and mouse handlers.
DrawContext AcquireDrawContext(HWND window);
void ReleaseDrawContext(HWND window, const DrawContext& dc);

// Stops the cue that still sounds and plays the named "WAV" resource from memory.
void PlayCue(LPCSTR cueName);
