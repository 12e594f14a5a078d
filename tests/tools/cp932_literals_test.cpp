// Tests of the literal rewriter: which text of a C++ source is an ordinary narrow literal.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "literal_rewriter.h"

namespace {

struct Case {
    const char* name;
    std::string source;
    std::string rewritten;  // unused when the rewriter must fail
    int errorLine = 0;
};

// あ is 82 A0, い is 82 A2, ソ is 83 5C in CP932.
const Case kCases[] = {
    {"Literal", R"(s = "あA";)", R"(s = "\202\240A";)"},
    {"CharacterLiteral", R"(c = 'あ';)", R"(c = '\202\240';)"},
    {"TrailByteIsEscaped", R"("ソ")", R"("\203\134")"},
    {"LineComment", "// \"あ\" it's\nx = \"い\";", "// \"あ\" it's\nx = \"\\202\\242\";"},
    {"BlockComment", R"(/* "あ */ x = "い"; /* ' */)", R"(/* "あ */ x = "\202\242"; /* ' */)"},
    {"EscapedQuote", R"(f("\"あ");)", R"(f("\"\202\240");)"},
    {"EscapedBackslash", R"(f("\\", "あ");)", R"(f("\\", "\202\240");)"},
    {"DoubleQuoteCharacter", R"(f('"', "あ");)", R"(f('"', "\202\240");)"},
    {"EscapedApostrophe", R"(f('\'', "あ");)", R"(f('\'', "\202\240");)"},
    {"PrefixedLiterals", R"(u8"あ", u"あ", U"あ", L"あ", L'あ';)", R"(u8"あ", u"あ", U"あ", L"あ", L'あ';)"},
    {"IdentifierEndingLikePrefix", R"(N(xL"あ", xR"い"))", R"(N(xL"\202\240", xR"\202\242"))"},
    {"RawLiteral", R"-(R"x(a"b // )" ')x" "あ")-", R"-(R"x(a"b // )" ')x" "\202\240")-"},
    {"RawLiteralWithNonAscii", "x;\nR\"(あ)\";", "", 2},
    {"PrefixedRawLiteral", R"-(u8R"(あ)", LR"(い)";)-", R"-(u8R"(あ)", LR"(い)";)-"},
    {"SpliceInLiteral", "\"あ\\\nい\"", "\"\\202\\240\\\n\\202\\242\""},
    {"SpliceInLineComment", "// note \\\n\"あ\"", "// note \\\n\"あ\""},
    {"SpliceAfterBackslash", "\"あ\\\\\n\"い\"", "\"\\202\\240\\\\\n\"\\202\\242\""},
    {"IncludeHeaderName", R"(#  include "あ.h")", R"(#  include "あ.h")"},
    {"HasIncludeHeaderName", R"(#if __has_include("あ.h"))", R"(#if __has_include("あ.h"))"},
    {"DigitSeparators", R"(n = 1'0; // don't "あ")", R"(n = 1'0; // don't "あ")"},
    {"UniversalCharacterNames", R"("\u3042\U00003044\u00301", "\\u3042")", R"("\202\240\202\242\0601", "\\u3042")"},
    {"ApostropheInErrorText", "#error don't \"あ\"\nx = \"い\";", "#error don't \"あ\"\nx = \"\\202\\242\";"},
    {"NoCp932Code", "x;\n\n\"😀\";", "", 3},
    {"JoinedToPrefixedLiteral", "L\"a\"\n\"あ\";", "", 2},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class RewriteTest : public ::testing::TestWithParam<Case> {};

TEST_P(RewriteTest, Rewrites) {
    const Case& c = GetParam();
    if (c.errorLine == 0) {
        EXPECT_EQ(cp932::RewriteLiterals(c.source), c.rewritten);
        return;
    }
    try {
        std::string out = cp932::RewriteLiterals(c.source);
        ADD_FAILURE() << "rewritten as " << out;
    } catch (const cp932::RewriteError& e) {
        EXPECT_EQ(e.line(), c.errorLine) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RewriteTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
