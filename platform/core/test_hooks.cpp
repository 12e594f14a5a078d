// Test hooks over GDI objects.
#include "internal.h"
#include "platform_test.h"

const BYTE* platform_test::BitmapPixels(HBITMAP bitmap, int* width, int* height) {
    if (!bitmap) return nullptr;
    if (width) *width = bitmap->surface.width;
    if (height) *height = bitmap->surface.height;
    return bitmap->surface.pixels.data();
}
