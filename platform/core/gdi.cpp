// GDI objects and drawing on palette indices: DCs, bitmaps, logical palettes, DIB conversion, BitBlt.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "internal.h"

namespace platform {
namespace {

constexpr LONG kMaxBitmapSide = 16384;

struct GdiState {
    // Every live object by the handle the game holds, so that a stale or foreign handle is
    // refused instead of followed.
    std::unordered_map<const void*, GdiObject*> objects;
    std::unordered_set<HDC> memoryDCs;
    std::unordered_set<HDC> holders;  // DCs of either kind with a palette or brush selected
    HBITMAP__ stockBitmap;  // the 1 x 1 black bitmap that every new memory DC starts with
    HBRUSH__ whiteBrush;

    GdiState() {
        stockBitmap.surface.width = 1;
        stockBitmap.surface.height = 1;
        stockBitmap.surface.pixels.assign(1, 0);
        whiteBrush.index = 255;
        Track(&stockBitmap);
        Track(&whiteBrush);
        Track(DefaultPalette());
    }

    template <class T>
    void Track(T* object) {
        objects.emplace(static_cast<const void*>(object), static_cast<GdiObject*>(object));
    }

    bool IsStock(const void* handle) const {
        return handle == &stockBitmap || handle == &whiteBrush || handle == DefaultPalette();
    }
};

GdiState& G() {
    static GdiState state;
    return state;
}

GdiObject* Find(const void* handle) {
    if (!handle) return nullptr;
    auto it = G().objects.find(handle);
    return it == G().objects.end() ? nullptr : it->second;
}

template <class T, GdiKind kKind>
T* FindAs(const void* handle) {
    GdiObject* object = Find(handle);
    return object && object->kind == kKind ? static_cast<T*>(object) : nullptr;
}

HBITMAP__* FindBitmap(const void* h) { return FindAs<HBITMAP__, GdiKind::Bitmap>(h); }
HPALETTE__* FindPalette(const void* h) { return FindAs<HPALETTE__, GdiKind::Palette>(h); }
HBRUSH__* FindBrush(const void* h) { return FindAs<HBRUSH__, GdiKind::Brush>(h); }

bool IsMemoryDC(HDC dc) { return dc && G().memoryDCs.count(dc) != 0; }

// The pixels a DC draws into: the window's client area or the memory DC's bitmap.
Surface* SurfaceOf(HDC dc) {
    if (!dc) return nullptr;
    if (dc->kind == HDC__::Kind::Window)
        return IsLiveWindow(dc->window) ? &dc->window->framebuffer : nullptr;
    return IsMemoryDC(dc) && dc->bitmap ? &dc->bitmap->surface : nullptr;
}

HBITMAP NewBitmap(int width, int height) {
    auto* bitmap = new HBITMAP__;
    bitmap->surface.width = width;
    bitmap->surface.height = height;
    bitmap->surface.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    G().Track(bitmap);
    return bitmap;
}

bool SaneSize(LONG width, LONG height) {
    return width > 0 && width <= kMaxBitmapSide && height != 0 &&
           height >= -kMaxBitmapSide && height <= kMaxBitmapSide;
}

// What an 8-bit uncompressed DIB needs to be read safely; null when the header is unusable.
struct DibLayout {
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    std::size_t stride = 0;
    int colours = 0;
    const RGBQUAD* table = nullptr;
};

// Resource bytes carry no alignment promise, so headers are copied out rather than read in place.
BITMAPINFOHEADER CopyHeader(const void* bytes) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, bytes, sizeof h);
    return h;
}

bool ReadLayout(const BITMAPINFO* info, DibLayout& out) {
    const BITMAPINFOHEADER h = CopyHeader(info);
    // Only the plain 40-byte header and its V4 and V5 extensions are known.
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 124) return false;
    if (h.biPlanes != 1 || h.biBitCount != 8 || h.biCompression != BI_RGB) return false;
    if (h.biClrUsed > 256 || !SaneSize(h.biWidth, h.biHeight)) return false;
    out.width = h.biWidth;
    out.bottomUp = h.biHeight > 0;
    out.height = out.bottomUp ? h.biHeight : -h.biHeight;
    out.stride = (static_cast<std::size_t>(out.width) + 3) & ~static_cast<std::size_t>(3);
    out.colours = h.biClrUsed ? static_cast<int>(h.biClrUsed) : 256;
    out.table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + h.biSize);
    return true;
}

void ApplyRop(BYTE* d, const BYTE* s, int n, DWORD rop, bool rightToLeft) {
    if (rop == SRCCOPY) {
        std::memmove(d, s, static_cast<std::size_t>(n));
    } else if (rightToLeft) {
        // Only when source and destination share a row with the destination to the right.
        for (int i = n - 1; i >= 0; --i) d[i] = rop == SRCAND ? d[i] & s[i] : d[i] ^ s[i];
    } else if (rop == SRCAND) {
        for (int i = 0; i < n; ++i) d[i] &= s[i];
    } else {
        for (int i = 0; i < n; ++i) d[i] ^= s[i];
    }
}

// Whether the operation would change any of the n destination pixels.
bool RowChanges(const BYTE* d, const BYTE* s, int n, DWORD rop) {
    if (rop == SRCCOPY) return std::memcmp(d, s, static_cast<std::size_t>(n)) != 0;
    for (int i = 0; i < n; ++i)
        if ((rop == SRCAND ? d[i] & s[i] : d[i] ^ s[i]) != d[i]) return true;
    return false;
}

// Narrows [start, start + length) of one axis to [0, limit), moving the other rectangle's start
// along; coordinates are 64-bit so that no sum of two ints can overflow.
void ClipAxis(std::int64_t& start, std::int64_t& other, std::int64_t& length, std::int64_t limit) {
    if (start < 0) {
        other -= start;
        length += start;
        start = 0;
    }
    length = std::min(length, limit - start);
}

}  // namespace
}  // namespace platform

using namespace platform;

HPALETTE CreatePalette(const LOGPALETTE* logPalette) {
    if (!logPalette || logPalette->palNumEntries == 0 || logPalette->palNumEntries > 256)
        return nullptr;
    auto* palette = new HPALETTE__;
    palette->entries.assign(logPalette->palPalEntry,
                            logPalette->palPalEntry + logPalette->palNumEntries);
    G().Track(palette);
    return palette;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL /*background*/) {
    if (!dc || !FindPalette(palette)) return nullptr;
    HPALETTE previous = dc->palette ? dc->palette : DefaultPalette();
    dc->palette = palette;
    G().holders.insert(dc);
    return previous;
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if (!header || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER h = CopyHeader(header);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || !SaneSize(h.biWidth, h.biHeight)) return nullptr;
    const int width = h.biWidth;
    const int height = h.biHeight > 0 ? h.biHeight : -h.biHeight;
    if (!(init & CBM_INIT)) return NewBitmap(width, height);

    DibLayout dib;
    if (!bits || !info || !ReadLayout(info, dib)) return nullptr;
    if (dib.width != width || dib.height != height) return nullptr;

    // Each colour of the DIB's table becomes the nearest index the DC's palette shows through;
    // pixel values beyond a short table are taken as black.
    std::array<PALETTEENTRY, 256> colours{};
    for (int i = 0; i < dib.colours; ++i)
        colours[i] = PALETTEENTRY{dib.table[i].rgbRed, dib.table[i].rgbGreen,
                                  dib.table[i].rgbBlue, 0};
    std::array<BYTE, 256> lut{};
    MatchRealizedColours(dc ? dc->palette : nullptr, colours.data(), 256, lut.data());

    HBITMAP bitmap = NewBitmap(width, height);
    const BYTE* source = static_cast<const BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(dib.bottomUp ? height - 1 - y : y);
        const BYTE* in = source + dib.stride * row;
        BYTE* out = bitmap->surface.Row(y);
        for (int x = 0; x < width; ++x) out[x] = lut[in[x]];
    }
    return bitmap;
}

HDC CreateCompatibleDC(HDC /*dc*/) {
    auto* memory = new HDC__;
    memory->kind = HDC__::Kind::Memory;
    memory->stockBitmap = &G().stockBitmap;
    memory->bitmap = memory->stockBitmap;
    G().memoryDCs.insert(memory);
    return memory;
}

HBITMAP CreateCompatibleBitmap(HDC /*dc*/, int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        return nullptr;
    return NewBitmap(width, height);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!dc) return nullptr;
    if (HBITMAP bitmap = FindBitmap(object)) {
        if (!IsMemoryDC(dc)) return nullptr;
        const bool stock = bitmap == &G().stockBitmap;
        // Like Windows, a bitmap lives in one memory DC at a time; the stock one is shared.
        if (!stock && bitmap->selectedInto && bitmap->selectedInto != dc) return nullptr;
        HBITMAP previous = dc->bitmap;
        if (previous && previous != bitmap) previous->selectedInto = nullptr;
        if (!stock) bitmap->selectedInto = dc;
        dc->bitmap = bitmap;
        return previous;
    }
    if (HBRUSH brush = FindBrush(object)) {
        HBRUSH previous = dc->brush ? dc->brush : &G().whiteBrush;
        dc->brush = brush;
        G().holders.insert(dc);
        return previous;
    }
    return nullptr;  // palettes go through SelectPalette, as in Windows
}

BOOL DeleteDC(HDC dc) {
    if (!dc) return FALSE;
    if (IsMemoryDC(dc)) {
        if (dc->bitmap && dc->bitmap != dc->stockBitmap) dc->bitmap->selectedInto = nullptr;
        G().memoryDCs.erase(dc);
    } else if (dc->kind != HDC__::Kind::Window) {
        return FALSE;
    }
    G().holders.erase(dc);
    delete dc;
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* found = Find(object);
    if (!found) return FALSE;
    if (G().IsStock(object)) return TRUE;  // stock objects outlive every request to delete them
    // As in Windows, an object still selected into a DC is not deleted.
    if (found->kind == GdiKind::Bitmap && static_cast<HBITMAP__*>(found)->selectedInto)
        return FALSE;
    for (HDC dc : G().holders)
        if (dc->palette == object || dc->brush == object) return FALSE;
    G().objects.erase(object);
    delete found;
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            DWORD rop) {
    if (rop != SRCCOPY && rop != SRCAND && rop != SRCINVERT) return FALSE;
    Surface* to = SurfaceOf(dest);
    const Surface* from = SurfaceOf(src);
    if (!to || !from) return FALSE;

    std::int64_t dx = x, dy = y, sx = srcX, sy = srcY;
    std::int64_t w = std::max(width, 0), h = std::max(height, 0);
    ClipAxis(sx, dx, w, from->width);
    ClipAxis(sy, dy, h, from->height);
    ClipAxis(dx, sx, w, to->width);
    ClipAxis(dy, sy, h, to->height);
    if (w <= 0 || h <= 0) return TRUE;

    const int n = static_cast<int>(w);
    const int rows = static_cast<int>(h);
    const bool same = to == from;
    // Within one surface, walk away from the overlap so that no source pixel is overwritten
    // before it is read.
    const bool upward = same && dy > sy;
    const bool rightToLeft = same && dy == sy && dx > sx;
    // Only the rows of a window whose pixels change are shown again: redrawing what is already
    // there (the bomb row's ground, every 100 ms) costs no presentation.
    const bool toWindow = dest->kind == HDC__::Kind::Window;
    int firstChanged = rows, lastChanged = -1;
    for (int i = 0; i < rows; ++i) {
        const int r = upward ? rows - 1 - i : i;
        BYTE* d = to->Row(static_cast<int>(dy) + r) + dx;
        const BYTE* s = from->Row(static_cast<int>(sy) + r) + sx;
        if (toWindow && RowChanges(d, s, n, rop)) {
            firstChanged = std::min(firstChanged, r);
            lastChanged = std::max(lastChanged, r);
        }
        ApplyRop(d, s, n, rop, rightToLeft);
    }
    if (toWindow && lastChanged >= 0)
        FramebufferChanged(dest->window,
                           RECT{static_cast<LONG>(dx), static_cast<LONG>(dy + firstChanged),
                                static_cast<LONG>(dx + w), static_cast<LONG>(dy + lastChanged + 1)});
    return TRUE;
}

BOOL PatBlt(HDC dest, int x, int y, int width, int height, DWORD rop) {
    if (rop != BLACKNESS && rop != WHITENESS) return FALSE;
    Surface* to = SurfaceOf(dest);
    if (!to) return FALSE;
    std::int64_t dx = x, dy = y, unused = 0;
    std::int64_t w = std::max(width, 0), h = std::max(height, 0);
    ClipAxis(dx, unused, w, to->width);
    ClipAxis(dy, unused, h, to->height);
    if (w <= 0 || h <= 0) return TRUE;
    // The first and last entries of the system palette are the static black and white.
    const BYTE index = rop == BLACKNESS ? 0 : 255;
    int firstChanged = static_cast<int>(h), lastChanged = -1;
    for (int r = 0; r < static_cast<int>(h); ++r) {
        BYTE* d = to->Row(static_cast<int>(dy) + r) + dx;
        if (std::any_of(d, d + w, [&](BYTE v) { return v != index; })) {
            firstChanged = std::min(firstChanged, r);
            lastChanged = r;
        }
        std::fill(d, d + w, index);
    }
    if (dest->kind == HDC__::Kind::Window && lastChanged >= 0)
        FramebufferChanged(dest->window,
                           RECT{static_cast<LONG>(dx), static_cast<LONG>(dy + firstChanged),
                                static_cast<LONG>(dx + w), static_cast<LONG>(dy + lastChanged + 1)});
    return TRUE;
}

int SetBkMode(HDC dc, int mode) {
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

HGDIOBJ GetStockObject(int object) {
    return object == WHITE_BRUSH ? &G().whiteBrush : nullptr;
}
