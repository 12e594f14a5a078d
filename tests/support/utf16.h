// Text as the bytes of UTF-16 little-endian, as a Windows editor saves "Unicode" files.
#pragma once

#include <string>

namespace testing_support {

inline std::string Utf16Le(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

}  // namespace testing_support
