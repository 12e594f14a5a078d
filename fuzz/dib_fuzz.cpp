// libFuzzer target: any bytes as a packed 8-bit DIB for CreateDIBitmap; a broken one is refused, never overread.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/core/internal.h"
#include "windows.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "dib_fuzz: %s\n", what);
    std::abort();
}

// A memory DC with a realized palette of 256 distinct colours, as the game's DCs have.
HDC RealizedDC() {
    static HDC dc = [] {
        std::vector<BYTE> block(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
        auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
        log->palVersion = 0x300;
        log->palNumEntries = 256;
        for (int i = 0; i < 256; ++i)
            log->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i * 7),
                                               static_cast<BYTE>(255 - i), 0};
        HDC memory = CreateCompatibleDC(nullptr);
        SelectPalette(memory, CreatePalette(log), FALSE);
        RealizePalette(memory);
        return memory;
    }();
    return dc;
}

// A heap copy of exactly n bytes, zero-padded where the input runs out, so that the sanitizer
// catches any read past n.
std::unique_ptr<BYTE[]> Copy(const std::uint8_t* data, std::size_t size, std::size_t from,
                             std::size_t n) {
    std::unique_ptr<BYTE[]> out(new BYTE[std::max<std::size_t>(n, 1)]());
    if (from < size) std::memcpy(out.get(), data + from, std::min(n, size - from));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BITMAPINFOHEADER h{};
    std::memcpy(&h, data, std::min(size, sizeof h));

    // The info block is as long as its own header says: the header, then biClrUsed colours (256
    // when 0) for an 8-bit DIB. A header of a size or depth that is not read has no table.
    std::size_t headerBytes = std::clamp<std::size_t>(h.biSize, sizeof h, 124);
    std::size_t tableEntries = 0;
    if (h.biBitCount == 8 && h.biClrUsed <= 256) tableEntries = h.biClrUsed ? h.biClrUsed : 256;
    const std::size_t infoBytes = headerBytes + 4 * tableEntries;
    auto info = Copy(data, size, 0, infoBytes);
    const std::size_t bitsBytes = size > infoBytes ? size - infoBytes : 0;
    auto bits = Copy(data, size, infoBytes, bitsBytes);

    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.get());
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.get());
    // As on Windows, the caller makes sure that the bits hold the image its header describes;
    // CreateDIBitmap then must read no more than that.
    const std::int64_t height = h.biHeight < 0 ? -std::int64_t{h.biHeight} : h.biHeight;
    const std::int64_t stride = (std::int64_t{h.biWidth} * h.biBitCount + 31) / 32 * 4;
    if (h.biWidth <= 0 || height == 0 || stride > static_cast<std::int64_t>(bitsBytes) / height)
        return 0;
    for (HDC dc : {static_cast<HDC>(nullptr), RealizedDC()}) {
        HBITMAP bitmap =
            CreateDIBitmap(dc, header, CBM_INIT, bits.get(), bitmapInfo, DIB_RGB_COLORS);
        if (!bitmap) continue;
        // Only an uncompressed 8-bit image may be accepted.
        if (h.biBitCount != 8 || h.biCompression != BI_RGB || h.biPlanes != 1)
            Fail("a bitmap of another format was accepted");
        if (bitmap->surface.width != h.biWidth || bitmap->surface.height != height)
            Fail("the bitmap's size differs from its header");
        DeleteObject(bitmap);
    }
    return 0;
}
