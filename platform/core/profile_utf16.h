// Private profile files saved as UTF-16LE with a byte-order mark, as Windows' editors save
// "Unicode" text: read through code page 932, written back as UTF-16LE.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::profile {

// The file's bytes start with the mark FF FE.
bool IsUtf16(std::string_view bytes);

// A UTF-16LE file (mark included) seen as code page 932 text for the text rules.
class Utf16File {
public:
    explicit Utf16File(std::string_view bytes);
    // The file's text in code page 932; a character that code page lacks reads as "?".
    const std::string& Text() const { return text_; }
    // The file's bytes after an edit of Text(): the mark, then UTF-16LE. Lines before and after
    // the edited ones keep their old bytes, characters outside code page 932 included.
    std::string Encode(std::string_view edited) const;

private:
    struct Line {
        std::string utf16;  // with its line ending
        std::string cp932;  // the same, converted
    };
    std::vector<Line> lines_;
    std::string text_;
    std::string oddByte_;
};

}  // namespace platform::profile
