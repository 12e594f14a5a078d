// Two copies of the game entering records at the same level at the same moment lose none.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "records/best_five.h"
#include "records/settings.h"
#include "support/game_window.h"

namespace {

TEST(TwoCopiesTest, EveryRecordOfBothCopiesStays) {
    testing_support::FreshProcess();
    LoadSettings(nullptr);  // both copies start from five empty entries at every level
    GameState.level = 1;
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    // Copy 0 enters 10, 12, ... and copy 1 enters 11, 13, ...: each would push the other's out
    // if it wrote the table it loaded.
    constexpr int kEach = 6;
    std::vector<pid_t> copies;
    for (int copy = 0; copy < 2; ++copy) {
        pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            close(go[1]);
            char start;
            if (read(go[0], &start, 1) != 0) _exit(3);  // both start when the pipe closes
            for (int i = 0; i < kEach; ++i) {
                LevelRecords& table = GameState.records[0];
                table.times[5] = 10 + 2 * i + copy;
                std::string name = "copy";
                name += std::to_string(copy) + "-" + std::to_string(i);
                std::snprintf(table.names[5], sizeof table.names[5], "%s", name.c_str());
                if (!InsertNewRecord()) _exit(1);
            }
            _exit(0);
        }
        copies.push_back(child);
    }
    close(go[0]);
    close(go[1]);
    for (pid_t child : copies) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    // A copy started afterwards loads the five best of both.
    std::memset(&GameState, 0, sizeof GameState);
    platform_test::Reset();
    LoadSettings(nullptr);
    EXPECT_TRUE(platform_test::MessageBoxes().empty());
    const char* const best[] = {"copy0-0", "copy1-0", "copy0-1", "copy1-1", "copy0-2"};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(GameState.records[0].times[r], 10 + r);
        EXPECT_STREQ(GameState.records[0].names[r], best[r]);
    }
    platform_test::Reset();
}

}  // namespace
