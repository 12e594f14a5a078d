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

template <typename Text>
std::string Hex(const Text& s) {
    std::string out;
    char unit[8];
    for (auto c : s) {
        std::snprintf(unit, sizeof unit, " %02X", unsigned(c) & (sizeof c == 1 ? 0xFF : 0xFFFF));
        out += unit;
    }
    return out;
}

// A UTF-8 encoder's text after its lossless flag: '=' when lossless, '~' when not.
template <typename Convert>
auto Flagged(Convert convert) {
    return [convert](const std::string& s) {
        bool whole = false;
        std::string out = convert(s, &whole);
        return (whole ? "=" : "~") + out;
    };
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
        for (std::size_t i = start; i < end; ++i)
            EXPECT_EQ(Hex(glibc(items[i])), Hex(table(items[i]))) << what << " of" << Hex(items[i]);
        ADD_FAILURE() << what << " differs on the batch from" << Hex(items[start]);
        return;  // one failing batch tells enough
    }
}

void ExpectSameEncoding(const std::vector<std::string>& utf8,
                        const std::vector<std::u16string>& utf16, std::size_t batch) {
    ExpectSame("UTF-8 to CP932", utf8, Flagged(Utf8ToCp932), Flagged(cp932::TableUtf8ToCp932),
               batch);
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

template <typename In, typename Out, typename Glibc, typename Table>
void ExpectCases(const std::vector<std::pair<In, Out>>& cases, Glibc glibc, Table table) {
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(glibc(in), out) << Hex(in);
        EXPECT_EQ(table(in), out) << Hex(in);
    }
}

// What glibc does with broken and awkward input, written out.
TEST(Cp932TableTest, BrokenInputAsGlibc) {
    ExpectCases<std::string, std::string>({
        {"A\xE3\x81", "~A??"},                  // truncated at the end
        {"\xE3\x81" "B", "~??B"},               // truncated before a character
        {"\xC1\x81\xE0\x81\x81", "~?????"},     // overlong forms of 'A'
        {"\xED\xA0\x80", "~???"},               // a surrogate
        {"\xF4\x90\x80\x80\xF8\x88\x80\x80\x80", "~?????????"},  // above U+10FFFF
        {"\xE2\x82\xAC\xF0\x9F\x98\x80", "~???????"},  // unmappable: a '?' per byte
        {"\xEF\xBB\xBF" "A", "~???A"},          // a byte order mark is a character like others
        {"a\xF3\xA0\x80\x81" "b", "=ab"},        // a tag character vanishes
        {"\xC2\xA5\xE3\x80\x9C\xEF\xBF\xA2", "=\x5C\x81\x60\x81\xCA"},
    }, Flagged(Utf8ToCp932), Flagged(cp932::TableUtf8ToCp932));
    ExpectCases<std::u16string, std::string>({
        {u"\xD800" u"A", "?A"}, {u"A\xD800", "A?"}, {u"\xDC00" u"A", "?A"},  // lone surrogates
        {u"\U0001F600", "??"}, {u"\U000E0001" u"A", "A"}, {u"\xFEFF" u"A", "?A"},
    }, Utf16ToCp932, cp932::TableUtf16ToCp932);
    ExpectCases<std::string, std::u16string>({
        {"A\x81", u"A\u30FB"},               // a lead byte at the end
        {"\x81\x7F", u"\u30FB\x7F"},         // before a byte that is no trail byte
        {"\x82\xF2\x40", u"\u30FB\uE178"},   // an unmapped pair: its trail byte leads the next
        {"\x85\x40\x80\xA0\xFD", u"\u30FB@\u30FB\u30FB\u30FB"},  // unmapped pair and bytes
        {"\x81\x60\x87\x40\xFA\x40\xF0\x40", u"\uFF5E\u2460\u2170\uE000"},  // NEC, IBM, user rows
    }, Cp932ToUtf16, cp932::TableCp932ToUtf16);
}

TEST(Cp932TableTest, RandomTextAsGlibc) {
    std::mt19937 random(932);
    // Half the bytes and units from where the converters decide something, half at random.
    const std::string bytes("\x00\x41\x5C\x7E\x7F\x80\x81\x9F\xA0\xA5\xDF\xE0\xE3\xEF\xF0\xF3\xF4"
                            "\xFC\xFD\xFF\x40\xBF\xC2", 23);
    const std::u16string units = u"\x41\xA5\x3000\x30FB\xD800\xDBFF\xDB40\xDC00\xDC01\xDFFF\xFEFF"
                                 u"\xFFFF\xE000\x20AC";
    std::vector<std::string> text(20000);
    std::vector<std::u16string> text16(text.size());
    for (std::size_t n = 0; n < text.size(); ++n) {
        for (int k = int(random() % 12); k > 0; --k) {
            text[n] += random() % 2 ? bytes[random() % bytes.size()] : char(random());
            text16[n] += random() % 2 ? units[random() % units.size()] : char16_t(random());
        }
    }
    ExpectSameDecoding(text, 256);
    ExpectSameEncoding(text, text16, 256);
}

}  // namespace
