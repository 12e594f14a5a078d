// The Windows build's help text: a board's row stays one line, a list keeps its columns apart.
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
                          Case{"levels.html", "10 × 10", "\t初級\t10 × 10\t30\t70\t240 × 240"}}) {
        std::ifstream in(std::string(ZUM32_SOURCE_DIR) + "/resources/help/" + c.page,
                         std::ios::binary);
        const std::string html{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(Line(HelpPlainText(html), c.words), c.line) << c.page;
    }
}

}  // namespace
