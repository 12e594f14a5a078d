// A small C++ lexer that finds the ordinary narrow literals and writes their non-ASCII text as
// CP932 octal escapes.
#include "literal_rewriter.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace cp932 {

namespace {

// The code point of the UTF-8 sequence at the start of text and its length; length 0 when the
// bytes are not well-formed UTF-8.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (text.empty()) return {0, 0};
    unsigned char lead = byte(0);
    std::size_t length = 0;
    if (lead < 0x80) length = 1;
    else if (lead >= 0xC2 && lead < 0xE0) length = 2;
    else if (lead >= 0xE0 && lead < 0xF0) length = 3;
    else if (lead >= 0xF0 && lead < 0xF5) length = 4;
    if (length == 0 || text.size() < length) return {0, 0};
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return {0, 0};
        code = code << 6 | (byte(i) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return {0, 0};
    return {code, length};
}

std::string EncodeUtf8(char32_t code) {
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// Every byte as an octal escape: three digits, so no digit after it can join the escape, and a
// trail byte 0x5C can never be read as a backslash.
std::string OctalEscapes(std::string_view bytes) {
    std::string out;
    for (unsigned char b : bytes) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned>(b));
        out += escape;
    }
    return out;
}

bool IsHorizontalSpace(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsIdentifierChar(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}
bool IsNonAscii(char c) { return static_cast<unsigned char>(c) >= 0x80; }

class Rewriter {
public:
    explicit Rewriter(std::string_view source) : src_(source) {
        // Translation phase 2: lex the text with each backslash-newline removed (GCC and clang
        // also take a backslash, blanks, newline as one), each character keeping its offset.
        chars_.reserve(source.size());
        for (std::size_t i = 0; i < source.size();) {
            if (source[i] == '\\') {
                std::size_t j = i + 1;
                while (j < source.size() && IsHorizontalSpace(source[j])) ++j;
                if (j < source.size() && source[j] == '\n') {
                    i = j + 1;
                    continue;
                }
            }
            chars_.push_back({source[i], i});
            ++i;
        }
    }

    std::string Run();

private:
    struct Char {
        char c;
        std::size_t offset;
    };
    struct Replacement {
        std::size_t begin, end;  // offsets in the source
        std::string text;
    };
    struct Literal {
        std::size_t end;  // index past the closing quote, or of the newline that cut it short
        bool closed;
        bool rewritten;
    };

    std::size_t size() const { return chars_.size(); }
    char At(std::size_t k) const { return k < chars_.size() ? chars_[k].c : '\0'; }
    std::size_t Offset(std::size_t k) const { return k < chars_.size() ? chars_[k].offset : src_.size(); }

    [[noreturn]] void Fail(std::size_t offset, const std::string& message) const {
        offset = std::min(offset, src_.size());
        throw RewriteError(1 + static_cast<int>(std::count(src_.begin(), src_.begin() + offset, '\n')),
                           message);
    }

    std::string Convert(std::string_view utf8, std::size_t offset) const {
        try {
            return OctalEscapes(FromUtf8(utf8));
        } catch (const std::invalid_argument& e) {
            Fail(offset, e.what());
        }
    }

    std::size_t Identifier(std::size_t k) const {
        while (k < size() && IsIdentifierChar(At(k))) ++k;
        return k;
    }

    // A pp-number: digit separators and exponent signs belong to it, so 1'000 opens no literal.
    std::size_t Number(std::size_t k) const {
        while (k < size()) {
            char c = At(k), next = At(k + 1);
            if ((c == 'e' || c == 'E' || c == 'p' || c == 'P') && (next == '+' || next == '-')) {
                k += 2;
            } else if (c == '\'' && IsIdentifierChar(next)) {
                k += 2;
            } else if (IsIdentifierChar(c) || c == '.') {
                ++k;
            } else {
                break;
            }
        }
        return k;
    }

    // A header name after #include or __has_include(: no escapes, so "dir\" ends at its quote.
    std::size_t HeaderName(std::size_t k, char close) const {
        for (++k; k < size() && At(k) != '\n'; ++k)
            if (At(k) == close) return k + 1;
        return k;
    }

    Literal Quoted(std::size_t k, bool ordinary);
    std::size_t RawLiteral(std::size_t k, bool ordinary) const;
    void Adjoin(bool prefixed, bool rewritten, std::size_t offset);
    std::string Apply() const;

    std::string_view src_;
    std::vector<Char> chars_;
    std::vector<Replacement> replacements_;
    // The string literals just before, which the compiler joins into one: their encoding is the
    // prefixed one's, if any.
    bool joinPrefixed_ = false, joinRewritten_ = false, joining_ = false;
};

// A quoted literal from its opening quote at k. An ordinary one has its non-ASCII characters
// and universal character names replaced; a literal that a newline cuts short (the apostrophe of
// #error text or of a skipped group) stays as written, as the compiler never converts it.
Rewriter::Literal Rewriter::Quoted(std::size_t k, bool ordinary) {
    char quote = At(k);
    std::vector<Replacement> found;
    for (std::size_t i = k + 1; i < size();) {
        char c = At(i);
        if (c == quote) {
            bool rewritten = !found.empty();
            replacements_.insert(replacements_.end(), found.begin(), found.end());
            return {i + 1, true, rewritten};
        }
        if (c == '\n') return {i, false, false};
        if (c == '\\') {
            char e = At(i + 1);
            if (ordinary && (e == 'u' || e == 'U')) {
                std::size_t digits = e == 'u' ? 4 : 8;
                char32_t code = 0;
                for (std::size_t d = 0; d < digits; ++d) {
                    char h = At(i + 2 + d);
                    if (!IsHexDigit(h)) Fail(Offset(i), "incomplete universal character name");
                    code = code << 4 | static_cast<char32_t>(IsDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10);
                }
                if (code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
                    Fail(Offset(i), "not a valid universal character");
                std::size_t end = i + 2 + digits;
                found.push_back({Offset(i), Offset(end - 1) + 1, Convert(EncodeUtf8(code), Offset(i))});
                i = end;
                continue;
            }
            if (ordinary && IsNonAscii(e)) Fail(Offset(i), "a backslash before a non-ASCII character");
            i += 2;
            continue;
        }
        if (ordinary && IsNonAscii(c)) {
            // One run per stretch of consecutive source bytes: a line splice stays where it is.
            std::size_t j = i + 1;
            while (j < size() && IsNonAscii(At(j)) && Offset(j) == Offset(j - 1) + 1) ++j;
            std::size_t begin = Offset(i), end = Offset(j - 1) + 1;
            found.push_back({begin, end, Convert(src_.substr(begin, end - begin), begin)});
            i = j;
            continue;
        }
        ++i;
    }
    return {size(), false, false};
}

// A raw literal from its opening quote at k; its text is the source's own, splices included.
std::size_t Rewriter::RawLiteral(std::size_t k, bool ordinary) const {
    std::size_t open = Offset(k), p = open + 1;
    for (; p < src_.size() && src_[p] != '('; ++p) {
        char c = src_[p];
        if (c == ' ' || c == ')' || c == '\\' || c == '\n' || IsHorizontalSpace(c) || IsNonAscii(c) ||
            p - open > 16)
            Fail(open, "invalid raw string delimiter");
    }
    std::string close(1, ')');
    close.append(src_.substr(open + 1, p - open - 1)).push_back('"');
    std::size_t end = p < src_.size() ? src_.find(close, p + 1) : std::string_view::npos;
    if (end == std::string_view::npos) Fail(open, "unterminated raw string literal");
    if (ordinary) {
        for (std::size_t q = p + 1; q < end; ++q) {
            if (IsNonAscii(src_[q]))
                Fail(q, "a raw string literal with non-ASCII text cannot be written as byte escapes; "
                        "use an ordinary literal");
        }
    }
    std::size_t after = end + close.size();
    auto next = std::lower_bound(chars_.begin(), chars_.end(), after,
                                 [](const Char& ch, std::size_t offset) { return ch.offset < offset; });
    return static_cast<std::size_t>(next - chars_.begin());
}

// An ordinary literal joined to a prefixed one takes the prefixed encoding, so escapes of CP932
// bytes in it would be wrong.
void Rewriter::Adjoin(bool prefixed, bool rewritten, std::size_t offset) {
    if (!joining_) joinPrefixed_ = joinRewritten_ = false;
    joining_ = true;
    joinPrefixed_ |= prefixed;
    joinRewritten_ |= rewritten;
    if (joinPrefixed_ && joinRewritten_)
        Fail(offset, "an ordinary literal with non-ASCII text is joined to a prefixed literal");
}

std::string Rewriter::Run() {
    bool lineStart = true, inDirective = false, directiveName = false;
    enum { kNone, kHeaderName, kOpenParenthesis } expect = kNone;
    for (std::size_t k = 0; k < size();) {
        char c = At(k);
        if (c == '\n') {
            if (inDirective) joining_ = false;
            inDirective = directiveName = false;
            expect = kNone;
            lineStart = true;
            ++k;
            continue;
        }
        if (IsHorizontalSpace(c)) {
            ++k;
            continue;
        }
        if (c == '/' && At(k + 1) == '/') {
            while (k < size() && At(k) != '\n') ++k;
            continue;
        }
        if (c == '/' && At(k + 1) == '*') {
            std::size_t start = k;
            for (k += 2; k < size() && !(At(k) == '*' && At(k + 1) == '/');) ++k;
            if (k >= size()) Fail(Offset(start), "unterminated comment");
            k += 2;
            continue;
        }
        bool atLineStart = lineStart, atDirectiveName = directiveName;
        lineStart = directiveName = false;
        if (c == '#' && atLineStart) {
            inDirective = directiveName = true;
            joining_ = false;
            ++k;
            continue;
        }
        if (expect == kHeaderName && (c == '"' || c == '<')) {
            k = HeaderName(k, c == '<' ? '>' : '"');
            expect = kNone;
            continue;
        }
        if (expect == kOpenParenthesis && c == '(') {
            expect = kHeaderName;
            ++k;
            continue;
        }
        expect = kNone;
        if (IsIdentifierChar(c) && !IsDigit(c)) {
            std::size_t end = Identifier(k);
            std::string name;
            for (std::size_t i = k; i < end; ++i) name += At(i);
            bool raw = !name.empty() && name.back() == 'R';
            std::string encoding = raw ? name.substr(0, name.size() - 1) : name;
            bool isPrefix = encoding.empty() || encoding == "u8" || encoding == "u" || encoding == "U" ||
                            encoding == "L";
            if (isPrefix && At(end) == '"') {
                std::size_t offset = Offset(end);
                Literal literal = raw ? Literal{RawLiteral(end, encoding.empty()), true, false}
                                      : Quoted(end, false);
                k = literal.end;
                if (literal.closed) Adjoin(!encoding.empty(), false, offset);
                else joining_ = false;
                continue;
            }
            if (isPrefix && !raw && !encoding.empty() && At(end) == '\'') {
                k = Quoted(end, false).end;
                joining_ = false;
                continue;
            }
            if (atDirectiveName && (name == "include" || name == "include_next" || name == "import"))
                expect = kHeaderName;
            if (name == "__has_include" || name == "__has_include_next") expect = kOpenParenthesis;
            joining_ = false;
            k = end;
            continue;
        }
        if (IsDigit(c) || (c == '.' && IsDigit(At(k + 1)))) {
            k = Number(k);
            joining_ = false;
            continue;
        }
        if (c == '"') {
            Literal literal = Quoted(k, true);
            if (literal.closed) {
                Adjoin(false, literal.rewritten, Offset(k));
            } else {
                joining_ = false;
            }
            k = literal.end;
            continue;
        }
        if (c == '\'') {
            k = Quoted(k, true).end;
            joining_ = false;
            continue;
        }
        joining_ = false;
        ++k;
    }
    return Apply();
}

// The source with the replacements made. Splices that a replacement swallowed are put back
// after it, so that every later line keeps its number.
std::string Rewriter::Apply() const {
    std::string out;
    out.reserve(src_.size() + replacements_.size() * 8);
    std::size_t at = 0;
    for (const Replacement& r : replacements_) {
        out.append(src_.substr(at, r.begin - at));
        out += r.text;
        for (std::size_t n = std::count(src_.begin() + r.begin, src_.begin() + r.end, '\n'); n > 0; --n)
            out += "\\\n";
        at = r.end;
    }
    out.append(src_.substr(at));
    return out;
}

}  // namespace

std::string FromUtf8(std::string_view utf8) {
    // Stateless both ways, so each run converts on its own.
    static const iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("glibc has no CP932 converter");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size(), outLeft = out.size();
    char* to = out.data();
    if (iconv(converter, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) {
        int error = errno;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        std::string_view rest(in, inLeft);
        auto [code, length] = DecodeUtf8(rest);
        if (error == E2BIG || length == 0) throw std::invalid_argument("invalid UTF-8 text");
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
        throw std::invalid_argument(std::string(name) + " '" + std::string(rest.substr(0, length)) +
                                    "' has no CP932 code");
    }
    out.resize(out.size() - outLeft);
    return out;
}

std::string RewriteLiterals(std::string_view source) { return Rewriter(source).Run(); }

}  // namespace cp932
