// Rewrites the narrow literals of a UTF-8 C++ source as the CP932 byte escapes that GCC's
// -fexec-charset=CP932 would give them, for compilers that have no such execution charset.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace cp932 {

// A source that cannot be rewritten without changing its bytes; line counts from 1.
class RewriteError : public std::runtime_error {
public:
    RewriteError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// glibc's CP932 bytes for UTF-8 text (the converter GCC uses); std::invalid_argument naming
// the character when the text is not UTF-8 or CP932 has no code for it.
std::string FromUtf8(std::string_view utf8);

// The source with each non-ASCII character and universal character name inside ordinary narrow
// string and character literals written as three-digit octal escapes of its CP932 bytes; every
// other byte, comments and prefixed literals included, is kept. Throws RewriteError.
std::string RewriteLiterals(std::string_view source);

}  // namespace cp932
