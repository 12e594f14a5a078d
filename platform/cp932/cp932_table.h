// The layout of the CP932 table that make_cp932_table generates from glibc's iconv.
#pragma once

#include <cstdint>

namespace platform::cp932 {

inline constexpr std::uint16_t kNone = 0xFFFF;  // no character
inline constexpr std::uint8_t kNoRow = 0xFF;    // not a lead byte

// A CP932 code is a byte (below 0x100) or a lead byte and a trail byte (lead << 8 | trail).
struct Table {
    const std::uint16_t* single;   // 256: the code point of each byte alone, or kNone
    const std::uint8_t* leadRow;   // 256: each lead byte's row of rows, or kNoRow
    int trailFirst;                // the trail bytes that any row maps: trailFirst..
    int trailCount;                // ..trailFirst + trailCount - 1
    const std::uint16_t* rows;     // trailCount code points (or kNone) per row
    const std::uint16_t* encode;   // the code of each encodable code point that decodes back to
    int encodeCount;               // it, in ascending order of that code point
    const std::uint16_t* encodeOther;  // (code point, code) pairs by code point, for the code
    int encodeOtherCount;              // points whose code decodes to another one
    std::uint32_t droppedFirst;    // the code points that encode to nothing, without an error:
    std::uint32_t droppedLast;     // droppedFirst..droppedLast (none when first > last)
};

extern const Table kTable;

}  // namespace platform::cp932
