// Preprocessor and tokenizer for resource scripts and the C headers they include.
#include "lexer.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "rc_compiler.h"

namespace rc::detail {
namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Only a regular file is read: a folder opens like one but reads nothing, a device may never end.
std::string ReadFile(const std::filesystem::path& path, bool& ok) {
    std::error_code ec;
    ok = std::filesystem::is_regular_file(path, ec);
    if (!ok) return {};
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The headers of the Windows SDK that a script includes for the style names, which are built in.
bool IsSystemHeader(const std::string& name) {
    std::string lower;
    for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "windows.h" || lower == "winres.h" || lower == "winresrc.h" ||
           lower == "winuser.h";
}

}  // namespace

Lexer::Lexer(std::string_view text, std::string file, std::filesystem::path dir, Context& context,
             bool directivesOnly)
    : text_(text), file_(std::move(file)), dir_(std::move(dir)), context_(context),
      directivesOnly_(directivesOnly) {
    // A byte order mark is not part of the text.
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

void Lexer::Fail(const std::string& message) const { throw CompileError(file_, line_, message); }

char Lexer::Peek(std::size_t ahead) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
}

bool Lexer::Active() const {
    return conditions_.empty() || (conditions_.back().parentActive && conditions_.back().value);
}

void Lexer::SkipBlanks(bool inDirective) {
    while (!AtEnd()) {
        char c = Peek();
        if (c == '\n') {
            if (inDirective) return;
            ++line_;
            ++pos_;
            lineStart_ = true;
        } else if (c == '\\' && inDirective && (Peek(1) == '\n' || (Peek(1) == '\r' && Peek(2) == '\n'))) {
            pos_ += Peek(1) == '\n' ? 2 : 3;
            ++line_;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++pos_;
        } else if (c == '/' && Peek(1) == '/') {
            while (!AtEnd() && Peek() != '\n') ++pos_;
        } else if (c == '/' && Peek(1) == '*') {
            int startLine = line_;
            pos_ += 2;
            while (!AtEnd() && !(Peek() == '*' && Peek(1) == '/')) {
                if (Peek() == '\n') ++line_;
                ++pos_;
            }
            if (AtEnd()) throw CompileError(file_, startLine, "unterminated comment");
            pos_ += 2;
        } else {
            return;
        }
    }
}

void Lexer::SkipLine() {
    // Text that does not count (a header's declarations, a false branch): only comments and
    // strings need care, so that a quote or comment opener in them is not misread.
    while (!AtEnd() && Peek() != '\n') {
        if (Peek() == '/' && (Peek(1) == '*' || Peek(1) == '/')) {
            int before = line_;
            SkipBlanks(true);
            if (line_ != before) return;
            continue;
        }
        if (Peek() == '"' || Peek() == '\'') {
            char quote = Peek();
            ++pos_;
            while (!AtEnd() && Peek() != quote && Peek() != '\n') {
                if (Peek() == '\\' && Peek(1) != '\n') ++pos_;
                ++pos_;
            }
            if (Peek() == quote) ++pos_;
            continue;
        }
        ++pos_;
    }
}

Token Lexer::Next() {
    for (;;) {
        SkipBlanks(false);
        if (AtEnd()) {
            if (!conditions_.empty()) Fail("missing #endif");
            Token end;
            end.file = file_;
            end.line = line_;
            return end;
        }
        if (lineStart_ && Peek() == '#') {
            ++pos_;
            Directive();
            continue;
        }
        lineStart_ = false;
        if (directivesOnly_ || !Active()) {
            SkipLine();
            continue;
        }
        return Lex();
    }
}

Token Lexer::Lex() {
    Token t;
    t.file = file_;
    t.line = line_;
    char c = Peek();
    if ((c == 'L' || c == 'l') && Peek(1) == '"') {
        ++pos_;
        return LexString();
    }
    if (c == '"') return LexString();
    if (IsIdentStart(c)) {
        std::size_t start = pos_;
        while (!AtEnd() && IsIdentChar(Peek())) ++pos_;
        t.kind = TokenKind::Identifier;
        t.text = std::string(text_.substr(start, pos_ - start));
        return t;
    }
    if (std::isdigit(static_cast<unsigned char>(c))) {
        std::size_t start = pos_;
        std::uint64_t value = 0;
        bool hex = c == '0' && (Peek(1) == 'x' || Peek(1) == 'X');
        if (hex) {
            pos_ += 2;
            if (!std::isxdigit(static_cast<unsigned char>(Peek()))) Fail("malformed number");
            while (!AtEnd() && std::isxdigit(static_cast<unsigned char>(Peek()))) {
                char d = Peek();
                int digit = std::isdigit(static_cast<unsigned char>(d))
                                ? d - '0'
                                : std::tolower(static_cast<unsigned char>(d)) - 'a' + 10;
                value = value * 16 + digit;
                if (value > 0xFFFFFFFFu) Fail("number too large");
                ++pos_;
            }
        } else {
            while (!AtEnd() && std::isdigit(static_cast<unsigned char>(Peek()))) {
                value = value * 10 + (Peek() - '0');
                if (value > 0xFFFFFFFFu) Fail("number too large");
                ++pos_;
            }
        }
        while (Peek() == 'L' || Peek() == 'l' || Peek() == 'U' || Peek() == 'u') ++pos_;
        if (IsIdentChar(Peek())) Fail("malformed number");
        t.kind = TokenKind::Number;
        t.text = std::string(text_.substr(start, pos_ - start));
        t.value = static_cast<std::int64_t>(value);
        return t;
    }
    static constexpr std::string_view kPunct = ",|(){}+-~&";
    if (kPunct.find(c) != std::string_view::npos) {
        ++pos_;
        t.kind = TokenKind::Punct;
        t.text = std::string(1, c);
        return t;
    }
    std::ostringstream m;
    if (static_cast<unsigned char>(c) < 0x80 && std::isprint(static_cast<unsigned char>(c)))
        m << "unexpected character '" << c << "'";
    else
        m << "unexpected byte 0x" << std::hex << (static_cast<unsigned>(c) & 0xFF);
    Fail(m.str());
}

Token Lexer::LexString() {
    Token t;
    t.kind = TokenKind::String;
    t.file = file_;
    t.line = line_;
    ++pos_;  // the opening quote
    for (;;) {
        if (AtEnd() || Peek() == '\n') Fail("unterminated string");
        char c = Peek();
        if (c == '"') {
            if (Peek(1) == '"') {  // "" stands for one quote
                t.text += '"';
                t.raw += "\"\"";
                pos_ += 2;
                continue;
            }
            ++pos_;
            return t;
        }
        if (static_cast<unsigned char>(c) >= 0x80 && !context_.utf8)
            Fail("non-ASCII text needs #pragma code_page(65001)");
        if (c == '\\') {
            char e = Peek(1);
            switch (e) {
                case 't': t.text += '\t'; break;
                case 'n': t.text += '\n'; break;
                case 'r': t.text += '\r'; break;
                case 'a': t.text += '\x08'; break;  // the resource compiler's right-align mark
                case '\\': t.text += '\\'; break;
                case '"': t.text += '"'; break;
                default:
                    if (e == '\n' || e == '\0') Fail("unterminated string");
                    Fail(std::string("unknown escape \\") + e);
            }
            t.raw += c;
            t.raw += e;
            pos_ += 2;
            continue;
        }
        t.text += c;
        t.raw += c;
        ++pos_;
    }
}

void Lexer::Directive() {
    // A directive runs to the end of its logical line; its tokens never cross it.
    SkipBlanks(true);
    if (AtEnd() || Peek() == '\n') return;  // the null directive
    if (!IsIdentStart(Peek())) Fail("malformed preprocessor line");
    Token nameToken = Lex();
    const std::string& name = nameToken.text;
    auto rest = [&] {
        std::vector<Token> tokens;
        for (;;) {
            SkipBlanks(true);
            if (AtEnd() || Peek() == '\n') return tokens;
            if (Peek() == '<') {  // <header> of an #include
                Token t;
                t.kind = TokenKind::Punct;
                t.file = file_;
                t.line = line_;
                std::size_t end = text_.find('>', pos_);
                std::size_t eol = text_.find('\n', pos_);
                if (end == std::string_view::npos || end > eol) Fail("malformed #include");
                t.text.assign(1, '<');
                t.raw = std::string(text_.substr(pos_ + 1, end - pos_ - 1));
                pos_ = end + 1;
                tokens.push_back(t);
                continue;
            }
            tokens.push_back(Lex());
        }
    };
    auto identifierArgument = [&](const std::vector<Token>& tokens) -> const std::string& {
        if (tokens.size() != 1 || tokens[0].kind != TokenKind::Identifier)
            Fail("#" + name + " needs one name");
        return tokens[0].text;
    };

    if (name == "ifdef" || name == "ifndef") {
        bool parent = Active();
        bool value = false;
        if (parent) {
            bool defined = context_.defines.count(identifierArgument(rest())) != 0;
            value = name == "ifdef" ? defined : !defined;
        } else {
            SkipLine();
        }
        conditions_.push_back({parent, value, false});
        return;
    }
    if (name == "else") {
        if (conditions_.empty() || conditions_.back().seenElse) Fail("#else without #ifdef");
        conditions_.back().value = !conditions_.back().value;
        conditions_.back().seenElse = true;
        SkipLine();
        return;
    }
    if (name == "endif") {
        if (conditions_.empty()) Fail("#endif without #ifdef");
        conditions_.pop_back();
        SkipLine();
        return;
    }
    if (name == "if" || name == "elif") {
        Fail("#" + name + " is not supported; use #ifdef or #ifndef");
    }
    if (!Active()) {
        SkipLine();
        return;
    }
    if (name == "define") {
        SkipBlanks(true);
        if (!IsIdentStart(Peek())) Fail("#define needs a name");
        Token macro = Lex();
        if (Peek() == '(') Fail("macros with parameters are not supported");
        context_.defines[macro.text] = rest();
        return;
    }
    if (name == "undef") {
        context_.defines.erase(identifierArgument(rest()));
        return;
    }
    if (name == "include") {
        std::vector<Token> tokens = rest();
        if (tokens.size() != 1 ||
            (tokens[0].kind != TokenKind::String && tokens[0].text != "<"))
            Fail("#include needs a file name in quotes");
        Include(tokens[0]);
        return;
    }
    if (name == "pragma") {
        std::vector<Token> tokens = rest();
        if (!tokens.empty() && tokens[0].text == "code_page") {
            if (tokens.size() != 4 || tokens[1].text != "(" || tokens[3].text != ")")
                Fail("malformed #pragma code_page");
            if (tokens[2].kind != TokenKind::Number || tokens[2].value != 65001)
                Fail("only #pragma code_page(65001) (UTF-8) is supported");
            context_.utf8 = true;
        }
        // Other pragmas (once, ...) mean nothing to resources.
        return;
    }
    Fail("#" + name + " is not supported");
}

void Lexer::Include(const Token& name) {
    if (name.kind != TokenKind::String) {
        if (IsSystemHeader(name.raw)) return;  // its style names are built into the compiler
        Fail("cannot include <" + name.raw + ">");
    }
    std::filesystem::path path = dir_ / name.raw;
    bool ok = false;
    std::string text = ReadFile(path, ok);
    if (!ok) Fail("cannot open include file '" + name.raw + "'");
    if (context_.includeDepth >= 16) Fail("#include nested too deeply");
    context_.dependencies.push_back(path.lexically_normal());
    ++context_.includeDepth;
    Lexer header(text, path.lexically_normal().string(), path.parent_path(), context_, true);
    while (header.Next().kind != TokenKind::End) {
    }
    --context_.includeDepth;
}

std::u16string ToUtf16(const Token& token) {
    const std::string& s = token.text;
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int extra;
        if (b < 0x80) {
            cp = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            extra = 3;
        } else {
            throw CompileError(token.file, token.line, "malformed UTF-8 text");
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size()) throw CompileError(token.file, token.line, "malformed UTF-8 text");
            unsigned char c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) throw CompileError(token.file, token.line, "malformed UTF-8 text");
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            throw CompileError(token.file, token.line, "malformed UTF-8 text");
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += extra + 1;
    }
    return out;
}

}  // namespace rc::detail
