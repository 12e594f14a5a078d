// CP932 (Shift-JIS) conversion at the boundary, through glibc's iconv (a table made from it in
// the browser, whose C library has no usable CP932 converter).
#include <string>

#include "internal.h"

#ifdef __EMSCRIPTEN__
#include "cp932_codec.h"

namespace platform {

std::string Cp932ToUtf8(const std::string& cp932) { return cp932::TableCp932ToUtf8(cp932); }
std::string Utf8ToCp932(const std::string& utf8, bool* lossless) {
    return cp932::TableUtf8ToCp932(utf8, lossless);
}
std::string Utf16ToCp932(const std::u16string& utf16) { return cp932::TableUtf16ToCp932(utf16); }
std::u16string Cp932ToUtf16(const std::string& cp932) { return cp932::TableCp932ToUtf16(cp932); }

}  // namespace platform

#else
#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

// Converts in whole; an unconvertible sequence becomes '?' (or U+30FB when going to Unicode).
std::string Convert(const char* to, const char* from, const std::string& in, bool* lossless,
                    const std::string& replacement, std::size_t unitSize) {
    if (lossless) *lossless = true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        if (lossless) *lossless = false;
        return std::string();
    }
    std::string out;
    std::string src = in;
    char* inPtr = src.data();
    std::size_t inLeft = src.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (lossless) *lossless = false;
            out += replacement;
            std::size_t skip = std::min(inLeft, unitSize);
            inPtr += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& cp932) {
    return Convert("UTF-8", "CP932", cp932, nullptr, "\xE3\x83\xBB", 1);
}

std::string Utf8ToCp932(const std::string& utf8, bool* lossless) {
    // Step one UTF-8 character at a time when the text cannot be converted whole.
    return Convert("CP932", "UTF-8", utf8, lossless, "?", 1);
}

std::string Utf16ToCp932(const std::u16string& utf16) {
    std::string bytes(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
    return Convert("CP932", "UTF-16LE", bytes, nullptr, "?", 2);
}

std::u16string Cp932ToUtf16(const std::string& cp932) {
    std::string bytes = Convert("UTF-16LE", "CP932", cp932, nullptr, std::string("\xFB\x30", 2), 1);
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

}  // namespace platform
#endif
