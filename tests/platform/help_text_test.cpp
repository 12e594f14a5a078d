// The Windows build's help text: a board's row stays one line, a list keeps its columns apart.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/help_text.h"

namespace {

std::string Line(const std::string& text, const std::string& containing) {
    std::size_t at = text.find(containing);
    if (at == std::string::npos) return "(missing)";
    std::size_t from = text.rfind('\n', at);
    from = from == std::string::npos ? 0 : from + 1;
    return text.substr(from, text.find("\r\n", at) - from);
}

TEST(HelpText, TablesAsThePlayerReadsThem) {
    struct Case {
        const char* page;
        const char* containing;
        const char* line;
    };
    for (const Case& c : {
             Case{"clues.html", "○○●", "2 3 2      ○○●○○○●●○○"},
             Case{"levels.html", "10 × 10", "\t初級\t10 × 10\t30\t70\t240 × 240"},
         }) {
        std::ifstream in(std::string(ZUM32_SOURCE_DIR) + "/resources/help/" + c.page,
                         std::ios::binary);
        const std::string html{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(Line(HelpPlainText(html), c.containing), c.line) << c.page;
    }
}

}  // namespace
