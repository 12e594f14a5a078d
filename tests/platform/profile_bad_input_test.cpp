// Records files in bad shape, on disk: each kind gives the game a defined answer and loses nothing.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "support/utf16.h"
#include "winbase.h"

namespace {

using testing_support::Utf16Le;

namespace fs = std::filesystem;
using namespace std::string_literals;

const char kSection[] = "\x82\xb8\x82\xde\x83\x5e\x83\x43" "32";  // the game's section, CP932
const char kFile[] = "ZUM32.INI";

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spill(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The file that a first start of the game writes.
std::string FirstStart() {
    std::string file = "["s + kSection + "]\r\nLEVEL=2\r\n";
    for (int level = 1; level <= 3; ++level) {
        for (int rank = 1; rank <= 5; ++rank) {
            file += "NAME" + std::to_string(rank) + "(" + std::to_string(level) + ")=NO DATA\r\n";
            file += "TIME" + std::to_string(rank) + "(" + std::to_string(level) + ")=9999\r\n";
        }
    }
    return file;
}

// A first start's file re-saved as "Unicode": the mark, then the game's section name in UTF-16.
std::string Utf16FirstStart() {
    return Utf16Le(u"\uFEFF[ずむタイ32]\r\nLEVEL=3\r\nNAME1(1)=NO DATA\r\nTIME1(1)=9999\r\n");
}

// What the game's reads see: the level, the first name of level 1 and its count.
struct Seen {
    unsigned level;
    std::string name;
};

Seen GameReads() {
    char name[17];
    DWORD count = GetPrivateProfileStringA(kSection, "NAME1(1)", "NOTHING", name, sizeof name, kFile);
    return {GetPrivateProfileIntA(kSection, "LEVEL", 1000, kFile), std::string(name, count)};
}

class ProfileBadInput : public testing::Test {
protected:
    void SetUp() override {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        savedXdg_ = xdg ? xdg : "";
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::path(savedXdg_.empty() ? fs::temp_directory_path().string() : savedXdg_) /
                ("bad-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(Folder());
        setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        setenv("XDG_CONFIG_HOME", savedXdg_.c_str(), 1);
        std::error_code ec;
        fs::permissions(Path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
    }
    fs::path Folder() const { return root_ / "zum32"; }
    fs::path Path() const { return Folder() / kFile; }

    fs::path root_;
    std::string savedXdg_;
};

// Where the game's write of NAME1(1) goes in the old bytes.
enum class Write { AppendsTheSection, AppendsTheKey, RewritesInPlace, RewritesInPlaceAsUtf16 };

// Files that can be read as bytes: the game reads defaults or what the bytes say, its next write
// succeeds and reads back, and no byte of the old file is lost.
struct ReadableCase {
    const char* what;
    std::function<std::string()> bytes;
    Seen before;  // what the game reads from the file as it is
    Write write;
};

TEST_F(ProfileBadInput, ReadableBadFilesKeepTheirBytes) {
    const std::string first = FirstStart();
    const ReadableCase cases[] = {
        {"UTF-16 with a byte-order mark reads as text and stays UTF-16", Utf16FirstStart,
         {3, "NO DATA"}, Write::RewritesInPlaceAsUtf16},
        {"a UTF-8 byte-order mark is bytes that hide the section",
         [first] { return "\xEF\xBB\xBF" + first; }, {1000, "NOTHING"},
         Write::AppendsTheSection},
        {"a block of NUL bytes, as a crash of the file system leaves",
         [] { return std::string(4096, '\0'); }, {1000, "NOTHING"},
         Write::AppendsTheSection},
        {"NUL bytes inside a value are part of it",
         [first] {
             std::string b = first;
             b.replace(b.find("NO DATA"), 7, "NO\0\0\0TA"s);
             return b;
         },
         {2, "NO\0\0\0TA"s}, Write::RewritesInPlace},
        {"NUL bytes in place of a line ending join two lines",
         [first] {
             std::string b = first;
             b.replace(b.find("\r\nNAME1(1)"), 2, "\0\0"s);
             return b;
         },
         {2, "NOTHING"}, Write::AppendsTheKey},
        {"several megabytes of other sections before the game's",
         [first] {
             std::string b;
             for (int i = 0; b.size() < (3u << 20); ++i)
                 b += "[Other" + std::to_string(i % 97) + "]\r\nK" + std::to_string(i) +
                      "=0123456789abcdefghijklmnopqrstuvwxyz\r\n";
             return b + first;
         },
         {2, "NO DATA"}, Write::RewritesInPlace},
        {"one line of several megabytes without an ending before the game's section",
         [first] { return std::string(3u << 20, 'x') + "\r\n" + first; }, {2, "NO DATA"},
         Write::RewritesInPlace},
    };
    for (const ReadableCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string old = c.bytes();
        Spill(Path(), old);
        Seen before = GameReads();
        EXPECT_EQ(before.level, c.before.level);
        EXPECT_EQ(before.name, c.before.name);

        ASSERT_TRUE(WritePrivateProfileStringA(kSection, "NAME1(1)", "ZUMU", kFile));
        EXPECT_EQ(GameReads().name, "ZUMU");
        const std::string now = Slurp(Path());
        if (c.write == Write::AppendsTheSection) {
            // The old bytes stay in front; the section follows on a line of its own.
            const char* lineEnd = old.back() == '\n' ? "" : "\r\n";
            EXPECT_EQ(now, old + lineEnd + "[" + kSection + "]\r\nNAME1(1)=ZUMU\r\n");
        } else if (c.write == Write::RewritesInPlaceAsUtf16) {
            std::string expected = old;
            const std::string from = Utf16Le(u"NAME1(1)=NO DATA"), to = Utf16Le(u"NAME1(1)=ZUMU");
            expected.replace(expected.find(from), from.size(), to);
            EXPECT_EQ(now, expected);
        } else if (c.write == Write::AppendsTheKey) {
            // The game's section is the file's last: the key follows its last line.
            EXPECT_EQ(now, old + "NAME1(1)=ZUMU\r\n");
        } else {
            // The value is rewritten in place; every other byte stays where it was.
            std::size_t at = old.find("NAME1(1)=");
            ASSERT_NE(at, std::string::npos);
            std::size_t end = old.find_first_of("\r\n", at);
            EXPECT_EQ(now, old.substr(0, at) + "NAME1(1)=ZUMU" + old.substr(end));
        }
    }
}

// Paths that cannot be read as a file: the game reads its defaults, a write fails and leaves
// the thing in the file's place as it was. As root, permission bits do not stop a read, so the
// unreadable files here are ones that fail for every user.
struct UnreadableCase {
    const char* what;
    std::function<void(const fs::path& path)> make;
    bool needsNonRoot;  // permission bits, which do not stop root
};

TEST_F(ProfileBadInput, UnreadableFilesGiveDefaultsAndRefuseWrites) {
    const UnreadableCase cases[] = {
        {"a symbolic link to itself: open fails with ELOOP",
         [](const fs::path& p) { fs::create_symlink(p.filename(), p); }, false},
        {"a link to /proc/self/mem: opens, but the read fails with EIO",
         [](const fs::path& p) { fs::create_symlink("/proc/self/mem", p); }, false},
        {"a FIFO: no reader waits on it, and it is no file to replace",
         [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, false},
        {"a file without read permission",
         [](const fs::path& p) {
             Spill(p, FirstStart());
             fs::permissions(p, fs::perms::owner_write);
         },
         true},
    };
    for (const UnreadableCase& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsNonRoot && geteuid() == 0) continue;
        fs::remove(Path());
        c.make(Path());
        const fs::file_status kind = fs::symlink_status(Path());

        Seen seen = GameReads();
        EXPECT_EQ(seen.level, 1000u);
        EXPECT_EQ(seen.name, "NOTHING");
        EXPECT_FALSE(WritePrivateProfileStringA(kSection, "LEVEL", "2", kFile));
        EXPECT_EQ(fs::symlink_status(Path()).type(), kind.type());
        // Nothing was left beside it either.
        EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1);
    }
}

// A configuration folder that cannot be made: the game reads defaults, its write fails, and the
// file in the way is left as it was.
TEST_F(ProfileBadInput, UnusableConfigurationFolderGivesDefaults) {
    struct Case {
        const char* what;
        std::function<fs::path()> make;  // returns the regular file in the way
    };
    const Case cases[] = {
        {"XDG_CONFIG_HOME is a regular file",
         [this] {
             setenv("XDG_CONFIG_HOME", (root_ / "plain").c_str(), 1);
             return root_ / "plain";
         }},
        {"the zum32 folder is a regular file",
         [this] {
             fs::remove(Folder());
             return Folder();
         }},
        {"XDG_CONFIG_HOME lies below a regular file",
         [this] {
             setenv("XDG_CONFIG_HOME", (root_ / "plain" / "config").c_str(), 1);
             return root_ / "plain";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path inTheWay = c.make();
        Spill(inTheWay, "x");
        Seen seen = GameReads();
        EXPECT_EQ(seen.level, 1000u);
        EXPECT_EQ(seen.name, "NOTHING");
        EXPECT_FALSE(WritePrivateProfileStringA(kSection, "LEVEL", "2", kFile));
        EXPECT_EQ(Slurp(inTheWay), "x");
        EXPECT_TRUE(fs::is_regular_file(inTheWay));
        setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
        fs::remove(inTheWay);
        fs::create_directories(Folder());
    }
}

}  // namespace
