// The random source and puzzle generation: seeds reproduce boards, clues follow the bombs.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/game_state.h"
#include "game/generate.h"
#include "game/random.h"

namespace {

struct GenerateTest : testing::Test {
    void SetUp() override { std::memset(&GameState, 0, sizeof GameState); }
};

// Runs of one line given as ASCII cells: '.' safe, 'b' bomb.
std::vector<int> Runs(const std::string& line) {
    std::string cells;
    for (char ch : line) cells += ch == 'b' ? '1' : '0';
    std::uint8_t out[20] = {};
    ComputeRuns(cells.data(), 1, static_cast<int>(cells.size()), out, 1);
    std::vector<int> runs;
    for (std::uint8_t v : out)
        if (v) runs.push_back(v);
    return runs;
}

TEST(RandomTest, KnownSequences) {
    SeedRandom(1);
    EXPECT_EQ(NextRandom(), 346);
    EXPECT_EQ(NextRandom(), 130);
    SeedRandom(0);
    EXPECT_EQ(NextRandom(), 0);
    EXPECT_EQ(NextRandom(), 346);
    EXPECT_EQ(NextRandom(), 130);
    // -1 from the calendar seeds all 32 bits; the values stay within 15 bits.
    SeedRandom(static_cast<std::uint32_t>(-1));
    for (int i = 0; i < 1000; ++i) {
        int v = NextRandom();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

TEST(RunsTest, RunLengthsOfLines) {
    const std::vector<std::pair<std::string, std::vector<int>>> cases = {
        {"..b.b.bb..", {2, 1, 1, 2}},
        {"..b...bb..", {2, 3, 2}},
        {"..........", {10}},
        {"bbbbbbbbbb", {}},
        {".b.b.b.b.b", {1, 1, 1, 1, 1}},
        {".b.b.b.b.b.b.b.b.b.b", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"b.........", {9}},
    };
    for (const auto& [line, runs] : cases) EXPECT_EQ(Runs(line), runs) << line;
}

TEST_F(GenerateTest, LevelOneAfterSeedOneMatchesTheDrawOrder) {
    GameState.level = 1;
    SeedRandom(1);
    GeneratePuzzle();
    EXPECT_EQ(GameState.bombGrid[6][0], '1');
    EXPECT_EQ(GameState.bombGrid[2][0], '1');
    EXPECT_EQ(GameState.bombGrid[6][7], '1');

    // Replaying the draws: the first three pairs, 36 pairs for 30 bombs with six repeats,
    // and the generator spends exactly those 72 draws.
    SeedRandom(1);
    std::set<std::pair<int, int>> placed;
    std::vector<std::pair<int, int>> order;
    int pairs = 0, repeats = 0;
    while (placed.size() < 30) {
        int c = NextRandom() % 10;
        int r = NextRandom() % 10;
        ++pairs;
        if (!placed.insert({c, r}).second) ++repeats;
        else order.push_back({c, r});
    }
    EXPECT_EQ(pairs, 36);
    EXPECT_EQ(repeats, 6);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], std::make_pair(6, 0));
    EXPECT_EQ(order[1], std::make_pair(2, 0));
    EXPECT_EQ(order[2], std::make_pair(6, 7));
    int next = NextRandom();
    SeedRandom(1);
    GeneratePuzzle();
    EXPECT_EQ(NextRandom(), next);
    for (int c = 0; c < 10; ++c)
        for (int r = 0; r < 10; ++r)
            EXPECT_EQ(GameState.bombGrid[c][r] == '1', placed.count({c, r}) == 1);
}

TEST_F(GenerateTest, EveryLevelHasItsBombsAndConsistentClues) {
    for (int level = 1; level <= 3; ++level) {
        for (std::uint32_t seed : {0u, 1u, 12345u, 65534u, 0xFFFFFFFFu}) {
            GameState.level = level;
            SeedRandom(seed);
            GeneratePuzzle();
            const int n = kBoardSize[level];
            int bombs = 0;
            for (int c = 0; c < n; ++c)
                for (int r = 0; r < n; ++r) {
                    bombs += GameState.bombGrid[c][r] == '1';
                    ASSERT_EQ(GameState.openGrid[c][r], '0');
                    ASSERT_EQ(GameState.flagGrid[c][r], '0');
                }
            EXPECT_EQ(bombs, kBombCount[level]);
            for (int r = 0; r < n; ++r) {
                std::string row;
                for (int c = 0; c < n; ++c) row += GameState.bombGrid[c][r] == '1' ? 'b' : '.';
                std::vector<int> clues;
                int k = 0;
                for (; k < 20 && GameState.rowClues[k][r]; ++k) clues.push_back(GameState.rowClues[k][r]);
                for (; k < 20; ++k) ASSERT_EQ(GameState.rowClues[k][r], 0) << "gap in row " << r;
                EXPECT_EQ(clues, Runs(row));
                EXPECT_LE(clues.size(), static_cast<std::size_t>(kClueMargin[level]));
            }
            for (int c = 0; c < n; ++c) {
                std::string column;
                for (int r = 0; r < n; ++r) column += GameState.bombGrid[c][r] == '1' ? 'b' : '.';
                std::vector<int> clues;
                for (int k = 0; k < 20 && GameState.colClues[c][k]; ++k)
                    clues.push_back(GameState.colClues[c][k]);
                EXPECT_EQ(clues, Runs(column));
            }
        }
    }
}

TEST_F(GenerateTest, SameSeedSameBoardAndASmallerLevelKeepsTheRestOfTheGrid) {
    GameState.level = 3;
    SeedRandom(777);
    GeneratePuzzle();
    GameState.openGrid[19][19] = '1';
    char big[20][20];
    std::memcpy(big, GameState.bombGrid, sizeof big);

    GameState.level = 1;
    SeedRandom(4242);
    GeneratePuzzle();
    // Cells beyond the 10 x 10 square keep the old board; clues of the old board are gone.
    for (int c = 0; c < 20; ++c)
        for (int r = 0; r < 20; ++r)
            if (c >= 10 || r >= 10) {
                ASSERT_EQ(GameState.bombGrid[c][r], big[c][r]);
            }
    EXPECT_EQ(GameState.openGrid[19][19], '1');
    for (int k = 0; k < 20; ++k)
        for (int i = 10; i < 20; ++i) {
            ASSERT_EQ(GameState.rowClues[k][i], 0);
            ASSERT_EQ(GameState.colClues[i][k], 0);
        }

    char first[20][20];
    std::memcpy(first, GameState.bombGrid, sizeof first);
    SeedRandom(4242);
    GeneratePuzzle();
    EXPECT_EQ(std::memcmp(first, GameState.bombGrid, sizeof first), 0);
}

}  // namespace
