// A change of the records that the file does not take is told to the player, and the old file
// stays whole; the game goes on with the change in memory.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform_test_dialogs.h"
#include "records/settings.h"
#include "support/game_window.h"
#include "support/private_mounts.h"

namespace {

namespace fs = std::filesystem;
using namespace platform_test;
using testing_support::ChildRun;

const std::string kUnsaved =
    "記録を ZUM32.INI に保存できませんでした。\nディスクの空きと書き込みの許可を確かめて下さい。";

std::string ReadIni() {
    std::ifstream in(testing_support::ConfigFolder() / "ZUM32.INI", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteIni(const std::string& bytes) {
    std::ofstream(testing_support::ConfigFolder() / "ZUM32.INI", std::ios::binary) << bytes;
}

enum class Fault { None, FullDisk, ReadOnlyFolder, FolderInPlace };
enum class Action { NameEntry, PropertiesOk, ClearLevel };

struct UnsavedRecordsTest : testing_support::GameWindowTest {
    // Runs the action in its own dialog; returns the dialog, which is over by then.
    HWND Act(Action action) {
        HWND shown = nullptr;
        SetDialogHandler([&](HWND d) {
            shown = d;
            switch (action) {
                case Action::NameEntry:
                    TypeText(d, "ZUM");
                    ClickDialogItem(d, IDC_ENTRY_OK);
                    break;
                case Action::PropertiesOk:
                    ClickDialogItem(d, IDC_PROP_LEVEL3);
                    ClickDialogItem(d, IDC_PROP_OK);
                    break;
                case Action::ClearLevel:
                    ClickDialogItem(d, IDC_PROP_CLEAR1);
                    // The dialog stays open, showing the cleared level.
                    EXPECT_FALSE(DialogEnded(d));
                    EXPECT_EQ(DialogItemText(d, IDC_PROP_TIME1), "9999");
                    ClickDialogItem(d, IDC_PROP_CANCEL);
                    break;
            }
            EXPECT_TRUE(DialogEnded(d));
            return DialogResult(d);
        });
        GameState.level = action == Action::NameEntry ? 1 : 2;
        GameState.records[0].times[5] = 5;
        Command(action == Action::NameEntry ? CMD_ENTRY : CMD_PROPERTY);
        return shown;
    }
};

TEST_F(UnsavedRecordsTest, AFailedWriteIsToldAndTheOldFileStays) {
    const fs::path folder = testing_support::ConfigFolder();
    const std::string firstStart = ReadIni();
    bool noMounts = false;
    for (Fault fault : {Fault::None, Fault::FullDisk, Fault::ReadOnlyFolder, Fault::FolderInPlace}) {
        for (Action action : {Action::NameEntry, Action::PropertiesOk, Action::ClearLevel}) {
            SCOPED_TRACE("fault " + std::to_string(static_cast<int>(fault)) + ", action " +
                         std::to_string(static_cast<int>(action)));
            const bool onSmallDisk = fault == Fault::FullDisk || fault == Fault::ReadOnlyFolder;
            ChildRun run = testing_support::RunInChild(onSmallDisk, [&] {
                if (onSmallDisk) {
                    ASSERT_TRUE(testing_support::MountSmallDisk(folder.string()));
                    WriteIni(firstStart);
                }
                // Level 1 holds records, so that clearing it changes the file.
                LevelRecords& table = GameState.records[0];
                for (int r = 0; r < 5; ++r) {
                    table.times[r] = 10 * (r + 1);
                    std::snprintf(table.names[r], sizeof table.names[r], "p%d", r + 1);
                }
                ASSERT_TRUE(WriteLevelRecords(1));
                const std::string old = ReadIni();
                if (fault == Fault::FullDisk) {
                    ASSERT_TRUE(testing_support::FillDisk(folder.string()));
                }
                if (fault == Fault::ReadOnlyFolder) {
                    ASSERT_TRUE(testing_support::MakeDiskReadOnly(folder.string()));
                }
                if (fault == Fault::FolderInPlace) {
                    fs::remove(folder / "ZUM32.INI");
                    fs::create_directory(folder / "ZUM32.INI");
                }
                const std::size_t boxesBefore = MessageBoxes().size();

                HWND dialog = Act(action);

                // The change holds in memory whatever the file did.
                switch (action) {
                    case Action::NameEntry:
                        EXPECT_EQ(GameState.records[0].times[0], 5);
                        EXPECT_STREQ(GameState.records[0].names[0], "ZUM");
                        break;
                    case Action::PropertiesOk: EXPECT_EQ(GameState.level, 3); break;
                    case Action::ClearLevel: EXPECT_EQ(GameState.records[0].times[0], 9999); break;
                }
                std::vector<MessageBoxCall> boxes = MessageBoxes();
                boxes.erase(boxes.begin(), boxes.begin() + static_cast<long>(boxesBefore));
                if (fault == Fault::None) {
                    EXPECT_TRUE(boxes.empty());
                    EXPECT_NE(ReadIni(), old);
                    return;
                }
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_EQ(boxes[0].owner, dialog);
                EXPECT_EQ(boxes[0].text, kUnsaved);
                EXPECT_EQ(boxes[0].caption, "ずむのタイル32");
                EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
                if (fault == Fault::FolderInPlace) {
                    EXPECT_TRUE(fs::is_directory(folder / "ZUM32.INI"));
                } else {
                    EXPECT_EQ(ReadIni(), old);
                }
            });
            // The cases without a disk of their own changed the real folder.
            fs::remove_all(folder / "ZUM32.INI");
            WriteIni(firstStart);
            if (run == ChildRun::NoMounts) {
                noMounts = true;
                continue;
            }
            EXPECT_EQ(run, ChildRun::Passed);
        }
    }
    if (noMounts) GTEST_SKIP() << "no mount namespace here: no full or read-only disk tried";
}

}  // namespace
