// Private profile files: read rules and exact write bytes over in-memory text, then files on disk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/core/profile_text.h"
#ifndef __EMSCRIPTEN__
#include "support/private_mounts.h"
#endif
#include "support/utf16.h"
#include "winbase.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using platform::profile::ReadInteger;
using platform::profile::ReadString;
using platform::profile::WriteString;

// The game's section name in CP932, and one that differs from it only in the trail byte of its
// fourth character (0x63 against 0x43, "c" against "C" when read as ASCII).
const std::string kZumuTai = "\x82\xb8\x82\xde\x83\x5e\x83\x43" "32";
const std::string kZumuTatsu = "\x82\xb8\x82\xde\x83\x5e\x83\x63" "32";
const std::string kZu = "\x82\xb8";  // one double-byte character

struct Read {
    std::string text;
    std::uint32_t count;
};

Read ReadFrom(const std::string& file, const char* section, const char* key,
              const char* defaultValue = "DEFAULT", std::uint32_t size = 64) {
    std::vector<char> buffer(size, '\x7f');
    std::uint32_t count = ReadString(file, section, key, defaultValue, buffer.data(), size);
    return {std::string(buffer.data(), std::min<std::size_t>(count + 2, size)), count};
}

// ---- Reading text values ----------------------------------------------------------------------

struct StringCase {
    const char* what;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
};

TEST(ProfileRead, StringRules) {
    const StringCase cases[] = {
        {"plain value", "[S]\r\nK=v\r\n", "S", "K", "v"},
        {"missing key gives the default", "[S]\r\nK=v\r\n", "S", "X", "DEFAULT"},
        {"missing section gives the default", "[S]\r\nK=v\r\n", "T", "K", "DEFAULT"},
        {"empty file gives the default", "", "S", "K", "DEFAULT"},
        {"empty value is read, not the default", "[S]\r\nK=\r\n", "S", "K", ""},
        {"blank value is empty", "[S]\r\nK= \t \r\n", "S", "K", ""},
        {"blanks trimmed around key and value", "[S]\r\n \tK \t=  v w \t\r\n", "S", "K", "v w"},
        {"blanks around the header", "  [ \tS  ]  \r\nK=1\r\n", "S", "K", "1"},
        {"caller's names trimmed", "[S]\r\nK=1\r\n", " \tS ", "K\t ", "1"},
        {"names ignore ASCII case", "[sEcT]\r\nkEy=1\r\n", "SECT", "KEY", "1"},
        {"first of duplicate sections", "[S]\r\nK=1\r\n[s]\r\nK=2\r\n", "S", "K", "1"},
        {"second duplicate section unseen", "[S]\r\nK=1\r\n[S]\r\nL=2\r\n", "S", "L", "DEFAULT"},
        {"first of duplicate keys", "[S]\r\nK=1\r\nk=2\r\n", "S", "K", "1"},
        {"key before the first header unseen", "K=0\r\n[S]\r\nL=1\r\n", "S", "K", "DEFAULT"},
        {"key of another section unseen", "[A]\r\nK=1\r\n[S]\r\n", "S", "K", "DEFAULT"},
        {"line without = is no key", "[S]\r\nK\r\n", "S", "K", "DEFAULT"},
        {"split at the first =", "[S]\r\nK=a=b\r\n", "S", "K", "a=b"},
        {"double quotes dropped", "[S]\r\nK= \"a b \" \r\n", "S", "K", "a b "},
        {"single quotes dropped", "[S]\r\nK='x'\r\n", "S", "K", "x"},
        {"only one pair of quotes", "[S]\r\nK=\"\"a\"\"\r\n", "S", "K", "\"a\""},
        {"quotes around nothing", "[S]\r\nK=\"\"\r\n", "S", "K", ""},
        {"mismatched quotes kept", "[S]\r\nK=\"a'\r\n", "S", "K", "\"a'"},
        {"lone quote kept", "[S]\r\nK=\"\r\n", "S", "K", "\""},
        {"inner quote kept", "[S]\r\nK=a\"b\"\r\n", "S", "K", "a\"b\""},
        {"text after the header ignored", "[S] ; note\r\nK=1\r\n", "S", "K", "1"},
        {"name runs to the last ]", "[a]b]\r\nK=1\r\n", "a]b", "K", "1"},
        {"without ] no header", "[S]\r\n[T\r\nK=1\r\n", "S", "K", "1"},
        {"] as a trail byte closes nothing", "[S]\r\n[a\x81\x5d\r\nK=1\r\n", "S", "K", "1"},
        {"] after a double-byte character", "[a\x81\x5d]\r\nK=1\r\n", "a\x81\x5d", "K", "1"},
        {"double-byte name matches itself", "[" + kZumuTai + "]\r\nK=1\r\n", kZumuTai, "K", "1"},
        {"trail byte never folded", "[" + kZumuTatsu + "]\r\nK=1\r\n", kZumuTai, "K", "DEFAULT"},
        {"trail byte never folded, key", "[S]\r\n" + kZumuTatsu + "=1\r\n", "S", kZumuTai,
         "DEFAULT"},
        {"letters after a double-byte character fold", "[" + kZu + "abc]\r\nK=1\r\n",
         kZu + "ABC", "K", "1"},
        {"LF endings", "[S]\nA=1\nK=2\n", "S", "K", "2"},
        {"CR endings", "[S]\rA=1\rK=2\r", "S", "K", "2"},
        {"mixed endings", "[S]\r\nA=1\nB=2\rK=3", "S", "K", "3"},
        {"CR CR LF is two endings", "[S]\r\r\nK=4\r\n", "S", "K", "4"},
        {"NUL is an ordinary byte", "[S]\r\nK=a\0b\r\n"s, "S", "K", "a\0b"s},
        {"NUL does not end the header's name", "[S\0T]\r\nK=1\r\n"s, "S", "K", "DEFAULT"},
        {"value of the last line without ending", "[S]\r\nK=end", "S", "K", "end"},
        {"UTF-16 is bytes to the text rules; files convert first", "\xff\xfe[\0S\0]\0\r\0\n\0"s, "S", "K", "DEFAULT"},
    };
    for (const StringCase& c : cases) {
        SCOPED_TRACE(c.what);
        Read got = ReadFrom(c.file, c.section.c_str(), c.key.c_str());
        EXPECT_EQ(got.count, c.expected.size());
        EXPECT_EQ(got.text.substr(0, got.count + 1), c.expected + '\0');
    }
}

struct BufferCase {
    const char* what;
    std::string value;  // null for the default
    const char* defaultValue;
    std::uint32_t size;
    std::string expected;
};

TEST(ProfileRead, BufferAndDefault) {
    const BufferCase cases[] = {
        {"fits with its NUL", "abcdef", nullptr, 7, "abcdef"},
        {"cut to size - 1", "abcdef", nullptr, 4, "abc"},
        {"room for the NUL only", "abcdef", nullptr, 1, ""},
        {"double-byte character fits", "a" + kZu, nullptr, 4, "a" + kZu},
        {"double-byte character left out whole", "a" + kZu, nullptr, 3, "a"},
        {"lead byte at the end read alone", "ab\x82", nullptr, 3, "ab"},
        {"single-byte katakana is one byte", "\xb1\xb2\xb3", nullptr, 3, "\xb1\xb2"},
        {"default loses trailing blanks", "", "ab \t ", 64, "ab"},
        {"default keeps leading blanks", "", " ab", 64, " ab"},
        {"default is not unquoted", "", "\"q\"", 64, "\"q\""},
        {"default cut like a value", "", "a\x82\xb8", 3, "a"},
        {"null default is empty", "", nullptr, 64, ""},
    };
    for (const BufferCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = c.defaultValue ? "[S]\r\n" : "[S]\r\nK=" + c.value + "\r\n";
        Read got = ReadFrom(file, "S", "K", c.defaultValue, c.size);
        EXPECT_EQ(got.count, c.expected.size());
        EXPECT_EQ(got.text.substr(0, got.count + 1), c.expected + '\0');
    }
}

TEST(ProfileRead, NullBufferOrSizeReadsNothing) {
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "default", nullptr, 10, "none.ini"), 0u);
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "default", buffer, 0, "none.ini"), 0u);
    EXPECT_EQ(buffer[0], 'x');
}

TEST(ProfileRead, NameLists) {
    const std::string file = "x=0\r\n[A]\r\nk1=1\r\n\r\nk2=2\r\nnokey\r\n[B]\r\nk3=3\r\n";
    Read keys = ReadFrom(file, "a", nullptr);
    EXPECT_EQ(keys.count, 6u);
    EXPECT_EQ(keys.text.substr(0, 7), "k1\0k2\0\0"s);
    Read sections = ReadFrom(file, nullptr, nullptr);
    EXPECT_EQ(sections.count, 4u);
    EXPECT_EQ(sections.text.substr(0, 5), "A\0B\0\0"s);
    // A list that does not fit ends in two NULs and counts size - 2.
    Read cut = ReadFrom(file, "A", nullptr, "", 5);
    EXPECT_EQ(cut.count, 3u);
    EXPECT_EQ(cut.text, "k1\0\0\0"s);
    Read oneShort = ReadFrom(file, "A", nullptr, "", 6);
    EXPECT_EQ(oneShort.count, 4u);
    EXPECT_EQ(oneShort.text, "k1\0k\0\0"s);
    // The first name ends one byte before the end: nothing of the second fits.
    Read noRoom = ReadFrom(file, "A", nullptr, "", 4);
    EXPECT_EQ(noRoom.count, 2u);
    EXPECT_EQ(noRoom.text, "k1\0\0"s);
    EXPECT_EQ(ReadFrom(file, "none", nullptr).text.substr(0, 1), "\0"s);
}

// ---- Reading integers -------------------------------------------------------------------------

struct IntegerCase {
    std::string value;
    int expected;
};

TEST(ProfileRead, IntegersParseAsWindowsDoes) {
    const IntegerCase cases[] = {
        {"12abc", 12},       {" 7", 7},          {"+5", 5},
        {"0x10", 16},        {"0X1f", 0},        {"010", 10},
        {"abc", 0},          {"1.9", 1},         {"- 4", 0},
        {"-5", -5},          {"-0", 0},          {"--5", 0},
        {"0xff", 255},       {"0xFfG", 255},     {"-0x10", -16},
        {"0x", 0},           {"0xg", 0},         {"9999", 9999},
        {"4294967295", -1},  {"4294967296", 0},  {"99999999999", 1215752191},
        {"2147483648", INT_MIN}, {"-2147483649", INT_MAX}, {"0xFFFFFFFF", -1},
        {"\"42\"", 42},      {"' 8 '", 8},       {"\"\"", 1000},
        {"\t", 1000},        {"", 1000},         {"\x82\x4f", 0},
        {"0o17", 15},        {"0o18", 1},        {"-0o10", -8},
        {"0b101", 5},        {"0b2", 0},         {"0B1", 0},
        {"0xz", 0},          {"0o", 0},          {"0b", 0},
        // Only the first 29 characters count.
        {std::string(31, '0') + "42", 0},
        {"123456789012345678901234567890", 1849262357},
        {std::string(27, '0') + "42", 42},  {std::string(28, '0') + "42", 4},
    };
    for (const IntegerCase& c : cases) {
        SCOPED_TRACE("value \"" + c.value + "\"");
        std::string file = "[S]\r\nK=" + c.value + "\r\n";
        EXPECT_EQ(static_cast<int>(ReadInteger(file, "S", "K", 1000)), c.expected);
    }
}

TEST(ProfileRead, IntegerDefaults) {
    EXPECT_EQ(static_cast<int>(ReadInteger("[S]\r\nK\r\n", "S", "K", -7)), -7);
    EXPECT_EQ(static_cast<int>(ReadInteger("[S]\r\nL=1\r\n", "S", "K", 1000)), 1000);
    EXPECT_EQ(static_cast<int>(ReadInteger("K=3\r\n[S]\r\n", "S", "K", 1000)), 1000);
    EXPECT_EQ(static_cast<int>(ReadInteger("[s]\r\nk=3\r\n", "S", "K", 1000)), 3);
    EXPECT_EQ(static_cast<int>(ReadInteger("[S]\r\nK=3\r\n", "S", nullptr, 1000)), 1000);
}

TEST(ProfileRead, EveryPrintedIntegerReadsBack) {
    const int values[] = {0, 1, -1, 9999, 10, -10, 123456789, INT_MAX, INT_MIN, INT_MIN + 1};
    for (int v : values) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", v);
        std::string file = WriteString("", "S", "TIME1(2)", text);
        EXPECT_EQ(static_cast<int>(ReadInteger(file, "S", "time1(2)", 1000)), v) << text;
    }
}

// ---- Writing ----------------------------------------------------------------------------------

struct WriteCase {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

TEST(ProfileWrite, ExactBytes) {
    const WriteCase cases[] = {
        {"new file", "", "S", "K", "v", "[S]\r\nK=v\r\n"},
        {"caller's names trimmed", "", " S\t", "\tK ", "v", "[S]\r\nK=v\r\n"},
        {"empty value", "", "S", "K", "", "[S]\r\nK=\r\n"},
        {"second key after the first", "[S]\r\nA=1\r\n", "S", "B", "2",
         "[S]\r\nA=1\r\nB=2\r\n"},
        {"rewrite in place, other lines untouched",
         "; top\n[S]\r\nA = 1 \nK=old\r\nB=2\r\n", "S", "K", "new",
         "; top\n[S]\r\nA = 1 \nK=new\r\nB=2\r\n"},
        {"rewrite keeps the line's own ending", "[S]\nK=1\nL=2\n", "S", "K", "10",
         "[S]\nK=10\nL=2\n"},
        {"rewrite of the last line without ending", "[S]\r\nK=1", "S", "K", "2", "[S]\r\nK=2"},
        {"rewrite keeps the file's spelling", "[Sect]\r\nKey=1\r\n", "SECT", "KEY", "2",
         "[Sect]\r\nKey=2\r\n"},
        {"rewrite tidies the key's own line", "[S]\r\n  K \t= 1  \r\n", "S", "K", "2",
         "[S]\r\nK=2\r\n"},
        {"same value leaves the line untidied", "[S]\r\n  k \t= 1  \r\n", "S", "K", "1",
         "[S]\r\n  k \t= 1  \r\n"},
        {"same value in quotes", "[S]\r\nK=\"1\"\r\n", "S", "K", "\"1\"", "[S]\r\nK=\"1\"\r\n"},
        {"quoted value is not the bare one", "[S]\r\nK=\"1\"\r\n", "S", "K", "1", "[S]\r\nK=1\r\n"},
        {"first of duplicate keys rewritten", "[S]\r\nK=1\r\nK=2\r\n", "S", "K", "3",
         "[S]\r\nK=3\r\nK=2\r\n"},
        {"new key goes to the first duplicate section", "[S]\r\nK=1\r\n[S]\r\nL=2\r\n", "S",
         "L", "3", "[S]\r\nK=1\r\nL=3\r\n[S]\r\nL=2\r\n"},
        {"new key ends its section in the middle of the file",
         "[A]\r\nx=1\r\n; note\r\n\r\n \t\r\n[B]\r\ny=2\r\n", "A", "z", "3",
         "[A]\r\nx=1\r\n; note\r\nz=3\r\n\r\n \t\r\n[B]\r\ny=2\r\n"},
        {"new key in an empty section", "[A]\r\n[B]\r\n", "A", "k", "v",
         "[A]\r\nk=v\r\n[B]\r\n"},
        {"new key after a last line without ending", "[A]\r\nx=1", "A", "y", "2",
         "[A]\r\nx=1\r\ny=2\r\n"},
        {"new key in a CR file", "[S]\rA=1\r", "S", "B", "2", "[S]\rA=1\rB=2\r\n"},
        {"key before the first header left alone", "K=0\r\n[S]\r\n", "S", "K", "1",
         "K=0\r\n[S]\r\nK=1\r\n"},
        {"new section at the end", "[A]\r\nx=1\r\n\r\n", "B", "k", "v",
         "[A]\r\nx=1\r\n\r\n[B]\r\nk=v\r\n"},
        {"new section after a last line without ending", "[A]\r\nx=1", "B", "k", "v",
         "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {"new section after LF lines", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\r\nk=v\r\n"},
        {"trail byte differs: new section", "[" + kZumuTatsu + "]\r\nK=1\r\n", kZumuTai.c_str(),
         "K", "2", "[" + kZumuTatsu + "]\r\nK=1\r\n[" + kZumuTai + "]\r\nK=2\r\n"},
        {"NUL bytes kept", "[S]\r\nA=\0\r\nK=1\r\n"s, "S", "K", "2", "[S]\r\nA=\0\r\nK=2\r\n"s},
        {"delete a key", "[S]\r\nA=1\r\nK=2\nB=3\r\n", "S", "K", nullptr, "[S]\r\nA=1\r\nB=3\r\n"},
        {"delete a missing key", "[S]\r\nA=1\r\n", "S", "K", nullptr, "[S]\r\nA=1\r\n"},
        {"delete a section and its duplicates",
         "[A]\r\nx=1\r\n[S]\r\nK=1\r\n\r\n[B]\r\ny=2\r\n[s]\r\nz=1", "S", nullptr, "ignored",
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WriteString(c.before, c.section, c.key, c.value), c.after);
    }
}

// The file that a first start of the game leaves: "LEVEL", then each level's ten records.
std::string FirstStartFile() {
    std::string file = "[" + kZumuTai + "]\r\nLEVEL=2\r\n";
    for (int level = 1; level <= 3; ++level) {
        for (int rank = 1; rank <= 5; ++rank) {
            file += "NAME" + std::to_string(rank) + "(" + std::to_string(level) + ")=NO DATA\r\n";
            file += "TIME" + std::to_string(rank) + "(" + std::to_string(level) + ")=9999\r\n";
        }
    }
    return file;
}

void WriteFirstStart(const std::function<void(const char*, const char*)>& write) {
    write("LEVEL", "2");
    char key[32];  // room for any two numbers
    for (int level = 1; level <= 3; ++level) {
        for (int rank = 1; rank <= 5; ++rank) {
            std::snprintf(key, sizeof key, "NAME%d(%d)", rank, level);
            write(key, "NO DATA");
            std::snprintf(key, sizeof key, "TIME%d(%d)", rank, level);
            write(key, "9999");
        }
    }
}

TEST(ProfileWrite, FirstStartGivesThirtyTwoLines) {
    std::string file;
    WriteFirstStart([&](const char* key, const char* value) {
        file = WriteString(file, kZumuTai.c_str(), key, value);
    });
    EXPECT_EQ(file, FirstStartFile());
    // Clearing level 2 again rewrites its keys in place and changes nothing else.
    std::string again = file;
    for (int rank = 1; rank <= 5; ++rank) {
        std::string n = "name" + std::to_string(rank) + "(2)";
        again = WriteString(again, kZumuTai.c_str(), n.c_str(), "NO DATA");
    }
    EXPECT_EQ(again, file);
}

// Random bytes around a key must never keep the key from reading back what was written.
TEST(ProfileWrite, RandomBytesStillReadBack) {
    std::mt19937 random(12345);
    const char alphabet[] = "[]=\r\n \t\"'SKsk;\x81\x5d\x83\x43\x00";
    for (int round = 0; round < 2000; ++round) {
        std::string file;
        std::size_t length = random() % 80;
        for (std::size_t i = 0; i < length; ++i) {
            file += round % 2 ? static_cast<char>(random())
                              : alphabet[random() % (sizeof alphabet - 1)];
        }
        std::string written = WriteString(file, "S", "K", "value");
        Read got = ReadFrom(written, "S", "K");
        ASSERT_EQ(got.text.substr(0, 6), "value\0"s) << testing::PrintToString(file);
        // A rewrite replaces the value in place: the bytes after it stay.
        std::string again = WriteString(written, "S", "K", "other");
        EXPECT_EQ(again.size(), written.size());
        EXPECT_EQ(ReadFrom(again, "S", "K").text.substr(0, 6), "other\0"s);
    }
}

// ---- Files on disk ----------------------------------------------------------------------------

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spill(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Each test gets its own configuration folder below the one the test main made.
class ProfileFile : public testing::Test {
protected:
    void SetUp() override {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        savedXdg_ = xdg ? xdg : "";
        if (const char* home = std::getenv("HOME")) savedHome_ = home;
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::path(savedXdg_.empty() ? fs::temp_directory_path().string() : savedXdg_) /
                ("profile-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        setenv("XDG_CONFIG_HOME", savedXdg_.c_str(), 1);
        if (savedHome_) {
            setenv("HOME", savedHome_->c_str(), 1);
        } else {
            unsetenv("HOME");
        }
        std::error_code ec;
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
    }
    fs::path Folder() const { return root_ / "zum32"; }

    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Folder())) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root_;
    std::string savedXdg_;
    std::optional<std::string> savedHome_;
};

TEST_F(ProfileFile, BareNameLivesInTheConfigFolder) {
    ASSERT_FALSE(fs::exists(Folder()));
    WriteFirstStart([&](const char* key, const char* value) {
        ASSERT_TRUE(WritePrivateProfileStringA(kZumuTai.c_str(), key, value, "ZUM32.INI"));
    });
    EXPECT_EQ(Slurp(Folder() / "ZUM32.INI"), FirstStartFile());
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"ZUM32.INI"});  // no temporary left
    EXPECT_EQ(fs::status(Folder()).permissions() & fs::perms::all, fs::perms::owner_all);

    char name[17];
    EXPECT_EQ(GetPrivateProfileStringA(kZumuTai.c_str(), "NAME3(1)", "NOTHING", name, sizeof name,
                                       "ZUM32.INI"),
              7u);
    EXPECT_STREQ(name, "NO DATA");
    EXPECT_EQ(GetPrivateProfileIntA(kZumuTai.c_str(), "TIME5(3)", 0, "ZUM32.INI"), 9999u);
    EXPECT_EQ(GetPrivateProfileIntA(kZumuTai.c_str(), "LEVEL", 1000, "ZUM32.INI"), 2u);
    EXPECT_EQ(GetPrivateProfileIntA(kZumuTatsu.c_str(), "LEVEL", 1000, "ZUM32.INI"), 1000u);
}

TEST_F(ProfileFile, EmptyXdgFallsBackToHome) {
    setenv("XDG_CONFIG_HOME", "", 1);
    setenv("HOME", (root_ / "home").c_str(), 1);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "1", "zum32.ini"));
    EXPECT_EQ(Slurp(root_ / "home" / ".config" / "zum32" / "zum32.ini"), "[S]\r\nK=1\r\n");
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 0, "zum32.ini"), 1u);
}

TEST_F(ProfileFile, NameInAnotherCaseFindsTheCopiedFile) {
    fs::create_directories(Folder());
    Spill(Folder() / "zum32.ini", "[S]\nK=5\n");
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 0, "ZUM32.INI"), 5u);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "6", "ZUM32.INI"));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"zum32.ini"});
    EXPECT_EQ(Slurp(Folder() / "zum32.ini"), "[S]\nK=6\n");
}

TEST_F(ProfileFile, NameWithSlashIsUsedAsItIs) {
    fs::path path = root_ / "elsewhere.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "v", path.c_str()));
    EXPECT_EQ(Slurp(path), "[S]\r\nK=v\r\n");
    EXPECT_FALSE(fs::exists(Folder()));
}

TEST_F(ProfileFile, ReplaceKeepsTheFileMode) {
    fs::create_directories(Folder());
    Spill(Folder() / "a.ini", "[S]\r\nK=1\r\n");
    fs::permissions(Folder() / "a.ini", fs::perms::owner_read | fs::perms::owner_write |
                                            fs::perms::group_read);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "2", "a.ini"));
    EXPECT_EQ(Slurp(Folder() / "a.ini"), "[S]\r\nK=2\r\n");
    EXPECT_EQ(fs::status(Folder() / "a.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProfileFile, WritingTheSameValueLeavesTheFileAlone) {
    fs::create_directories(Folder());
    const std::string old = "[S]\r\nK = 7 \r\n";
    Spill(Folder() / "a.ini", old);
    struct stat before {};
    ASSERT_EQ(stat((Folder() / "a.ini").c_str(), &before), 0);
    // A changed modification time needs a clock that moved on.
    timespec oldTimes[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (Folder() / "a.ini").c_str(), oldTimes, 0), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "7", "a.ini"));
    struct stat after {};
    ASSERT_EQ(stat((Folder() / "a.ini").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(Slurp(Folder() / "a.ini"), old);
    EXPECT_TRUE(WritePrivateProfileStringA("S", "K", "8", "a.ini"));
    EXPECT_EQ(Slurp(Folder() / "a.ini"), "[S]\r\nK=8\r\n");
}

using testing_support::Utf16Le;

// A file saved as "Unicode" is UTF-16LE behind the mark FF FE: the game reads and writes code
// page 932 through it, and the file stays UTF-16LE with CR LF, every other line kept as it was.
struct Utf16Case {
    const char* what;
    std::u16string before;  // after the mark; nullopt-like empty with noMark for a plain file
    const char* key;
    const char* value;  // code page 932
    std::u16string after;
};

TEST_F(ProfileFile, Utf16FilesStayUtf16) {
    const std::string zu = "\x82\xb8\x82\xde";  // "ずむ"
    const Utf16Case cases[] = {
        {"only the mark: the first write makes a UTF-16 file", u"", "K", "v",
         u"[ずむタイ32]\r\nK=v\r\n"},
        {"a name in code page 932 is written as UTF-16",
         u"[ずむタイ32]\r\nK=old\r\nL=1\r\n", "K", "\x82\xb8\x82\xde",
         u"[ずむタイ32]\r\nK=ずむ\r\nL=1\r\n"},
        {"lines outside code page 932 keep their characters", u"; 😀 ♯\r\n[ずむタイ32]\nK=1\n",
         "L", "2", u"; 😀 ♯\r\n[ずむタイ32]\nK=1\nL=2\r\n"},
        {"the same value leaves the file alone", u"[ずむタイ32]\r\n K = 7 \r\n", "K", "7",
         u"[ずむタイ32]\r\n K = 7 \r\n"},
    };
    fs::create_directories(Folder());
    for (const Utf16Case& c : cases) {
        SCOPED_TRACE(c.what);
        Spill(Folder() / "u.ini", "\xFF\xFE" + Utf16Le(c.before));
        ASSERT_TRUE(WritePrivateProfileStringA(kZumuTai.c_str(), c.key, c.value, "u.ini"));
        EXPECT_EQ(Slurp(Folder() / "u.ini"), "\xFF\xFE" + Utf16Le(c.after));
        char read[32];
        GetPrivateProfileStringA(kZumuTai.c_str(), c.key, "", read, sizeof read, "u.ini");
        EXPECT_EQ(std::string(read), c.value);
    }
    // Names and values read as code page 932; a character it lacks reads as "?".
    Spill(Folder() / "u.ini", "\xFF\xFE" + Utf16Le(u"[ずむ]\r\nずむ=ずむ😀\r\nT=0b11\r\n"));
    char read[32];
    GetPrivateProfileStringA(zu.c_str(), zu.c_str(), "", read, sizeof read, "u.ini");
    EXPECT_EQ(std::string(read).substr(0, 5), zu + "?");
    EXPECT_EQ(GetPrivateProfileIntA(zu.c_str(), "T", 0, "u.ini"), 3u);
}

TEST_F(ProfileFile, DeletingNothingCreatesNoFile) {
    EXPECT_TRUE(WritePrivateProfileStringA("S", "K", nullptr, "a.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, "a.ini"));
    EXPECT_FALSE(fs::exists(Folder() / "a.ini"));
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "1", "a.ini"));
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", nullptr, "a.ini"));
    EXPECT_EQ(Slurp(Folder() / "a.ini"), "[S]\r\n");
}

TEST_F(ProfileFile, FailedWritesLeaveTheOldFile) {
    const std::string old = "[S]\r\nK=old\r\n";
    fs::create_directories(Folder());
    Spill(Folder() / "a.ini", old);

    // The file is read-only.
    fs::permissions(Folder() / "a.ini", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", "a.ini"));
    EXPECT_EQ(Slurp(Folder() / "a.ini"), old);
    fs::permissions(Folder() / "a.ini", fs::perms::owner_write, fs::perm_options::add);

    // The name is a folder.
    fs::create_directories(Folder() / "dir.ini" / "inside");
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", "dir.ini"));
    EXPECT_TRUE(fs::exists(Folder() / "dir.ini" / "inside"));

    // The folder of the path is a regular file.
    fs::path underFile = Folder() / "a.ini" / "b.ini";
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", underFile.c_str()));
    // The configuration folder cannot be made.
    Spill(root_ / "plain", "x");
    setenv("XDG_CONFIG_HOME", (root_ / "plain").c_str(), 1);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", "a.ini"));
    setenv("XDG_CONFIG_HOME", root_.c_str(), 1);

    EXPECT_EQ(Slurp(Folder() / "a.ini"), old);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"a.ini", "dir.ini"}));
}

// Writes made under the records lock reach the file together when it is let go, or not at all.
TEST_F(ProfileFile, WritesUnderTheLockReplaceTheFileOnce) {
    const std::string old = "[S]\r\nA=1\r\nB=1\r\n";
    fs::create_directories(Folder());
    for (bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only file" : "writable file");
        Spill(Folder() / "a.ini", old);
        HANDLE lock = CreateMutexA(nullptr, FALSE, "MUTEX_ZUM32");
        ASSERT_EQ(WaitForSingleObject(lock, 1000), WAIT_OBJECT_0);
        EXPECT_TRUE(WritePrivateProfileStringA("S", "A", "2", "a.ini"));
        EXPECT_TRUE(WritePrivateProfileStringA("S", "B", "2", "a.ini"));
        // The game's own reads see them at once; the file does not yet.
        EXPECT_EQ(GetPrivateProfileIntA("S", "B", 0, "a.ini"), 2u);
        EXPECT_EQ(Slurp(Folder() / "a.ini"), old);
        if (readOnly) fs::permissions(Folder() / "a.ini", fs::perms::owner_read);
        EXPECT_EQ(ReleaseMutex(lock), readOnly ? FALSE : TRUE);
        EXPECT_TRUE(CloseHandle(lock));
        EXPECT_EQ(Slurp(Folder() / "a.ini"), readOnly ? old : "[S]\r\nA=2\r\nB=2\r\n");
        fs::permissions(Folder() / "a.ini", fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST_F(ProfileFile, FullDiskLeavesTheOldFile) {
    const std::string old = "[S]\r\nK=old\r\n";
    fs::create_directories(Folder());
    Spill(Folder() / "a.ini", old);
    // A file size limit fails the write as a full disk would, even for root.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    BOOL ok = WritePrivateProfileStringA("S", "K", std::string(10000, 'x').c_str(), "a.ini");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Slurp(Folder() / "a.ini"), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"a.ini"});
}

// A full disk and a read-only folder refuse the write, say so, and keep the old file. Root
// writes into any folder, so for root the folder sits on a read-only disk of its own. Node has
// neither child processes nor mounts, so the browser build's suite goes without it.
#ifndef __EMSCRIPTEN__
TEST_F(ProfileFile, FullDiskAndReadOnlyFolderRefuseTheWrite) {
    const std::string old = "[S]\r\nK=old\r\n";
    fs::create_directories(Folder());
    const std::string folder = Folder().string();
    const bool root = geteuid() == 0;
    bool noMounts = false;
    enum Way { FullDisk, ReadOnlyFolder };
    for (Way way : {FullDisk, ReadOnlyFolder}) {
        SCOPED_TRACE(way == FullDisk ? "full disk" : "read-only folder");
        const bool mounts = way == FullDisk || root;
        testing_support::ChildRun run = testing_support::RunInChild(mounts, [&] {
            if (mounts) {
                ASSERT_TRUE(testing_support::MountSmallDisk(folder));
            }
            Spill(Folder() / "a.ini", old);
            if (way == FullDisk) {
                ASSERT_TRUE(testing_support::FillDisk(folder));
            } else if (root) {
                ASSERT_TRUE(testing_support::MakeDiskReadOnly(folder));
            } else {
                fs::permissions(Folder(), fs::perms::owner_read | fs::perms::owner_exec);
            }
            EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", "a.ini"));
            EXPECT_FALSE(WritePrivateProfileStringA("S", "L", "added", "a.ini"));
            EXPECT_EQ(Slurp(Folder() / "a.ini"), old);
            std::vector<std::string> left = FolderEntries();
            left.erase(std::remove(left.begin(), left.end(), "filler"), left.end());
            EXPECT_EQ(left, std::vector<std::string>{"a.ini"});  // no temporary left behind
        });
        fs::permissions(Folder(), fs::perms::owner_all);
        if (run == testing_support::ChildRun::NoMounts) {
            noMounts = true;
            continue;
        }
        EXPECT_EQ(run, testing_support::ChildRun::Passed);
    }
    if (noMounts) GTEST_SKIP() << "no mount namespace here: no full or read-only disk tried";
}
#endif

TEST_F(ProfileFile, UnreadableFilesGiveDefaults) {
    char buffer[8];
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 42, "missing.ini"), 42u);
    fs::create_directories(Folder() / "dir.ini");
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 42, "dir.ini"), 42u);
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "d", buffer, sizeof buffer, "dir.ini"), 1u);
    EXPECT_STREQ(buffer, "d");
    ASSERT_EQ(mkfifo((Folder() / "fifo.ini").c_str(), 0600), 0);
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 42, "fifo.ini"), 42u);
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 42, nullptr), 42u);
}

TEST_F(ProfileFile, LargeRandomFileKeepsItsBytes) {
    std::mt19937 random(7);
    std::string junk(4 << 20, '\0');
    for (char& c : junk) c = static_cast<char>(random());
    fs::create_directories(Folder());
    Spill(Folder() / "big.ini", junk);
    EXPECT_EQ(GetPrivateProfileIntA("never seen", "K", 3, "big.ini"), 3u);
    ASSERT_TRUE(WritePrivateProfileStringA("never seen", "K", "4", "big.ini"));
    EXPECT_EQ(GetPrivateProfileIntA("never seen", "K", 3, "big.ini"), 4u);
    std::string now = Slurp(Folder() / "big.ini");
    ASSERT_GE(now.size(), junk.size());
    EXPECT_EQ(now.compare(0, junk.size(), junk), 0);
}

}  // namespace
