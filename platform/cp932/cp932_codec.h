// CP932 conversions over a table taken from glibc's iconv, for builds whose C library has none.
#pragma once

#include <string>

namespace platform::cp932 {

// Each gives exactly what platform/core/text.cpp's glibc conversion of the same name gives, for
// any input: an unconvertible sequence becomes '?' (U+30FB going to Unicode) and the conversion
// goes on one byte (one UTF-16 unit) further.
std::string TableCp932ToUtf8(const std::string& cp932);
std::string TableUtf8ToCp932(const std::string& utf8, bool* lossless = nullptr);
std::string TableUtf16ToCp932(const std::u16string& utf16);
std::u16string TableCp932ToUtf16(const std::string& cp932);

}  // namespace platform::cp932
