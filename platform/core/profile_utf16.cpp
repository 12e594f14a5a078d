// Private profile files saved as UTF-16LE with a byte-order mark, as Windows' editors save
// "Unicode" text: read through code page 932, written back as UTF-16LE.
#include "profile_utf16.h"

#include <algorithm>

#include "internal.h"

namespace platform::profile {

namespace {

constexpr std::string_view kMark = "\xFF\xFE";

char16_t UnitAt(std::string_view bytes, std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
}

// Splits after each CR, LF or CR LF, as the text rules split lines; the last piece may have
// no ending. step is 2 for UTF-16LE code units, 1 for bytes.
template <typename UnitFn>
std::vector<std::string> SplitAfterEndings(std::string_view s, std::size_t step, UnitFn unit) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i + step <= s.size()) {
        char16_t u = unit(s, i);
        i += step;
        if (u != u'\r' && u != u'\n') continue;
        if (u == u'\r' && i + step <= s.size() && unit(s, i) == u'\n') i += step;
        lines.emplace_back(s.substr(start, i - start));
        start = i;
    }
    if (start < s.size()) lines.emplace_back(s.substr(start));
    return lines;
}

std::vector<std::string> SplitUtf16(std::string_view s) { return SplitAfterEndings(s, 2, UnitAt); }

std::vector<std::string> SplitBytes(std::string_view s) {
    return SplitAfterEndings(s, 1, [](std::string_view t, std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(t[i]));
    });
}

std::u16string Units(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) units[i] = UnitAt(bytes, 2 * i);
    return units;
}

std::string Utf16Bytes(const std::u16string& units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

}  // namespace

bool IsUtf16(std::string_view bytes) { return bytes.substr(0, 2) == kMark; }

Utf16File::Utf16File(std::string_view bytes) {
    // Each line converts alone: CR and LF stay themselves in code page 932 and no converted
    // character holds their bytes, so the lines of both forms pair up one to one.
    std::string_view units = bytes.substr(kMark.size());
    // Half a code unit at the end is no character; it stays at the end of the file.
    if (units.size() % 2 != 0) {
        oddByte_ = units.back();
        units.remove_suffix(1);
    }
    for (std::string& raw : SplitUtf16(units)) {
        Line line;
        line.cp932 = Utf16ToCp932(Units(raw));
        line.utf16 = std::move(raw);
        text_ += line.cp932;
        lines_.push_back(std::move(line));
    }
}

std::string Utf16File::Encode(std::string_view edited) const {
    std::vector<std::string> now = SplitBytes(edited);
    // An edit changes one run of lines; those before and after it keep their old bytes.
    std::size_t same = 0;
    while (same < now.size() && same < lines_.size() && now[same] == lines_[same].cp932) ++same;
    std::size_t sameAtEnd = 0;
    while (sameAtEnd < now.size() - same && sameAtEnd < lines_.size() - same &&
           now[now.size() - 1 - sameAtEnd] == lines_[lines_.size() - 1 - sameAtEnd].cp932)
        ++sameAtEnd;
    std::string out(kMark);
    for (std::size_t i = 0; i < same; ++i) out += lines_[i].utf16;
    std::string changed;
    for (std::size_t i = same; i < now.size() - sameAtEnd; ++i) changed += now[i];
    out += Utf16Bytes(Cp932ToUtf16(changed));
    for (std::size_t i = lines_.size() - sameAtEnd; i < lines_.size(); ++i) out += lines_[i].utf16;
    return out + oddByte_;
}

}  // namespace platform::profile
