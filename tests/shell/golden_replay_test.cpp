// Golden replay: a whole level-1 game from Start to clear against a stored dump.
#include <gtest/gtest.h>

#include "support/replay.h"

namespace {

struct GoldenReplayTest : testing_support::GameWindowTest {};

TEST_F(GoldenReplayTest, LevelOneFromStartToClear) {
    platform_test::RecordSounds(true);
    platform_test::ClearRecordedSounds();
    testing_support::Replay replay;
    replay.window = window;
    replay.paint = [&] { Paint(); };
    replay.Run(testing_support::ReadFile(testing_support::GoldenPath("level1_clear.script")));
    platform_test::RecordSounds(false);
    EXPECT_EQ(ScreenState, Cleared);
    testing_support::ExpectGolden("level1_clear.expected", replay.Dump(true));
}

}  // namespace
