// Tokens of a resource script after the preprocessor: comments, #define, #include and #pragma done.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace rc::detail {

enum class TokenKind { End, Identifier, Number, String, Punct };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;          // identifier or punctuation; for a string its decoded UTF-8 text
    std::string raw;           // a string as written between its quotes (file names)
    std::int64_t value = 0;    // a number's value
    std::string file;
    int line = 0;
};

// What the preprocessor carries from one file to the next.
struct Context {
    std::map<std::string, std::vector<Token>> defines;
    std::vector<std::filesystem::path> dependencies;
    bool utf8 = false;  // #pragma code_page(65001) seen
    int includeDepth = 0;
};

class Lexer {
public:
    // directivesOnly: an included header, of which only the preprocessor lines count.
    Lexer(std::string_view text, std::string file, std::filesystem::path dir, Context& context,
          bool directivesOnly);

    // The next token of the text proper; a false #ifdef branch yields nothing.
    Token Next();

private:
    [[noreturn]] void Fail(const std::string& message) const;
    char Peek(std::size_t ahead = 0) const;
    bool AtEnd() const { return pos_ >= text_.size(); }
    // Skips blanks and comments; in a directive it stops at the end of the logical line.
    void SkipBlanks(bool inDirective);
    void SkipLine();
    Token Lex();
    Token LexString();
    void Directive();
    void Include(const Token& name);
    bool Active() const;

    struct Condition {
        bool parentActive;
        bool value;
        bool seenElse;
    };

    std::string_view text_;
    std::string file_;
    std::filesystem::path dir_;
    Context& context_;
    bool directivesOnly_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool lineStart_ = true;
    std::vector<Condition> conditions_;
};

// Decodes UTF-8 to UTF-16; a malformed sequence is a CompileError at the token's line.
std::u16string ToUtf16(const Token& token);

}  // namespace rc::detail
