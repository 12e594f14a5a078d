// The records, properties, about and name-entry dialogs driven through the game's procedures.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform_test_dialogs.h"
#include "records/settings.h"
#include "support/cues.h"
#include "support/game_window.h"

namespace {

using namespace platform_test;
using testing_support::Cues;
using Strings = std::vector<std::string>;

std::string ReadIni() {
    std::ifstream in(testing_support::ConfigFolder() / "ZUM32.INI", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct DialogsTest : testing_support::GameWindowTest {
    void SetUp() override {
        GameWindowTest::SetUp();
        RecordSounds(true);
        Cues();
    }
    void TearDown() override {
        RecordSounds(false);
        GameWindowTest::TearDown();
    }
    // Opens a dialog by command and runs act inside it; returns whether it ended.
    bool Run(int command, const std::function<void(HWND)>& act) {
        bool ended = false;
        SetDialogHandler([&](HWND dialog) {
            act(dialog);
            ended = DialogEnded(dialog);
            if (!ended) EndDialog(dialog, 0);
            return DialogResult(dialog);
        });
        Command(command);
        return ended;
    }
};

TEST_F(DialogsTest, RecordsShowTheCurrentLevel) {
    bool ended = Run(CMD_RECORDS, [&](HWND d) {
        EXPECT_EQ(DialogCaption(d), "記録 【中級】");
        for (int id = IDC_SCORE_TIME1; id <= IDC_SCORE_TIME5; ++id) EXPECT_EQ(DialogItemText(d, id), "9999");
        for (int id = IDC_SCORE_NAME1; id <= IDC_SCORE_NAME5; ++id) EXPECT_EQ(DialogItemText(d, id), "NO DATA");
        EXPECT_EQ(FocusedDialogItem(d), IDC_SCORE_OK);
        PressEscape(d);
        EXPECT_FALSE(DialogEnded(d));
        EXPECT_TRUE(OwnerDisabled(d));
        ClickDialogItem(d, IDC_SCORE_OK);
        EXPECT_EQ(DialogResult(d), 1);
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(Cues(), Strings{"MENU"});
    // Times are shown as unsigned numbers, whatever a stored row holds.
    GameState.records[1].times[0] = -1;
    std::strcpy(GameState.records[1].names[0], "ずむ");
    Run(CMD_RECORDS, [&](HWND d) {
        EXPECT_EQ(DialogItemText(d, IDC_SCORE_TIME1), "4294967295");
        EXPECT_EQ(DialogItemText(d, IDC_SCORE_NAME1), "ずむ");
        ClickDialogItem(d, IDC_SCORE_OK);
    });
}

TEST_F(DialogsTest, PropertiesChooseTheLevelOnlyWithOk) {
    GameState.level = 1;
    std::string file = ReadIni();
    bool ended = Run(CMD_PROPERTY, [&](HWND d) {
        EXPECT_EQ(DialogCaption(d), "プロパティ");
        EXPECT_TRUE(DialogItemChecked(d, IDC_PROP_LEVEL1));
        EXPECT_FALSE(DialogItemChecked(d, IDC_PROP_LEVEL3));
        EXPECT_EQ(FocusedDialogItem(d), IDC_PROP_OK);
        ClickDialogItem(d, IDC_PROP_LEVEL3);
        EXPECT_TRUE(DialogItemChecked(d, IDC_PROP_LEVEL3));
        EXPECT_FALSE(DialogItemChecked(d, IDC_PROP_LEVEL1));
        PressEscape(d);
        EXPECT_FALSE(DialogEnded(d));
        ClickDialogItem(d, IDC_PROP_CANCEL);
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(GameState.level, 1);
    EXPECT_EQ(ReadIni(), file);
    EXPECT_EQ(Cues(), Strings{"MENU"});

    Run(CMD_PROPERTY, [&](HWND d) {
        ClickDialogItem(d, IDC_PROP_LEVEL3);
        ClickDialogItem(d, IDC_PROP_OK);
    });
    EXPECT_EQ(GameState.level, 3);
    EXPECT_NE(ReadIni().find("LEVEL=3\r\n"), std::string::npos);
    EXPECT_EQ(Cues(), Strings{"MENU"});
    // The next Start takes the new size.
    Command(CMD_START);
    EXPECT_EQ(ClientSize(window).cx, 480);
}

TEST_F(DialogsTest, TabEntersTheLevelGroupAtItsCheckedButton) {
    // Level 2 is the default; the arrows then move the choice, and Tab follows it.
    Run(CMD_PROPERTY, [&](HWND d) {
        struct Key {
            char key;  // 't' Tab, 'b' Shift+Tab, 'd' arrow down
            int focus;
        };
        const Key keys[] = {{'t', IDC_PROP_CANCEL}, {'t', IDC_PROP_LEVEL2}, {'t', IDC_PROP_CLEAR1},
                            {'t', IDC_PROP_CLEAR2}, {'t', IDC_PROP_CLEAR3}, {'t', IDC_PROP_OK},
                            {'b', IDC_PROP_CLEAR3}, {'b', IDC_PROP_CLEAR2}, {'b', IDC_PROP_CLEAR1},
                            {'b', IDC_PROP_LEVEL2}, {'d', IDC_PROP_LEVEL3}, {'t', IDC_PROP_CLEAR1},
                            {'b', IDC_PROP_LEVEL3}, {'b', IDC_PROP_CANCEL}};
        for (const Key& k : keys) {
            if (k.key == 'd')
                PressArrow(d, true);
            else
                PressTab(d, k.key == 't');
            EXPECT_EQ(FocusedDialogItem(d), k.focus) << "after key " << &k - keys;
        }
        EXPECT_TRUE(DialogItemChecked(d, IDC_PROP_LEVEL3));
        EXPECT_FALSE(DialogItemChecked(d, IDC_PROP_LEVEL2));
        PressEnter(d);  // Cancel has the focus
    });
    EXPECT_EQ(GameState.level, 2);
}

TEST_F(DialogsTest, ClearingALevelsRecordsIsImmediateAndSilent) {
    for (int level = 1; level <= 3; ++level) {
        GameState.records[level - 1].times[0] = 10 * level;
        std::strcpy(GameState.records[level - 1].names[0], "best");
    }
    std::string before = ReadIni();
    Run(CMD_PROPERTY, [&](HWND d) {
        EXPECT_EQ(DialogItemText(d, IDC_PROP_TIME2), "20");
        EXPECT_EQ(DialogItemText(d, IDC_PROP_NAME2), "best");
        ClickDialogItem(d, IDC_PROP_CLEAR2);
        EXPECT_FALSE(DialogEnded(d));
        EXPECT_EQ(DialogItemText(d, IDC_PROP_TIME2), "9999");
        EXPECT_EQ(DialogItemText(d, IDC_PROP_NAME2), "NO DATA");
        EXPECT_EQ(DialogItemText(d, IDC_PROP_TIME1), "10");
        EXPECT_TRUE(DialogItemChecked(d, IDC_PROP_LEVEL2));
        EXPECT_EQ(Cues(), Strings{});
        ClickDialogItem(d, IDC_PROP_CANCEL);
    });
    // Cancel does not bring the cleared records back; the file was already written.
    EXPECT_EQ(GameState.records[1].times[0], 9999);
    EXPECT_EQ(GameState.records[0].times[0], 10);
    EXPECT_EQ(ReadIni(), before);  // level 2 was empty in the file already
}

TEST_F(DialogsTest, AboutShowsTheProgram) {
    bool ended = Run(CMD_ABOUT, [&](HWND d) {
        EXPECT_EQ(DialogCaption(d), "バージョン情報");
        EXPECT_EQ(FocusedDialogItem(d), IDC_ABOUT_OK);
        PressEscape(d);
        EXPECT_FALSE(DialogEnded(d));
        PressEnter(d);
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(Cues(), Strings{"MENU"});
}

TEST_F(DialogsTest, NameEntryTakesSixteenBytesAndSortsTheName) {
    StartAt(1);
    GameState.records[0].times[5] = 120;
    Cues();
    bool ended = Run(CMD_ENTRY, [&](HWND d) {
        EXPECT_EQ(DialogCaption(d), "HI-SCORE!!");
        EXPECT_EQ(DialogItemText(d, IDC_ENTRY_LEVEL), "初級");
        EXPECT_EQ(DialogItemText(d, IDC_ENTRY_NAME), "");
        EXPECT_EQ(FocusedDialogItem(d), IDC_ENTRY_NAME);
        EXPECT_EQ(EditLimit(d, IDC_ENTRY_NAME), 16u);
        EXPECT_EQ(TypeText(d, "1234567890123456"), 16u);
        EXPECT_EQ(TypeText(d, "7"), 0u);
        PressEscape(d);
        EXPECT_FALSE(DialogEnded(d));
        PressEnter(d);
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(Cues(), Strings{"MENU"});
    EXPECT_STREQ(GameState.records[0].names[0], "1234567890123456");
    EXPECT_EQ(GameState.records[0].times[0], 120);
    EXPECT_NE(ReadIni().find("NAME1(1)=1234567890123456\r\nTIME1(1)=120\r\n"), std::string::npos);

    // Double-byte characters count two bytes each: eight of them fill the name.
    GameState.records[0].times[5] = 60;
    Run(CMD_ENTRY, [&](HWND d) {
        EXPECT_EQ(TypeText(d, "ずむずむずむずむず"), 16u);
        EXPECT_EQ(DialogItemText(d, IDC_ENTRY_NAME), "ずむずむずむずむ");
        ClickDialogItem(d, IDC_ENTRY_OK);
    });
    EXPECT_STREQ(GameState.records[0].names[0], "ずむずむずむずむ");
    EXPECT_STREQ(GameState.records[0].names[1], "1234567890123456");

    // An empty name is a name.
    GameState.records[0].times[5] = 30;
    Run(CMD_ENTRY, [&](HWND d) { ClickDialogItem(d, IDC_ENTRY_OK); });
    EXPECT_STREQ(GameState.records[0].names[0], "");
    EXPECT_NE(ReadIni().find("NAME1(1)=\r\nTIME1(1)=30\r\n"), std::string::npos);
}

TEST_F(DialogsTest, NoNameIsAskedForATimeAnotherCopyHasBeaten) {
    StartAt(1);
    // Another copy has filled the level's table with better times since this one loaded it.
    for (int rank = 1; rank <= 5; ++rank) {
        const std::string n = std::to_string(rank);
        WritePrivateProfileStringA(kIniSection, ("NAME" + n + "(1)").c_str(), "Other", kIniFile);
        WritePrivateProfileStringA(kIniSection, ("TIME" + n + "(1)").c_str(), std::to_string(rank * 10).c_str(),
                                   kIniFile);
    }
    struct Case {
        std::int32_t time;
        bool asked;
    };
    for (const Case& c : {Case{120, false}, Case{50, false}, Case{49, true}}) {
        GameState.records[0].times[5] = c.time;
        bool asked = false;
        Run(CMD_ENTRY, [&](HWND d) { asked = true; ClickDialogItem(d, IDC_ENTRY_OK); });
        EXPECT_EQ(asked, c.asked) << c.time;
    }
    EXPECT_EQ(GameState.records[0].times[3], 40);
    EXPECT_EQ(GameState.records[0].times[4], 49);
}

}  // namespace
