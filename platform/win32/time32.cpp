// _time32, which the 64-bit C runtime's import library lacks: the calendar time in 32 bits.
#include <time.h>

namespace {

__time32_t __cdecl Time32(__time32_t* result) {
    const __time32_t now = static_cast<__time32_t>(time(nullptr));
    if (result) *result = now;
    return now;
}

}  // namespace

// The C runtime's header declares _time32 as imported, so callers go through this pointer.
extern "C" {
__time32_t(__cdecl* __imp__time32)(__time32_t*) = Time32;
}
