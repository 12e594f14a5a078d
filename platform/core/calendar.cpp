// The C library's calendar time as a 32-bit count, with a setting for tests.
#include <ctime>
#include <optional>

#include "platform_test.h"
#include "windows.h"

namespace {
std::optional<std::int32_t> fixedTime;
}

__time32_t _time32(__time32_t* result) {
    __time32_t t;
    if (fixedTime) {
        t = *fixedTime;
    } else {
        std::time_t now = std::time(nullptr);
        // The 32-bit C library answers -1 for times it cannot express.
        t = (now < 0 || now > 0x7FFFFFFF) ? -1 : static_cast<__time32_t>(now);
    }
    if (result) *result = t;
    return t;
}

void platform_test::SetCalendarTime(std::optional<std::int32_t> seconds) { fixedTime = seconds; }
