// The Windows build's help text in each language: a board's row stays one line, a list keeps its columns apart.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/help_text.h"

namespace {

// The whole line of text that holds the words.
std::string Line(const std::string& text, const std::string& words) {
    const std::size_t at = text.find(words), from = text.rfind('\n', at) + 1;
    return at == std::string::npos ? "(missing)" : text.substr(from, text.find("\r\n", at) - from);
}

TEST(HelpText, TablesAsThePlayerReadsThem) {
    struct Case {
        const char *page, *words, *line;
    };
    for (const Case& c : {Case{"clues.html", "○○●", "2 3 2      ○○●○○○●●○○"},
                          Case{"levels.html", "10 × 10", "\t初級\t10 × 10\t30\t70\t240 × 240"},
                          Case{"en/clues.html", "○○●", "2 3 2      ○○●○○○●●○○"},
                          Case{"en/levels.html", "10 × 10", "\tBeginner\t10 × 10\t30\t70\t240 × 240"},
                          // English words run on across a line break; each language has its own bullet.
                          Case{"en/open.html", "does nothing. To", "Clicking a cell that is already open, or one"
                               " with a flag on it, does nothing. To open a flagged cell, right-click it first to take the flag away."},
                          Case{"en/open.html", "last safe", "• Opening the last safe cell clears the board and stops the clock."},
                          Case{"open.html", "最後の", "・最後の安全なマスを開けると盤面がクリアされ、時計が止まります。"}}) {
        std::ifstream in(std::string(ZUM32_SOURCE_DIR) + "/resources/help/" + c.page,
                         std::ios::binary);
        const std::string html{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(Line(HelpPlainText(html), c.words), c.line) << c.page;
    }
}

}  // namespace
