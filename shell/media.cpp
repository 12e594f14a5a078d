// Palette and bitmaps made from the resources, the two kinds of drawing context, sound cues.
#include "shell/media.h"

#include <cstdint>

#include "game/game_state.h"

namespace {
constexpr int kColorTableOffset = 40;
constexpr DWORD kBitsOffset = 40 + 256 * 4;
}  // namespace

bool DibBitsFit(const BITMAPINFOHEADER* header, DWORD bitsBytes) {
    if (header->biWidth <= 0 || header->biHeight == 0) return false;
    const std::int64_t height = header->biHeight < 0 ? -std::int64_t{header->biHeight} : header->biHeight;
    const std::int64_t stride = (std::int64_t{header->biWidth} * header->biBitCount + 31) / 32 * 4;
    // Divided, not multiplied: a header's width and height may be as large as their types allow.
    return stride <= std::int64_t{bitsBytes} / height;
}

HPALETTE LoadDibPalette(LPCSTR resourceName) {
    HRSRC info = FindResourceA(GameState.instanceHandle, resourceName, RT_BITMAP);
    HGLOBAL data = LoadResource(GameState.instanceHandle, info);
    auto* dib = static_cast<const BYTE*>(LockResource(data));
    // Without its bitmap the game cannot start; no palette tells the caller so.
    if (!dib || SizeofResource(GameState.instanceHandle, info) < kBitsOffset) return nullptr;

    // A LOGPALETTE header and 256 entries need 1028 bytes; the block is a little larger.
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 1032);
    auto* logPalette = static_cast<LOGPALETTE*>(GlobalLock(block));
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = 256;
    // The count is always 256, whatever the header says.
    for (int i = 0; i < 256; ++i) {
        const BYTE* quad = dib + kColorTableOffset + 4 * i;
        PALETTEENTRY& entry = logPalette->palPalEntry[i];
        entry.peRed = quad[2];
        entry.peGreen = quad[1];
        entry.peBlue = quad[0];
        entry.peFlags = 0;
    }
    HPALETTE palette = CreatePalette(logPalette);
    GlobalUnlock(block);
    GlobalFree(block);
    FreeResource(data);
    return palette;
}

HBITMAP LoadDeviceBitmap(HWND window, HPALETTE palette, LPCSTR resourceName) {
    HRSRC info = FindResourceA(GameState.instanceHandle, resourceName, RT_BITMAP);
    HGLOBAL data = LoadResource(GameState.instanceHandle, info);
    auto* dib = static_cast<const BYTE*>(LockResource(data));
    DWORD size = SizeofResource(GameState.instanceHandle, info);
    // A bitmap shorter than its header claims is refused here: CreateDIBitmap would overread it.
    if (!dib || size < kBitsOffset ||
        !DibBitsFit(reinterpret_cast<const BITMAPINFOHEADER*>(dib), size - kBitsOffset))
        return nullptr;

    HDC dc = GetDC(window);
    HPALETTE displaced = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    HBITMAP bitmap = CreateDIBitmap(dc, header, CBM_INIT, dib + kBitsOffset,
                                    reinterpret_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS);
    SelectPalette(dc, displaced, FALSE);
    ReleaseDC(window, dc);
    FreeResource(data);
    return bitmap;
}

DrawContext BeginPaintContext(HWND window, PAINTSTRUCT* ps) {
    DrawContext dc;
    dc.windowDC = BeginPaint(window, ps);
    dc.memoryDC = CreateCompatibleDC(dc.windowDC);
    SetBkMode(dc.windowDC, TRANSPARENT);
    GameState.savedPalette = SelectPalette(dc.windowDC, GameState.palette, FALSE);
    RealizePalette(dc.windowDC);
    return dc;
}

void EndPaintContext(HWND window, PAINTSTRUCT* ps, const DrawContext& dc) {
    SelectPalette(dc.windowDC, GameState.savedPalette, FALSE);
    DeleteDC(dc.memoryDC);
    EndPaint(window, ps);
}

DrawContext AcquireDrawContext(HWND window) {
    DrawContext dc;
    dc.windowDC = GetDC(window);
    dc.memoryDC = CreateCompatibleDC(dc.windowDC);
    GameState.savedPalette = SelectPalette(dc.windowDC, GameState.palette, FALSE);
    RealizePalette(dc.windowDC);
    return dc;
}

void ReleaseDrawContext(HWND window, const DrawContext& dc) {
    SelectPalette(dc.windowDC, GameState.savedPalette, FALSE);
    DeleteDC(dc.memoryDC);
    ReleaseDC(window, dc.windowDC);
}

void PlayCue(LPCSTR cueName) {
    GameState.cueResource = FindResourceA(GameState.instanceHandle, cueName, "WAV");
    GameState.cueData = LoadResource(GameState.instanceHandle, GameState.cueResource);
    GameState.cueBytes = LockResource(GameState.cueData);
    sndPlaySoundA(nullptr, 0);
    sndPlaySoundA(static_cast<LPCSTR>(GameState.cueBytes), SND_ASYNC | SND_MEMORY);
}
