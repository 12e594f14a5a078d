// The text rules of private profile (INI) files: lines, sections, keys, values, edits.
#include "profile_text.h"

#include <cstring>
#include <optional>
#include <vector>

namespace platform::profile {

namespace {

enum class Kind { Blank, Header, Key, Other };

struct Line {
    std::size_t start = 0;       // first byte
    std::size_t contentEnd = 0;  // first byte of the line ending
    std::size_t end = 0;         // first byte after the line ending
    Kind kind = Kind::Other;
    std::string_view name;       // Header, Key: trimmed
    std::string_view value;      // Key: trimmed
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Bytes of the character that starts at i: two for a lead byte with a byte after it.
std::size_t CharLength(std::string_view text, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

void Classify(Line& line, std::string_view content) {
    std::string_view t = TrimBlanks(content);
    if (t.empty()) {
        line.kind = Kind::Blank;
        return;
    }
    if (t.front() == '[') {
        // The name runs to the last "]" that is a character of its own, not a trail byte.
        std::size_t close = std::string_view::npos;
        for (std::size_t i = 1; i < t.size(); i += CharLength(t, i)) {
            if (t[i] == ']') close = i;
        }
        if (close != std::string_view::npos) {
            line.kind = Kind::Header;
            line.name = TrimBlanks(t.substr(1, close - 1));
            return;
        }
    }
    // "=" lies below every trail byte, so the first one found is a character of its own.
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        line.kind = Kind::Other;
        return;
    }
    line.kind = Kind::Key;
    line.name = TrimBlanks(t.substr(0, eq));
    line.value = TrimBlanks(t.substr(eq + 1));
}

// Lines end at CR, LF or CR LF, in any mix.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.start = pos;
        std::size_t eol = text.find_first_of("\r\n", pos);
        if (eol == std::string_view::npos) {
            line.contentEnd = line.end = text.size();
        } else {
            line.contentEnd = eol;
            line.end = eol + 1;
            if (text[eol] == '\r' && eol + 1 < text.size() && text[eol + 1] == '\n') ++line.end;
        }
        Classify(line, text.substr(line.start, line.contentEnd - line.start));
        lines.push_back(line);
        pos = line.end;
    }
    return lines;
}

// A section: its header line and the lines up to the next header (body is [header + 1, end)).
struct SectionSpan {
    std::size_t header;
    std::size_t end;
};

std::size_t NextHeader(const std::vector<Line>& lines, std::size_t from) {
    while (from < lines.size() && lines[from].kind != Kind::Header) ++from;
    return from;
}

// Every section in file order; lines before the first header belong to none.
std::vector<SectionSpan> Sections(const std::vector<Line>& lines) {
    std::vector<SectionSpan> spans;
    for (std::size_t h = NextHeader(lines, 0); h < lines.size();) {
        std::size_t next = NextHeader(lines, h + 1);
        spans.push_back({h, next});
        h = next;
    }
    return spans;
}

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view name) {
    for (const SectionSpan& s : Sections(lines)) {
        if (NamesEqual(lines[s.header].name, name)) return s;
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const SectionSpan& s,
                                   std::string_view key) {
    for (std::size_t i = s.header + 1; i < s.end; ++i) {
        if (lines[i].kind == Kind::Key && NamesEqual(lines[i].name, key)) return i;
    }
    return std::nullopt;
}

std::string Splice(std::string_view text, std::size_t from, std::size_t to,
                   std::string_view insert) {
    std::string out;
    out.reserve(text.size() - (to - from) + insert.size());
    out.append(text.substr(0, from));
    out.append(insert);
    out.append(text.substr(to));
    return out;
}

// The trimmed value of key in the first section so named, quotes still on.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    std::vector<Line> lines = SplitLines(text);
    std::optional<SectionSpan> s = FindSection(lines, TrimBlanks(section));
    if (!s) return std::nullopt;
    std::optional<std::size_t> k = FindKey(lines, *s, TrimBlanks(key));
    if (!k) return std::nullopt;
    return lines[*k].value;
}

// One matching pair of outer double or single quotes is not part of the value.
std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::vector<std::string_view> SectionNames(std::string_view text) {
    std::vector<Line> lines = SplitLines(text);
    std::vector<std::string_view> names;
    for (const SectionSpan& s : Sections(lines)) names.push_back(lines[s.header].name);
    return names;
}

std::vector<std::string_view> KeyNames(std::string_view text, std::string_view section) {
    std::vector<Line> lines = SplitLines(text);
    std::vector<std::string_view> names;
    if (std::optional<SectionSpan> s = FindSection(lines, TrimBlanks(section))) {
        for (std::size_t i = s->header + 1; i < s->end; ++i) {
            if (lines[i].kind == Kind::Key) names.push_back(lines[i].name);
        }
    }
    return names;
}

// Copies text NUL-terminated into size > 0 bytes, never splitting a double-byte character.
std::uint32_t CopyTruncated(std::string_view text, char* buffer, std::uint32_t size) {
    std::size_t room = size - 1;
    std::size_t n = 0;
    while (n < text.size()) {
        std::size_t step = CharLength(text, n);
        if (n + step > room) break;
        n += step;
    }
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
}

// Copies names as a list, each NUL-terminated and one more NUL after them; a list that does
// not fit is cut and ends in two NULs, and the count is then size - 2, as in Windows.
std::uint32_t CopyNameList(const std::vector<std::string_view>& names, char* buffer,
                           std::uint32_t size) {
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t pos = 0;
    for (std::string_view name : names) {
        // Each name needs its NUL, and the list one more after it.
        if (pos + name.size() + 2 > size) {
            // A name that ended one byte before the end leaves no room for any of this one.
            std::size_t room = pos < size - 2u ? size - 2u - pos : 0;
            std::memcpy(buffer + pos, name.data(), room);
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(buffer + pos, name.data(), name.size());
        pos += name.size();
        buffer[pos++] = '\0';
    }
    buffer[pos] = '\0';
    return static_cast<std::uint32_t>(pos);
}

// An existing key is rewritten in place, a new key follows the last non-blank line of its
// section, a new section goes at the end.
std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    std::vector<Line> lines = SplitLines(text);
    std::optional<SectionSpan> s = FindSection(lines, section);
    if (!s) {
        std::string added;
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') added += "\r\n";
        added.append("[").append(section).append("]\r\n");
        added.append(key).append("=").append(value).append("\r\n");
        return Splice(text, text.size(), text.size(), added);
    }
    if (std::optional<std::size_t> k = FindKey(lines, *s, key)) {
        // The line keeps the key as the file spells it, and its own line ending.
        const Line& line = lines[*k];
        if (line.value == value) return std::string(text);  // Windows leaves such a file alone
        std::string rewritten;
        rewritten.append(line.name).append("=").append(value);
        return Splice(text, line.start, line.contentEnd, rewritten);
    }
    std::size_t last = s->header;
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        if (lines[i].kind != Kind::Blank) last = i;
    }
    const Line& after = lines[last];
    std::string added;
    if (after.end == after.contentEnd) added += "\r\n";  // the file's last line had no ending
    added.append(key).append("=").append(value).append("\r\n");
    return Splice(text, after.end, after.end, added);
}

std::string DeleteKey(std::string_view text, std::string_view section, std::string_view key) {
    std::vector<Line> lines = SplitLines(text);
    std::optional<SectionSpan> s = FindSection(lines, TrimBlanks(section));
    if (!s) return std::string(text);
    std::optional<std::size_t> k = FindKey(lines, *s, TrimBlanks(key));
    if (!k) return std::string(text);
    return Splice(text, lines[*k].start, lines[*k].end, {});
}

// Removes every section so named, so that none is left to read.
std::string DeleteSection(std::string_view text, std::string_view section) {
    section = TrimBlanks(section);
    std::vector<Line> lines = SplitLines(text);
    std::string out;
    out.reserve(text.size());
    std::size_t kept = 0;  // bytes before this are decided
    for (const SectionSpan& s : Sections(lines)) {
        if (!NamesEqual(lines[s.header].name, section)) continue;
        std::size_t from = lines[s.header].start;
        std::size_t to = s.end < lines.size() ? lines[s.end].start : text.size();
        out.append(text.substr(kept, from - kept));
        kept = to;
    }
    out.append(text.substr(kept));
    return out;
}

}  // namespace

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string_view TrimBlanks(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    // Space and tab lie below every trail byte, so cutting them never splits a character.
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        if (IsLeadByte(static_cast<unsigned char>(a[i]))) {
            std::size_t n = CharLength(a, i);
            if (a.substr(i, n) != b.substr(i, n)) return false;
            i += n;
        } else {
            if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
            ++i;
        }
    }
    return true;
}

std::uint32_t ParseInteger(std::string_view value) {
    // Windows reads the value into a buffer of 30 characters first: only 29 of them count.
    value = value.substr(0, 29);
    std::size_t i = 0;
    while (i < value.size() && IsBlank(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    std::uint32_t base = 10;
    // Only lower-case prefixes announce another base: "0X1f" reads as 0.
    if (i + 1 < value.size() && value[i] == '0') {
        switch (value[i + 1]) {
            case 'x': base = 16; break;
            case 'o': base = 8; break;
            case 'b': base = 2; break;
            default: break;
        }
        if (base != 10) i += 2;
    }
    std::uint32_t result = 0;
    for (; i < value.size(); ++i) {
        char c = value[i];
        std::uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'z') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'Z') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            break;
        }
        if (digit >= base) break;
        result = result * base + digit;  // wraps modulo 2^32, as in Windows
    }
    return negative ? 0u - result : result;
}

std::uint32_t ReadString(std::string_view text, const char* section, const char* key,
                         const char* defaultValue, char* buffer, std::uint32_t size) {
    if (!section) return CopyNameList(SectionNames(text), buffer, size);
    if (!key) return CopyNameList(KeyNames(text, section), buffer, size);
    if (std::optional<std::string_view> value = FindValue(text, section, key)) {
        return CopyTruncated(StripQuotes(*value), buffer, size);
    }
    std::string_view fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
    return CopyTruncated(fallback, buffer, size);
}

std::uint32_t ReadInteger(std::string_view text, const char* section, const char* key,
                          int defaultValue) {
    std::uint32_t fallback = static_cast<std::uint32_t>(defaultValue);
    if (!section || !key) return fallback;
    std::optional<std::string_view> value = FindValue(text, section, key);
    if (!value) return fallback;
    // Only an absent or empty value gives the default; any other text reads as a number.
    std::string_view shown = StripQuotes(*value);
    return shown.empty() ? fallback : ParseInteger(shown);
}

std::string WriteString(std::string_view text, const char* section, const char* key,
                        const char* value) {
    if (!key) return DeleteSection(text, section);
    if (!value) return DeleteKey(text, section, key);
    return SetValue(text, section, key, value);
}

}  // namespace platform::profile
