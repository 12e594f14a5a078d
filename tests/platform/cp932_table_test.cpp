// The browser's CP932 table codec against glibc's iconv (text.cpp natively), input for input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/internal.h"
#include "platform/cp932/cp932_codec.h"

namespace {

using namespace platform;

std::string Hex(const std::string& s) {
    std::string out;
    char unit[8];
    for (unsigned char c : s) out += (std::snprintf(unit, sizeof unit, " %02X", c), unit);
    return out;
}
std::string Hex(const std::u16string& s) {
    std::string out;
    char unit[8];
    for (char16_t c : s) out += (std::snprintf(unit, sizeof unit, " %04X", unsigned(c)), unit);
    return out;
}
std::string Hex(const std::pair<std::string, bool>& r) {
    return Hex(r.first) + (r.second ? " whole" : " lossy");
}

// The four conversions, glibc's first; the UTF-8 encoder's result carries its lossless flag.
std::pair<std::string, bool> GlibcUtf8(const std::string& s) {
    bool whole = false;
    std::string out = Utf8ToCp932(s, &whole);
    return {out, whole};
}
std::pair<std::string, bool> TableUtf8(const std::string& s) {
    bool whole = false;
    std::string out = cp932::TableUtf8ToCp932(s, &whole);
    return {out, whole};
}

// Compares the two on the items joined in batches, and item by item where a batch differs.
template <typename In, typename Glibc, typename Table>
void ExpectSame(const char* what, const std::vector<In>& items, Glibc glibc, Table table,
                std::size_t batch) {
    for (std::size_t start = 0; start < items.size(); start += batch) {
        std::size_t end = std::min(items.size(), start + batch);
        In joined;
        for (std::size_t i = start; i < end; ++i) joined += items[i];
        if (glibc(joined) == table(joined)) continue;
        int reported = 0;
        for (std::size_t i = start; i < end && reported < 5; ++i) {
            if (glibc(items[i]) == table(items[i])) continue;
            ++reported;
            ADD_FAILURE() << what << " of" << Hex(items[i]) << ": glibc" << Hex(glibc(items[i]))
                          << ", table" << Hex(table(items[i]));
        }
        if (!reported) ADD_FAILURE() << what << " differs on the batch from" << Hex(items[start]);
        return;
    }
}

void ExpectSameEncoding(const std::vector<std::string>& utf8,
                        const std::vector<std::u16string>& utf16, std::size_t batch) {
    ExpectSame("UTF-8 to CP932", utf8, GlibcUtf8, TableUtf8, batch);
    ExpectSame("UTF-16 to CP932", utf16, Utf16ToCp932, cp932::TableUtf16ToCp932, batch);
}
void ExpectSameDecoding(const std::vector<std::string>& cp932, std::size_t batch) {
    ExpectSame("CP932 to UTF-8", cp932, Cp932ToUtf8, cp932::TableCp932ToUtf8, batch);
    ExpectSame("CP932 to UTF-16", cp932, Cp932ToUtf16, cp932::TableCp932ToUtf16, batch);
}

std::string Utf8(char32_t c) {
    if (c < 0x80) return std::string(1, char(c));
    if (c < 0x800) return {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
    std::string tail = {char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
    if (c < 0x10000) return char(0xE0 | c >> 12) + tail;
    return std::string{char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F))} + tail;
}
std::u16string Utf16(char32_t c) {
    if (c < 0x10000) return std::u16string(1, char16_t(c));
    return {char16_t(0xD800 + ((c - 0x10000) >> 10)), char16_t(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

TEST(Cp932TableTest, EncodesEveryScalarValueAsGlibc) {
    std::vector<std::string> utf8;
    std::vector<std::u16string> utf16;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c < 0xE000) continue;
        utf8.push_back(Utf8(c));
        utf16.push_back(Utf16(c));
    }
    // Small batches: glibc's cost for each refused character grows with the text that follows it.
    ExpectSameEncoding(utf8, utf16, 64);
}

TEST(Cp932TableTest, DecodesEveryByteAndPairAsGlibc) {
    std::vector<std::string> singles, pairs;
    for (int a = 0; a < 256; ++a) {
        singles.push_back(std::string(1, char(a)));
        for (int b = 0; b < 256; ++b) pairs.push_back({char(a), char(b)});
    }
    ExpectSameDecoding(singles, 1);  // each alone, so that a lead byte ends the text
    ExpectSameDecoding(pairs, 4096);
    // The same bytes read as UTF-8: stray, truncated and overlong sequences.
    ExpectSameEncoding(singles, {}, 1);
    ExpectSameEncoding(pairs, {}, 4096);
}

// What glibc does with broken and awkward input, written out.
TEST(Cp932TableTest, BrokenInputAsGlibc) {
    struct { std::string utf8, cp932; bool whole; } encodings[] = {
        {"A\xE3\x81", "A??", false},              // truncated at the end
        {"\xE3\x81" "B", "??B", false},           // truncated before a character
        {"\xC0\xAF\xE0\x80\xAF", "?????", false}, // overlong forms
        {"\xED\xA0\x80", "???", false},           // a surrogate
        {"\xF4\x90\x80\x80\xF8\x88\x80\x80\x80", "?????????", false},  // above U+10FFFF
        {"\xE2\x82\xAC\xF0\x9F\x98\x80", "???????", false},  // unmappable: one '?' per byte
        {"\xEF\xBB\xBF" "A", "???A", false},      // a byte order mark is a character like others
        {"a\xF3\xA0\x80\x81" "b", "ab", true},    // a tag character vanishes
        {"\xC2\xA5\xE3\x80\x9C\xEF\xBF\xA2", "\x5C\x81\x60\x81\xCA", true},
    };
    for (const auto& e : encodings) {
        EXPECT_EQ(GlibcUtf8(e.utf8), std::make_pair(e.cp932, e.whole)) << Hex(e.utf8);
        EXPECT_EQ(TableUtf8(e.utf8), std::make_pair(e.cp932, e.whole)) << Hex(e.utf8);
    }
    struct { std::u16string utf16; std::string cp932; } units[] = {
        {u"\xD800" u"A", "?A"}, {u"A\xD800", "A?"}, {u"\xDC00" u"A", "?A"},  // lone surrogates
        {u"\U0001F600", "??"}, {u"\U000E0001" u"A", "A"}, {u"\xFEFF" u"A", "?A"},
    };
    for (const auto& u : units) {
        EXPECT_EQ(Utf16ToCp932(u.utf16), u.cp932) << Hex(u.utf16);
        EXPECT_EQ(cp932::TableUtf16ToCp932(u.utf16), u.cp932) << Hex(u.utf16);
    }
    struct { std::string cp932; std::u16string utf16; } decodings[] = {
        {"A\x81", u"A\u30FB"},               // a lead byte at the end
        {"\x81\x7F", u"\u30FB\x7F"},         // before a byte that is no trail byte
        {"\x82\xF2\x40", u"\u30FB\uE178"},   // an unmapped pair: its trail byte leads the next
        {"\x85\x40\x80\xA0\xFD", u"\u30FB@\u30FB\u30FB\u30FB"},  // unmapped pair and bytes
        {"\x81\x60\x87\x40\xFA\x40\xF0\x40", u"\uFF5E\u2460\u2170\uE000"},  // NEC, IBM, user rows
    };
    for (const auto& d : decodings) {
        EXPECT_EQ(Cp932ToUtf16(d.cp932), d.utf16) << Hex(d.cp932);
        EXPECT_EQ(cp932::TableCp932ToUtf16(d.cp932), d.utf16) << Hex(d.cp932);
    }
}

TEST(Cp932TableTest, RandomTextAsGlibc) {
    std::mt19937 random(932);
    // Bytes and units drawn mostly from where the converters decide something.
    const std::string bytes("\x00\x41\x5C\x7E\x7F\x80\x81\x9F\xA0\xA5\xDF\xE0\xE3\xEF\xF0\xF3\xF4"
                            "\xFC\xFD\xFF\x40\xBF\xC2", 23);
    const std::u16string units = u"\x41\xA5\x3000\x30FB\xD800\xDBFF\xDB40\xDC00\xDC01\xDFFF\xFEFF"
                                 u"\xFFFF\xE000\x20AC";
    std::vector<std::string> text;
    std::vector<std::u16string> text16;
    for (int n = 0; n < 20000; ++n) {
        std::string s;
        std::u16string s16;
        for (int k = int(random() % 12); k > 0; --k) {
            s += random() % 2 ? bytes[random() % bytes.size()] : char(random());
            s16 += random() % 2 ? units[random() % units.size()] : char16_t(random());
        }
        text.push_back(s);
        text16.push_back(s16);
    }
    ExpectSameDecoding(text, 256);
    ExpectSameEncoding(text, text16, 256);
}

}  // namespace
