// Tests of the resource compiler: script text in, model and generated table out.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "rc_compiler.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kChildVisible = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr std::uint32_t WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000, WS_BORDER = 0x00800000;

class RcTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        dir_ = fs::temp_directory_path() /
               ("zum32-rc-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    rc::Script Compile(const std::string& text) { return rc::Compile(text, dir_, "t.rc"); }

    // The error that compiling text raises; fails the test when it compiles.
    rc::CompileError ErrorOf(const std::string& text) {
        try {
            Compile(text);
        } catch (const rc::CompileError& e) {
            return e;
        }
        ADD_FAILURE() << "compiled without error:\n" << text;
        return rc::CompileError("", 0, "");
    }

    fs::path dir_;
};

template <class T>
const T& Content(const rc::Script& s, std::string_view name, std::uint16_t type,
                 std::string_view typeName = {}, std::uint16_t language = 0) {
    const rc::Resource* r = s.Find(name, type, typeName, language);
    if (!r) throw std::runtime_error("no resource " + std::string(name));
    return std::get<T>(r->content);
}

// An 8-bit BMP file with a 256-entry colour table; rows padded to 4 bytes.
std::string Bmp(int width, int height, int bits = 8, std::uint32_t offBits = 1078) {
    int stride = (width + 3) / 4 * 4;
    std::string f;
    auto put16 = [&](unsigned v) { f += char(v & 0xFF); f += char(v >> 8 & 0xFF); };
    auto put32 = [&](std::uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    std::uint32_t size = 1078 + stride * height;
    f += "BM";
    put32(size); put32(0); put32(offBits);
    put32(40); put32(width); put32(height); put16(1); put16(bits); put32(0);
    put32(stride * height); put32(2835); put32(2835); put32(0); put32(256);
    for (int i = 0; i < 256; ++i) { f += char(i); f += char(255 - i); f += char(i / 2); f += '\0'; }
    for (int i = 0; i < stride * height; ++i) f += char(i * 7);
    return f;
}

// An .ico (kind 1) or .cur (kind 2) file with one 4-byte image.
std::string IconFile(int kind) {
    std::string f = {0, 0, char(kind), 0, 1, 0};
    f += std::string{16, 16, 0, 0, 1, 0, 32, 0, 4, 0, 0, 0, 22, 0, 0, 0};
    return f + "\x01\x02\x03\x04";
}

TEST_F(RcTest, MenuKeepsPopupsSeparatorsOptionsAndTabs) {
    rc::Script s = Compile(R"(
        #define CMD_A 101
        main_menu MENU DISCARDABLE
        BEGIN
            POPUP "&File"
            BEGIN
                MENUITEM "&Open\tCtrl+O", CMD_A
                MENUITEM SEPARATOR
                POPUP "Recent", GRAYED
                {
                    MENUITEM "one", 201, CHECKED
                    MENUITEM "two", 202, GRAYED, INACTIVE
                }
                menuitem "E&xit", 0x69 CHECKED
            END
            POPUP "&Help" { MENUITEM "Say ""hi""\\", 300 }
        END)");
    const auto& menu = Content<rc::MenuDef>(s, "MAIN_MENU", rc::kTypeMenu);
    ASSERT_EQ(menu.items.size(), 2u);
    const rc::MenuNode& file = menu.items[0];
    EXPECT_EQ(file.text, u"&File");
    EXPECT_EQ(file.flags, 0x0010);
    ASSERT_EQ(file.children.size(), 4u);
    EXPECT_EQ(file.children[0].text, u"&Open\tCtrl+O");
    EXPECT_EQ(file.children[0].id, 101);
    EXPECT_EQ(file.children[0].flags, 0);
    EXPECT_TRUE(file.children[1].separator);
    EXPECT_EQ(file.children[1].flags, 0x0800);
    const rc::MenuNode& recent = file.children[2];
    EXPECT_EQ(recent.flags, 0x0010 | 0x0001);
    ASSERT_EQ(recent.children.size(), 2u);
    EXPECT_EQ(recent.children[0].flags, 0x0008);
    EXPECT_EQ(recent.children[1].flags, 0x0001 | 0x0002);
    EXPECT_EQ(recent.children[1].id, 202);
    EXPECT_EQ(file.children[3].text, u"E&xit");
    EXPECT_EQ(file.children[3].id, 0x69);
    EXPECT_EQ(file.children[3].flags, 0x0008);
    EXPECT_EQ(menu.items[1].children.at(0).text, u"Say \"hi\"\\");
}

TEST_F(RcTest, AcceleratorsInEveryForm) {
    rc::Script s = Compile(R"(
        #define VK_F1 0x70
        keys ACCELERATORS
        BEGIN
            "N", 101, VIRTKEY, CONTROL
            "t", 103, VIRTKEY, CONTROL, SHIFT
            "P", 104, VIRTKEY, ALT, NOINVERT
            "^H", 106
            "a", 107
            "A", 108, ASCII
            VK_F1, 109, VIRTKEY
        END)");
    const auto& table = Content<rc::AcceleratorsDef>(s, "KEYS", rc::kTypeAccelerator);
    struct Row { std::uint8_t flags; std::uint16_t key, command; };
    const Row expected[] = {
        {0x01 | 0x08, 'N', 101},
        {0x01 | 0x08 | 0x04, 'T', 103},  // a letter's virtual key is its upper-case code
        {0x01 | 0x10 | 0x02, 'P', 104},
        {0x00, 0x08, 106},               // ^H is the control character 8
        {0x00, 'a', 107},
        {0x00, 'A', 108},
        {0x01, 0x70, 109},
    };
    ASSERT_EQ(table.entries.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table.entries[i].flags, expected[i].flags);
        EXPECT_EQ(table.entries[i].key, expected[i].key);
        EXPECT_EQ(table.entries[i].command, expected[i].command);
    }
}

TEST_F(RcTest, EveryControlStatementGetsItsDefaultStyle) {
    rc::Script s = Compile(R"(
        d DIALOG 1, 2, 300, 200
        BEGIN
            PUSHBUTTON "p", 1, 10, 11, 12, 13
            DEFPUSHBUTTON "d", 2, 0, 0, 1, 1
            LTEXT "l", 3, 0, 0, 1, 1
            CTEXT "c", 4, 0, 0, 1, 1
            RTEXT "r", 5, 0, 0, 1, 1
            EDITTEXT 6, 0, 0, 1, 1
            GROUPBOX "g", 7, 0, 0, 1, 1
            AUTORADIOBUTTON "a", 8, 0, 0, 1, 1
            ICON "ICON_X", -1, 8, 9, 18, 20
            ICON icon_y, IDC_STATIC, 8, 9
            CONTROL "", -1, "Static", 0x12, 0, 0, 1, 1
            CONTROL "e", 9, "edit", 0, 0, 0, 1, 1
            CONTROL "b", 10, BUTTON, 0, 0, 0, 1, 1
        END)");
    const auto& d = Content<rc::DialogDef>(s, "D", rc::kTypeDialog);
    struct Row { std::u16string cls, text; int id; std::uint32_t style; };
    const Row expected[] = {
        {u"BUTTON", u"p", 1, WS_TABSTOP},
        {u"BUTTON", u"d", 2, 0x1 | WS_TABSTOP},
        {u"STATIC", u"l", 3, WS_GROUP},
        {u"STATIC", u"c", 4, 0x1 | WS_GROUP},
        {u"STATIC", u"r", 5, 0x2 | WS_GROUP},
        {u"EDIT", u"", 6, WS_BORDER | WS_TABSTOP},
        {u"BUTTON", u"g", 7, 0x7},
        {u"BUTTON", u"a", 8, 0x9 | WS_TABSTOP},
        {u"STATIC", u"ICON_X", -1, 0x3},
        {u"STATIC", u"ICON_Y", -1, 0x3},
        {u"STATIC", u"", -1, 0x12},
        {u"EDIT", u"e", 9, 0},
        {u"BUTTON", u"b", 10, 0},
    };
    ASSERT_EQ(d.controls.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(d.controls[i].className, expected[i].cls);
        EXPECT_EQ(d.controls[i].text, expected[i].text);
        EXPECT_EQ(d.controls[i].id, expected[i].id);
        EXPECT_EQ(d.controls[i].style, kChildVisible | expected[i].style);
        EXPECT_EQ(d.controls[i].exStyle, 0u);
    }
    EXPECT_EQ(d.controls[0].x, 10);
    EXPECT_EQ(d.controls[0].y, 11);
    EXPECT_EQ(d.controls[0].cx, 12);
    EXPECT_EQ(d.controls[0].cy, 13);
    EXPECT_EQ(d.controls[8].cx, 18);
    EXPECT_EQ(d.controls[8].cy, 20);
    EXPECT_EQ(d.controls[9].cx, 0);  // an icon without a size takes its picture's
}

TEST_F(RcTest, StylesAddToDefaultsAndNotTakesAway) {
    rc::Script s = Compile(R"(
        #define MY_STYLE (WS_GROUP | 0x100)
        d DIALOGEX 0, 0, 10, 10
        BEGIN
            LTEXT "a", 1, 0, 0, 1, 1, NOT WS_GROUP
            EDITTEXT 2, 0, 0, 1, 1, ES_AUTOHSCROLL | NOT WS_BORDER, WS_EX_CLIENTEDGE
            PUSHBUTTON "c", 3, 0, 0, 1, 1, MY_STYLE | NOT WS_TABSTOP
            CONTROL "d", 4, "Button", WS_TABSTOP | NOT WS_VISIBLE, 0, 0, 1, 1
            DEFPUSHBUTTON "e", 5, 0, 0, 1, 1, NOT 0x1 | WS_DISABLED
        END)");
    const auto& d = Content<rc::DialogDef>(s, "D", rc::kTypeDialog);
    ASSERT_EQ(d.controls.size(), 5u);
    EXPECT_EQ(d.controls[0].style, kChildVisible);
    EXPECT_EQ(d.controls[1].style, kChildVisible | WS_TABSTOP | 0x80);
    EXPECT_EQ(d.controls[1].exStyle, 0x200u);
    EXPECT_EQ(d.controls[2].style, kChildVisible | WS_GROUP | 0x100);
    EXPECT_EQ(d.controls[3].style, 0x40000000u | WS_TABSTOP);
    EXPECT_EQ(d.controls[4].style, kChildVisible | WS_TABSTOP | 0x08000000);
}

TEST_F(RcTest, DialogHeaderStyleCaptionAndFont) {
    rc::Script s = Compile(R"(
        #pragma code_page(65001)
        plain DIALOG 5, 6, 70, 80
        BEGIN
        END
        full DIALOG 181, 98, 110, 89
        STYLE DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_VISIBLE
        CAPTION "HI-SCORE!!"
        FONT 9, "ＭＳ Ｐゴシック"
        { }
    )");
    const auto& plain = Content<rc::DialogDef>(s, "PLAIN", rc::kTypeDialog);
    EXPECT_EQ(plain.style, 0x80000000u | WS_BORDER | 0x00080000);  // Windows' default
    EXPECT_FALSE(plain.hasFont);
    EXPECT_EQ(plain.x, 5);
    EXPECT_EQ(plain.cy, 80);
    const auto& full = Content<rc::DialogDef>(s, "FULL", rc::kTypeDialog);
    // CAPTION brings WS_CAPTION and FONT brings DS_SETFONT, as in Windows.
    EXPECT_EQ(full.style, 0x80 | 0x4 | 0x80000000u | 0x10000000 | 0x00C00000 | 0x40);
    EXPECT_EQ(full.caption, u"HI-SCORE!!");
    EXPECT_TRUE(full.hasFont);
    EXPECT_EQ(full.pointSize, 9);
    EXPECT_EQ(full.fontName, u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
    EXPECT_TRUE(full.controls.empty());
}

TEST_F(RcTest, DefinesComeFromTheIncludedHeader) {
    Write("ids.h", R"(/* ids */
        #ifndef IDS_H
        #define IDS_H
        #pragma once
        #define BASE 100   // first command
        #define CMD_GO (BASE + 1)
        #define IDC_NAME 0x2A
        #ifdef NOT_DEFINED
        #define CMD_GO 999
        #else
        #define WIDTH 64
        #endif
        int declarations_here_are_ignored(const char* s = "#define CMD_GO 5");
        #endif
    )");
    rc::Script s = Compile(R"(
        #include "ids.h"
        #include <windows.h>
        #ifndef IDS_H
        broken this is not parsed
        #endif
        m MENU { MENUITEM "go", CMD_GO }
        d DIALOG 0, 0, WIDTH, 10 { LTEXT "x", IDC_NAME, 0, 0, WIDTH - 4, 8 }
    )");
    EXPECT_EQ(Content<rc::MenuDef>(s, "M", rc::kTypeMenu).items.at(0).id, 101);
    const auto& d = Content<rc::DialogDef>(s, "D", rc::kTypeDialog);
    EXPECT_EQ(d.cx, 64);
    EXPECT_EQ(d.controls.at(0).id, 0x2A);
    EXPECT_EQ(d.controls.at(0).cx, 60);
    ASSERT_EQ(s.dependencies.size(), 1u);
    EXPECT_EQ(s.dependencies[0].filename(), "ids.h");
}

TEST_F(RcTest, BitmapIsStoredWithoutItsFileHeader) {
    std::string file = Bmp(5, 3);
    Write("pic.bmp", file);
    rc::Script s = Compile("dib_pic BITMAP \"pic.bmp\"\n");
    const auto& bytes = Content<rc::BytesDef>(s, "DIB_PIC", rc::kTypeBitmap).bytes;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), file.substr(14));
    EXPECT_EQ(bytes.size(), 40u + 1024 + 8 * 3);
    EXPECT_EQ(s.dependencies.at(0).filename(), "pic.bmp");
}

TEST_F(RcTest, BrokenBitmapIsRefused) {
    struct Case { const char* what; std::string file; const char* message; };
    std::string badMagic = Bmp(4, 4);
    badMagic[0] = 'X';
    const Case cases[] = {
        {"not a bitmap", badMagic, "not a BMP"},
        {"four bits", Bmp(4, 4, 4), "8-bit"},
        {"bits elsewhere", Bmp(4, 4, 8, 1100), "1078"},
        {"truncated", Bmp(8, 8).substr(0, 1078 + 40), "truncated"},
        {"header only", std::string("BM\x10\x00\x00\x00", 6), "not a BMP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write("bad.bmp", c.file);
        rc::CompileError e = ErrorOf("\n\nBAD BITMAP \"bad.bmp\"\n");
        EXPECT_EQ(e.line(), 3);
        EXPECT_EQ(e.file(), "t.rc");
        EXPECT_NE(e.message().find(c.message), std::string::npos) << e.message();
    }
}

TEST_F(RcTest, IconCursorAndCustomTypesKeepTheWholeFile) {
    Write("a.ico", IconFile(1));
    Write("a.cur", IconFile(2));
    Write("boom.wav", std::string("RIFF\0\0\0\0WAVE", 12));
    rc::Script s = Compile(R"(
        icon_a ICON "a.ico"
        cur_a CURSOR "a.cur"
        boom wav "boom.wav"
        boom2 WAV DISCARDABLE "boom.wav"
    )");
    auto text = [](const std::vector<unsigned char>& b) { return std::string(b.begin(), b.end()); };
    EXPECT_EQ(text(Content<rc::BytesDef>(s, "ICON_A", rc::kTypeIcon).bytes), IconFile(1));
    EXPECT_EQ(text(Content<rc::BytesDef>(s, "CUR_A", rc::kTypeCursor).bytes), IconFile(2));
    EXPECT_EQ(text(Content<rc::BytesDef>(s, "BOOM", 0, "WAV").bytes), std::string("RIFF\0\0\0\0WAVE", 12));
    EXPECT_NE(s.Find("BOOM2", 0, "WAV"), nullptr);
    EXPECT_EQ(s.Find("BOOM", 0, "WAVE"), nullptr);

    Write("b.ico", IconFile(2));
    EXPECT_NE(ErrorOf("x ICON \"b.ico\"").message().find("not an .ico"), std::string::npos);
    std::string truncated = IconFile(1);
    Write("c.cur", IconFile(2).substr(0, truncated.size() - 2));
    EXPECT_NE(ErrorOf("x CURSOR \"c.cur\"").message().find("truncated"), std::string::npos);
}

TEST_F(RcTest, Utf8TextBecomesUtf16WithEscapes) {
    rc::Script s = Compile(
        "#pragma code_page(65001)\n"
        "m MENU BEGIN MENUITEM \"記録(&H)...\", 1\n"
        "MENUITEM \"𠮷\", 2\n"
        "MENUITEM \"a\\tb\\nc\\\\d\\\"e\"\"f\", 3 END\n");
    const auto& items = Content<rc::MenuDef>(s, "M", rc::kTypeMenu).items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, u"\u8A18\u9332(&H)...");
    EXPECT_EQ(items[1].text, u"\xD842\xDFB7");  // outside the BMP: a surrogate pair
    EXPECT_EQ(items[2].text, u"a\tb\nc\\d\"e\"f");
}

TEST_F(RcTest, ErrorsNameTheLine) {
    struct Case { const char* script; int line; const char* message; };
    const Case cases[] = {
        {"m MENU\nBEGIN\n  MENUITEM \"a\", CMD_UNKNOWN\nEND\n", 3, "unknown name 'CMD_UNKNOWN'"},
        {"m MENU\nBEGIN\n  MENUITEM \"a\" 5\nEND\n", 3, "expected ','"},
        {"m MENU\nBEGIN\n  MENUITEM \"a\", 5\n", 4, "missing END of the block opened at line 2"},
        {"m MENU { MENUITEM \"a\", 1, BOLD }\n", 1, "expected GRAYED"},
        {"\nm MENU { MENUITEM \"abc, 1 }\n", 2, "unterminated string"},
        {"m MENU { MENUITEM \"a\\q\", 1 }\n", 1, "unknown escape"},
        {"\n\nm MENU { MENUITEM \"記録\", 1 }\n", 3, "code_page(65001)"},
        {"#pragma code_page(932)\n", 1, "65001"},
        {"#pragma code_page(65001)\nm MENU { MENUITEM \"\xE8\xA8\", 1 }\n", 2, "malformed UTF-8"},
        {"x RCDATA \"f\"\n", 1, "RCDATA resources are not supported"},
        {"a MENU {}\n\nA MENU {}\n", 3, "duplicate resource A"},
        {"\nb BITMAP \"missing.bmp\"\n", 2, "cannot open file 'missing.bmp'"},
        {"\n#include \"missing.h\"\n", 2, "cannot open include file"},
        // A folder (here the script's own) is no file to embed or include.
        {"\nw WAVE \"\"\n", 2, "cannot open file ''"},
        {"w WAVE \".\"\n", 1, "cannot open file '.'"},
        {"#include \"\"\n", 1, "cannot open include file"},
        {"#define F(x) x\n", 1, "parameters"},
        {"#if 1\n#endif\n", 1, "#if is not supported"},
        {"#ifdef A\n", 2, "missing #endif"},
        {"k ACCELERATORS { \"N\", 1, CONTROL }\n", 1, "need VIRTKEY"},
        {"k ACCELERATORS { \"NN\", 1 }\n", 1, "one ASCII character"},
        {"d DIALOG 0, 0, 10, 10 {\n PUSHBUTTON \"a\", 1, 0, 0, 1\n}\n", 3, "expected ','"},
        {"d DIALOG 0, 0, 10, 10 {\n LISTBOX 1, 0, 0, 1, 1\n}\n", 2, "expected a control"},
        {"d DIALOG 0, 0, 70000, 10 {}\n", 1, "out of range"},
        {"/* open\n\n", 1, "unterminated comment"},
        {"m MENU { MENUITEM \"a\", 1 } @\n", 1, "unexpected character '@'"},
        {"VERSION 2\n", 1, "not supported"},
        {"STRINGTABLE { 1, \"a\"\n 1, \"b\" }\n", 2, "duplicate string 1"},
        {"x WAV BEGIN 1 END\n", 1, "inline data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        rc::CompileError e = ErrorOf(c.script);
        EXPECT_EQ(e.line(), c.line);
        EXPECT_NE(e.message().find(c.message), std::string::npos) << e.message();
        EXPECT_EQ(std::string(e.what()), "t.rc:" + std::to_string(c.line) + ": " + e.message());
    }
}

TEST_F(RcTest, ErrorInAHeaderNamesTheHeader) {
    Write("bad.h", "#define A 1\n\n#define B 2 @\n");
    rc::CompileError e = ErrorOf("#include \"bad.h\"\n");
    EXPECT_EQ(fs::path(e.file()).filename(), "bad.h");
    EXPECT_EQ(e.line(), 3);
}

TEST_F(RcTest, EmitWritesAnAsciiTableWithEveryResource) {
    Write("boom.wav", "RIFF");
    rc::Script s = Compile(R"(
        #pragma code_page(65001)
        boom WAV "boom.wav"
        m MENU { POPUP "ゲーム" { MENUITEM SEPARATOR } }
        k ACCELERATORS { "N", 101, VIRTKEY, CONTROL }
        d DIALOG 0, 0, 10, 10 CAPTION "記録" { LTEXT "名前", -1, 0, 0, 1, 1 }
        "q\"\n" MENU {}
    )");
    std::string code = rc::Emit(s, "t.rc");
    for (unsigned char c : code) ASSERT_LT(c, 0x80);
    EXPECT_NE(code.find("#include \"resource_table.h\""), std::string::npos);
    EXPECT_NE(code.find("{\"BOOM\", 0, \"WAV\", rc::Kind::Bytes, kBytes0, 4, nullptr, 0x0000}"),
              std::string::npos);
    EXPECT_NE(code.find("{0x8a18, 0x9332, 0}"), std::string::npos);  // 記録
    EXPECT_NE(code.find("{\"Q\\042\\012\", 4, nullptr, rc::Kind::Menu"), std::string::npos);
    EXPECT_NE(code.find("const rc::Table kModuleResources = {kEntries, 5};"), std::string::npos);

    std::string dep = rc::Depfile("/out/x.cpp", s);
    EXPECT_EQ(dep.rfind("/out/x.cpp:", 0), 0u);
    EXPECT_NE(dep.find("boom.wav"), std::string::npos);
}

TEST_F(RcTest, LanguageStatementsSortResourcesAndStringsIntoTheirLanguage) {
    rc::Script s = Compile("#pragma code_page(65001)\n n MENU {}\n LANGUAGE LANG_JAPANESE, 1\n"
                           " m MENU {}\n STRINGTABLE { 1, \"一\" 17 \"十七\" }\n LANGUAGE 9, 1\n m MENU {}\n"
                           " STRINGTABLE { 1, \"one\" }\n STRINGTABLE BEGIN 2, \"two\" END\n");
    EXPECT_TRUE(s.Find("N", rc::kTypeMenu) && s.Find("M", rc::kTypeMenu, {}, 0x0411));
    EXPECT_EQ(s.Find("M", rc::kTypeMenu), nullptr);
    const auto* en = Content<rc::StringBlockDef>(s, "#1", rc::kTypeString, {}, 0x0409).texts;
    EXPECT_TRUE(en[0].empty() && en[1] == u"one" && en[2] == u"two");
    EXPECT_EQ(Content<rc::StringBlockDef>(s, "#2", rc::kTypeString, {}, 0x0411).texts[1], u"十七");
}

// The game's own script: the menu and the accelerators exactly as the game shows them.
TEST(RcScriptTest, GameScriptHasTheMenuAndAccelerators) {
    rc::Script s = rc::CompileFile(fs::path(ZUM32_SOURCE_DIR) / "resources" / "zum32.rc");

    const auto& menu = Content<rc::MenuDef>(s, "MENU_ZUM32", rc::kTypeMenu, {}, 0x0411);
    struct Item { std::u16string text; std::uint16_t id; };
    const Item game[] = {
        {u"スタート(&S)\tCtrl+N", 101}, {u"記録(&H)...", 102}, {u"", 0},
        {u"タイトルに戻る(&R)\tCtrl+T", 103}, {u"", 0},
        {u"プロパティ(&P)...\tCtrl+P", 104}, {u"", 0}, {u"終了(&E)", 105},
    };
    const Item help[] = {{u"目次(&I)\tCtrl+H", 106}, {u"", 0}, {u"バージョン情報(&A)...", 109}};
    ASSERT_EQ(menu.items.size(), 2u);
    auto check = [](const rc::MenuNode& popup, std::u16string text, const Item* items,
                    std::size_t count) {
        EXPECT_EQ(popup.text, text);
        EXPECT_EQ(popup.flags, 0x0010);
        ASSERT_EQ(popup.children.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            const rc::MenuNode& n = popup.children[i];
            bool separator = items[i].text.empty();
            EXPECT_EQ(n.separator, separator);
            EXPECT_EQ(n.flags, separator ? 0x0800 : 0);  // nothing greyed or checked
            EXPECT_EQ(n.text, items[i].text);
            EXPECT_EQ(n.id, items[i].id);
            EXPECT_TRUE(n.children.empty());
        }
    };
    check(menu.items[0], u"ゲーム(&G)", game, std::size(game));
    check(menu.items[1], u"ヘルプ(&H)", help, std::size(help));

    const auto& accel = Content<rc::AcceleratorsDef>(s, "ACCEL", rc::kTypeAccelerator);
    const std::pair<char, int> keys[] = {{'N', 101}, {'T', 103}, {'P', 104}, {'H', 106}};
    ASSERT_EQ(accel.entries.size(), std::size(keys));
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        EXPECT_EQ(accel.entries[i].flags, 0x01 | 0x08);  // FVIRTKEY | FCONTROL
        EXPECT_EQ(accel.entries[i].key, keys[i].first);
        EXPECT_EQ(accel.entries[i].command, keys[i].second);
    }
}

// The dialogs' frames and the ids of their controls in tab order, as the dialog procedures
// address them.
TEST(RcScriptTest, GameScriptHasTheFourDialogs) {
    rc::Script s = rc::CompileFile(fs::path(ZUM32_SOURCE_DIR) / "resources" / "zum32.rc");
    struct Frame { const char* name; int x, y, cx, cy; bool look3d; std::u16string caption;
                   std::vector<int> ids; };
    const Frame frames[] = {
        {"DLG_ENTRY", 181, 98, 110, 89, true, u"HI-SCORE!!", {163, 111, -1, 162, -1}},
        {"DLG_SCORE", 47, 38, 151, 128, false, u"記録 [99*99]サイズ",
         {122, -1, -1, -1, -1, -1, -1, -1, -1, 117, 118, 119, 120, 121, 112, 113, 114, 115, 116,
          -1, -1, -1, -1, -1, -1}},
        {"DLG_PROPATY", 67, 80, 241, 141, false, u"プロパティ",
         {131, 132, 145, 133, 134, 135, -1, -1, -1, 136, 137, 138, 139, 140, 141, 142, 143, 144}},
        {"DLG_ABOUT", 99, 111, 151, 72, true, u"バージョン情報", {151, -1, -1, -1, -1}},
    };
    for (const Frame& f : frames) {
        SCOPED_TRACE(f.name);
        const auto& d = Content<rc::DialogDef>(s, f.name, rc::kTypeDialog, {}, 0x0411);
        EXPECT_EQ(d.x, f.x);
        EXPECT_EQ(d.y, f.y);
        EXPECT_EQ(d.cx, f.cx);
        EXPECT_EQ(d.cy, f.cy);
        // Pop-up, visible, caption, modal frame, font; never a system menu.
        std::uint32_t style = 0x80000000u | 0x10000000 | 0x00C00000 | 0x80 | 0x40;
        EXPECT_EQ(d.style, style | (f.look3d ? 0x4 : 0));
        EXPECT_EQ(d.caption, f.caption);
        EXPECT_EQ(d.fontName, u"ＭＳ Ｐゴシック");
        EXPECT_EQ(d.pointSize, 9);
        std::vector<int> ids;
        for (const rc::ControlDef& c : d.controls) ids.push_back(c.id);
        EXPECT_EQ(ids, f.ids);
    }
    const auto& entry = Content<rc::DialogDef>(s, "DLG_ENTRY", rc::kTypeDialog, {}, 0x0411);
    const rc::ControlDef& edit = entry.controls.at(3);
    EXPECT_EQ(edit.className, u"EDIT");
    EXPECT_EQ(edit.text, u"1234567890123456");
    EXPECT_EQ(edit.style, kChildVisible | WS_BORDER | WS_TABSTOP | WS_GROUP);  // no ES_AUTOHSCROLL
    const rc::ControlDef& icon =
        Content<rc::DialogDef>(s, "DLG_ABOUT", rc::kTypeDialog, {}, 0x0411).controls.at(4);
    EXPECT_EQ(icon.className, u"STATIC");
    EXPECT_EQ(icon.text, u"ICON_ZUM32");
    EXPECT_EQ(icon.style, kChildVisible | 0x3);
}

}  // namespace
