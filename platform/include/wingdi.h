// GDI on an emulated 256-colour palette display: palettes, bitmaps of palette indices, DCs, BitBlt.
#pragma once

#include "windef.h"

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct LOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

constexpr DWORD BI_RGB = 0;
constexpr DWORD CBM_INIT = 0x04;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int WHITE_BRUSH = 0;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;

HPALETTE CreatePalette(const LOGPALETTE* logPalette);  // copies the entries
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);  // returns the displaced one
UINT RealizePalette(HDC dc);  // maps the DC's palette into the system palette; count of changes
BOOL UpdateColors(HDC dc);    // remaps the window's pixels after a realization, without a repaint
// 8-bit DIB to indices of the DC's realized palette; bits must hold the whole image, as on Windows.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
HDC CreateCompatibleDC(HDC dc);      // a memory DC holding a 1 x 1 bitmap until one is selected
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);  // a bitmap into a memory DC; returns the previous
BOOL DeleteDC(HDC dc);
BOOL DeleteObject(HGDIOBJ object);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            DWORD rop);  // SRCCOPY, SRCAND, SRCINVERT on indices, clipped to both surfaces
BOOL PatBlt(HDC dest, int x, int y, int width, int height,
            DWORD rop);  // BLACKNESS fills with index 0, WHITENESS with 255; clipped; no other rop
int SetBkMode(HDC dc, int mode);
HGDIOBJ GetStockObject(int object);
