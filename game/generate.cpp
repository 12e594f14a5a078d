// A new board for the current level: bombs from the random source, then the nonogram clues.
#include "game/generate.h"

#include <cstring>

#include "game/game_state.h"
#include "game/random.h"

void ComputeRuns(const char* cells, int stride, int n, std::uint8_t* out, int outStride) {
    int k = 0;
    int i = 0;
    while (i < n) {
        if (cells[i * stride] != '0') {
            ++i;
            continue;
        }
        std::uint8_t& entry = out[k * outStride];
        while (i < n && cells[i * stride] == '0') {
            ++entry;
            ++i;
        }
        ++k;
    }
}

void GeneratePuzzle() {
    GameStateRecord& g = GameState;
    const int n = kBoardSize[g.level];

    for (int c = 0; c < n; ++c) {
        for (int r = 0; r < n; ++r) {
            g.bombGrid[c][r] = '0';
            g.openGrid[c][r] = '0';
            g.flagGrid[c][r] = '0';
        }
    }

    // Both draws of a pair are spent even when the cell is taken, so a seed fixes the board.
    int placed = 0;
    while (placed < kBombCount[g.level]) {
        int c = NextRandom() % n;
        int r = NextRandom() % n;
        if (g.bombGrid[c][r] == '1') continue;
        g.bombGrid[c][r] = '1';
        ++placed;
    }

    ComputeClues();
}

void ComputeClues() {
    GameStateRecord& g = GameState;
    const int n = kBoardSize[g.level];
    std::memset(g.rowClues, 0, sizeof g.rowClues);
    std::memset(g.colClues, 0, sizeof g.colClues);
    for (int r = 0; r < n; ++r) ComputeRuns(&g.bombGrid[0][r], 20, n, &g.rowClues[0][r], 20);
    for (int c = 0; c < n; ++c) ComputeRuns(&g.bombGrid[c][0], 1, n, &g.colClues[c][0], 1);
}
