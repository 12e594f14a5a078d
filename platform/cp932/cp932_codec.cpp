// CP932 <-> UTF-8 / UTF-16 over the table generated from glibc's iconv (cp932_table.h).
#include "cp932_codec.h"

#include <cstddef>
#include <cstdint>

#include "cp932_table.h"

namespace platform::cp932 {
namespace {

constexpr char16_t kDecodeError = u'\u30FB';

std::uint16_t Decode(unsigned code) {
    if (code < 0x100) return kTable.single[code];
    unsigned row = kTable.leadRow[code >> 8];
    unsigned column = (code & 0xFF) - unsigned(kTable.trailFirst);  // wraps below the first trail
    if (row == kNoRow || column >= unsigned(kTable.trailCount)) return kNone;
    return kTable.rows[row * kTable.trailCount + column];
}

// Decodes the characters of cp932 one by one; a byte that starts no character gives kDecodeError
// and the next byte is read afresh, even when it was meant as a trail byte.
template <typename Emit>
void DecodeAll(const std::string& cp932, Emit emit) {
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    std::size_t n = cp932.size();
    for (std::size_t i = 0; i < n;) {
        std::uint16_t cp = kNone;
        if (kTable.leadRow[p[i]] != kNoRow) {
            if (i + 1 < n) cp = Decode(p[i] << 8 | p[i + 1]);
            if (cp != kNone) {
                emit(cp);
                i += 2;
                continue;
            }
        } else {
            cp = kTable.single[p[i]];
        }
        emit(cp == kNone ? kDecodeError : cp);
        ++i;
    }
}

// The CP932 code of a code point, or kNone.
unsigned Encode(std::uint32_t cp) {
    int lo = 0, hi = kTable.encodeCount;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        std::uint16_t found = Decode(kTable.encode[mid]);
        if (found == cp) return kTable.encode[mid];
        if (found < cp) lo = mid + 1;
        else hi = mid;
    }
    for (int i = 0; i < kTable.encodeOtherCount; ++i)
        if (kTable.encodeOther[2 * i] == cp) return kTable.encodeOther[2 * i + 1];
    return kNone;
}

bool Dropped(std::uint32_t cp) { return cp >= kTable.droppedFirst && cp <= kTable.droppedLast; }

void Put(std::string& out, unsigned code) {
    if (code >= 0x100) out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// The length of the UTF-8 character at p (and its code point), or 0 for what glibc's decoder
// refuses. Surrogates and values above U+10FFFF pass here: no table encodes them, and an
// unmappable character gives the same '?' and one-byte step as a refused one.
std::size_t ReadUtf8(const unsigned char* p, std::size_t left, std::uint32_t* cp) {
    unsigned b = p[0];
    std::size_t length = b < 0x80 ? 1 : b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3
                                     : b >= 0xF0 && b < 0xF5 ? 4 : 0;
    if (length == 0 || length > left) return 0;
    std::uint32_t value = length == 1 ? b : b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        value = value << 6 | (p[k] & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kLeast[length]) return 0;  // an overlong form
    *cp = value;
    return length;
}

}  // namespace

std::string TableCp932ToUtf8(const std::string& cp932) {
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    DecodeAll(cp932, [&](std::uint16_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    });
    return out;
}

std::u16string TableCp932ToUtf16(const std::string& cp932) {
    std::u16string out;
    out.reserve(cp932.size());
    DecodeAll(cp932, [&](std::uint16_t cp) { out += static_cast<char16_t>(cp); });
    return out;
}

std::string TableUtf8ToCp932(const std::string& utf8, bool* lossless) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t n = utf8.size();
    bool whole = true;
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n;) {
        std::uint32_t cp = 0;
        std::size_t length = ReadUtf8(p + i, n - i, &cp);
        unsigned code = length != 0 ? Encode(cp) : kNone;
        if (code != kNone || (length != 0 && Dropped(cp))) {
            if (code != kNone) Put(out, code);
            i += length;
            continue;
        }
        // text.cpp steps one byte past a refused character, so each of its continuation bytes
        // then gives a '?' of its own.
        out += '?';
        whole = false;
        ++i;
    }
    if (lossless) *lossless = whole;
    return out;
}

std::string TableUtf16ToCp932(const std::u16string& utf16) {
    std::string out;
    out.reserve(utf16.size() * 2);
    for (std::size_t i = 0; i < utf16.size();) {
        char16_t unit = utf16[i];
        if (unit < 0xD800 || unit >= 0xE000) {
            unsigned code = Encode(unit);
            if (code != kNone) Put(out, code);
            else out += '?';
            ++i;
            continue;
        }
        // A pair's character is either dropped whole or refused at its first unit; text.cpp then
        // steps one unit, and the second half alone gives a '?' of its own.
        char16_t next = i + 1 < utf16.size() ? utf16[i + 1] : 0;
        if (unit < 0xDC00 && next >= 0xDC00 && next < 0xE000 &&
            Dropped(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00))) {
            i += 2;
            continue;
        }
        out += '?';
        ++i;
    }
    return out;
}

}  // namespace platform::cp932
