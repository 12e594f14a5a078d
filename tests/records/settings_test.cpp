// The records file: first start, incomplete levels, odd values, and the best-five insertion.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "records/best_five.h"
#include "records/settings.h"
#include "support/game_window.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ConfigFolder;

fs::path IniPath() { return ConfigFolder() / "ZUM32.INI"; }

std::string ReadIni() {
    std::ifstream in(IniPath(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteIni(const std::string& bytes) {
    fs::create_directories(ConfigFolder());
    std::ofstream(IniPath(), std::ios::binary) << bytes;
}

// The ten lines of one level, with its names and times.
std::string LevelLines(int level, const std::vector<std::string>& names, const std::vector<int>& times) {
    std::string out;
    for (int r = 1; r <= 5; ++r) {
        out += "NAME" + std::to_string(r) + "(" + std::to_string(level) + ")=" + names[r - 1] + "\r\n";
        out += "TIME" + std::to_string(r) + "(" + std::to_string(level) + ")=" + std::to_string(times[r - 1]) + "\r\n";
    }
    return out;
}

const std::vector<std::string> kEmptyNames(5, "NO DATA");
const std::vector<int> kEmptyTimes(5, 9999);

std::string FirstStartFile() {
    return "[ずむタイ32]\r\nLEVEL=2\r\n" + LevelLines(1, kEmptyNames, kEmptyTimes) +
           LevelLines(2, kEmptyNames, kEmptyTimes) + LevelLines(3, kEmptyNames, kEmptyTimes);
}

struct SettingsTest : testing::Test {
    void SetUp() override { testing_support::FreshProcess(); }
    void TearDown() override { platform_test::Reset(); }

    std::vector<std::string> Boxes() {
        std::vector<std::string> texts;
        for (const auto& b : platform_test::MessageBoxes()) texts.push_back(b.text);
        return texts;
    }
    const LevelRecords& Table(int level) { return GameState.records[level - 1]; }
};

const std::string kNoLevel1 = "初級のデータがありません。\n新規に作成します。";
const std::string kNoLevel2 = "中級のデータがありません。\n新規に作成します。";

TEST_F(SettingsTest, FirstStartWritesTheWholeFile) {
    LoadSettings(nullptr);
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(GameState.level, 2);
    EXPECT_EQ(ReadIni(), FirstStartFile());
    for (int level = 1; level <= 3; ++level)
        for (int r = 0; r < 5; ++r) {
            EXPECT_STREQ(Table(level).names[r], "NO DATA");
            EXPECT_EQ(Table(level).times[r], 9999);
        }
}

TEST_F(SettingsTest, ACompleteFileLoadsWithoutWriting) {
    std::string file = "[ずむタイ32]\r\nLEVEL=3\r\n" +
                       LevelLines(1, {"a", "b", "c", "d", "e"}, {50, 40, 30, 20, 10}) +
                       LevelLines(2, kEmptyNames, kEmptyTimes) +
                       LevelLines(3, {"NO DATA", "x", "y", "z", "w"}, {9999, 1, 2, 3, 4});
    WriteIni(file);
    LoadSettings(nullptr);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(GameState.level, 3);
    EXPECT_EQ(ReadIni(), file);
    // Loaded as stored: the loader neither sorts nor compares.
    EXPECT_EQ(Table(1).times[0], 50);
    EXPECT_STREQ(Table(1).names[4], "e");
    EXPECT_EQ(Table(3).times[0], 9999);
}

TEST_F(SettingsTest, AnIncompleteLevelIsResetAlone) {
    std::string level1 = LevelLines(1, {"a", "b", "c", "d", "e"}, {1, 2, 0, 4, 5});
    std::string level2 = LevelLines(2, {"f", "g", "h", "i", "j"}, {6, 7, 8, 9, 10});
    std::string level3 = LevelLines(3, {"k", "l", "m", "n", "o"}, {11, 12, 13, 14, 15});
    WriteIni("[ずむタイ32]\r\nLEVEL=1\r\n" + level1 + level2 + level3);
    LoadSettings(nullptr);
    EXPECT_EQ(Boxes(), std::vector<std::string>{kNoLevel1});
    EXPECT_EQ(GameState.level, 1);
    for (int r = 0; r < 5; ++r) {
        EXPECT_STREQ(Table(1).names[r], "NO DATA");
        EXPECT_EQ(Table(1).times[r], 9999);
    }
    EXPECT_STREQ(Table(2).names[0], "f");
    EXPECT_EQ(Table(3).times[4], 15);
    EXPECT_EQ(ReadIni(), "[ずむタイ32]\r\nLEVEL=1\r\n" + LevelLines(1, kEmptyNames, kEmptyTimes) +
                             level2 + level3);

    // A missing name resets its level too, and nothing else.
    testing_support::FreshProcess();
    std::string partial2 = level2;
    partial2.erase(partial2.find("NAME5(2)"), std::string("NAME5(2)=j\r\n").size());
    WriteIni("[ずむタイ32]\r\nLEVEL=1\r\n" + level1 + partial2 + level3);
    std::string fixed1 = LevelLines(1, {"a", "b", "c", "d", "e"}, {1, 2, 3, 4, 5});
    WriteIni("[ずむタイ32]\r\nLEVEL=1\r\n" + fixed1 + partial2 + level3);
    LoadSettings(nullptr);
    EXPECT_EQ(Boxes(), std::vector<std::string>{kNoLevel2});
    EXPECT_STREQ(Table(1).names[4], "e");
    EXPECT_STREQ(Table(2).names[4], "NO DATA");
}

TEST_F(SettingsTest, LevelsOutsideOneToThreeCountAsAbsent) {
    for (std::string value : {"", "1000", "7", "0", "abc", "-1"}) {
        testing_support::FreshProcess();
        std::string tables = LevelLines(1, kEmptyNames, kEmptyTimes) +
                             LevelLines(2, kEmptyNames, kEmptyTimes) +
                             LevelLines(3, kEmptyNames, kEmptyTimes);
        WriteIni("[ずむタイ32]\r\n" + (value.empty() ? "" : "LEVEL=" + value + "\r\n") + tables);
        LoadSettings(nullptr);
        EXPECT_EQ(GameState.level, 2) << value;
        EXPECT_TRUE(Boxes().empty()) << value;
        std::string expected = value.empty() ? "[ずむタイ32]\r\n" + tables + "LEVEL=2\r\n"
                                             : "[ずむタイ32]\r\nLEVEL=2\r\n" + tables;
        EXPECT_EQ(ReadIni(), expected) << value;
    }
}

TEST_F(SettingsTest, NamesAreCutToSixteenBytesAtACharacterBoundary) {
    // Twenty bytes; then fifteen single bytes followed by a double-byte character.
    std::vector<std::string> names = {"abcdefghijklmnopqrst", "123456789012345あ", "NOTHING", "d", "e"};
    WriteIni("[ずむタイ32]\r\nLEVEL=2\r\n" + LevelLines(1, names, {1, 2, 3, 4, 5}) +
             LevelLines(2, kEmptyNames, kEmptyTimes) + LevelLines(3, kEmptyNames, kEmptyTimes));
    LoadSettings(nullptr);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_STREQ(Table(1).names[0], "abcdefghijklmnop");
    EXPECT_STREQ(Table(1).names[1], "123456789012345");
    // A player really called NOTHING keeps the records.
    EXPECT_STREQ(Table(1).names[2], "NOTHING");
    EXPECT_EQ(Table(1).times[2], 3);
}

// Inserting a candidate with the exact exchange order of the records.
struct InsertCase {
    std::vector<int> times;
    int candidate;
    std::vector<std::string> order;  // names of ranks 1-5 afterwards
    std::string fallsOut;
};

TEST_F(SettingsTest, InsertionKeepsTheTablesOrder) {
    const std::vector<InsertCase> cases = {
        {{10, 20, 30, 40, 50}, 5, {"N", "a", "b", "c", "d"}, "e"},
        {{10, 20, 30, 40, 50}, 25, {"a", "b", "N", "c", "d"}, "e"},
        {{10, 20, 30, 40, 50}, 30, {"a", "b", "N", "c", "d"}, "e"},
        {{10, 20, 30, 40, 50}, 10, {"a", "N", "b", "c", "d"}, "e"},
        {{10, 10, 20, 30, 40}, 10, {"a", "b", "N", "c", "d"}, "e"},
        {{1, 1, 2, 2, 4}, 3, {"a", "b", "d", "c", "N"}, "e"},
        {{50, 40, 30, 20, 10}, 25, {"e", "d", "N", "c", "b"}, "a"},
    };
    LoadSettings(nullptr);
    GameState.level = 2;
    std::string before = ReadIni();
    for (const InsertCase& k : cases) {
        LevelRecords& t = GameState.records[1];
        const char* names[] = {"a", "b", "c", "d", "e"};
        for (int i = 0; i < 5; ++i) {
            t.times[i] = k.times[i];
            std::strcpy(t.names[i], names[i]);
        }
        ASSERT_TRUE(WriteLevelRecords(2));  // the insertion starts from the file's table
        t.times[5] = k.candidate;
        std::strcpy(t.names[5], "N");
        ASSERT_TRUE(InsertNewRecord());
        std::vector<std::string> order;
        for (int i = 0; i < 5; ++i) order.push_back(t.names[i]);
        EXPECT_EQ(order, k.order) << k.candidate;
        EXPECT_EQ(t.names[5], k.fallsOut) << k.candidate;
        for (int i = 1; i < 6; ++i) EXPECT_LE(t.times[i - 1], t.times[i]);
    }
    // Only level 2's ten keys changed, in place.
    std::vector<std::string> names;
    std::vector<int> times;
    for (int i = 0; i < 5; ++i) {
        names.push_back(GameState.records[1].names[i]);
        times.push_back(GameState.records[1].times[i]);
    }
    std::string expected = before;
    std::string oldLevel2 = LevelLines(2, kEmptyNames, kEmptyTimes);
    expected.replace(expected.find(oldLevel2), oldLevel2.size(), LevelLines(2, names, times));
    EXPECT_EQ(ReadIni(), expected);
}

// A records file that an editor saved as "Unicode": UTF-16LE behind the mark FF FE.
TEST_F(SettingsTest, AUnicodeFileLoadsAndStaysUnicode) {
    auto widen = [](const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); };
    std::u16string text = u"[ずむタイ32]\r\nLEVEL=3\r\n";
    for (int level = 1; level <= 3; ++level)
        for (int r = 1; r <= 5; ++r) {
            std::string n = std::to_string(r) + "(" + std::to_string(level) + ")=";
            text += widen("NAME" + n) + u"ずむ" + widen("\r\nTIME" + n + std::to_string(10 * r) + "\r\n");
        }
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    WriteIni(bytes);
    LoadSettings(nullptr);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(GameState.level, 3);
    EXPECT_STREQ(Table(2).names[0], "ずむ");
    EXPECT_EQ(Table(2).times[4], 50);

    GameState.level = 2;
    GameState.records[1].times[5] = 5;
    std::strcpy(GameState.records[1].names[5], "ぞ");
    ASSERT_TRUE(InsertNewRecord());
    const std::string now = ReadIni();
    EXPECT_EQ(now.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(now.size() % 2, 0u);
    std::memset(&GameState, 0, sizeof GameState);
    LoadSettings(nullptr);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_STREQ(Table(2).names[0], "ぞ");
    EXPECT_EQ(Table(2).times[0], 5);
    EXPECT_STREQ(Table(2).names[1], "ずむ");
    EXPECT_EQ(Table(2).times[4], 40);
    EXPECT_EQ(Table(3).times[4], 50);
}

TEST_F(SettingsTest, AnEmptyTableAndAnEmptyName) {
    LoadSettings(nullptr);
    GameState.level = 1;
    LevelRecords& t = GameState.records[0];
    t.times[5] = 100;
    t.names[5][0] = '\0';
    InsertNewRecord();
    EXPECT_EQ(t.times[0], 100);
    EXPECT_STREQ(t.names[0], "");
    for (int i = 1; i < 5; ++i) EXPECT_STREQ(t.names[i], "NO DATA");
    EXPECT_NE(ReadIni().find("NAME1(1)=\r\nTIME1(1)=100\r\n"), std::string::npos);
    // The empty name loads back as an empty name, not as a missing key.
    testing_support::FreshProcess();
    WriteIni("[ずむタイ32]\r\nLEVEL=1\r\nNAME1(1)=\r\nTIME1(1)=100\r\n" +
             LevelLines(1, kEmptyNames, kEmptyTimes).substr(std::string("NAME1(1)=NO DATA\r\nTIME1(1)=9999\r\n").size()) +
             LevelLines(2, kEmptyNames, kEmptyTimes) + LevelLines(3, kEmptyNames, kEmptyTimes));
    LoadSettings(nullptr);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_STREQ(GameState.records[0].names[0], "");
}

}  // namespace
