// The one global game record, the level tables and the screen-state byte.
#pragma once

#include <cstdint>

#include "windows.h"

// One level's best-five table; row 5 is the candidate slot of a new clear.
struct LevelRecords {
    std::int32_t times[6];
    char names[6][17];
};

struct GameStateRecord {
    HPALETTE savedPalette;
    HPALETTE palette;
    HBITMAP charBitmap;
    HBITMAP titleBitmap;
    HBITMAP subBitmap;
    HBITMAP saveUnderBitmap;
    HDC saveUnderDC;
    std::int32_t clockSeconds;
    std::int32_t bombRowFrame;
    std::int32_t explosionFrame;
    std::int32_t clickedCol;
    std::int32_t clickedRow;
    std::int32_t realizeResult;
    HINSTANCE instanceHandle;
    std::int32_t level;
    LevelRecords records[3];
    std::int32_t openedCount;
    std::int32_t bombsHit;
    std::int32_t explodedCol;
    std::int32_t explodedRow;
    // Cell grids hold the characters '0' and '1', column first: bombGrid[c][r].
    char bombGrid[20][20];
    char openGrid[20][20];
    char flagGrid[20][20];
    std::uint8_t rowClues[20][20];  // rowClues[k][r]: the k-th run of row r
    std::uint8_t colClues[20][20];  // colClues[c][k]: the k-th run of column c
    HRSRC cueResource;
    HGLOBAL cueData;
    LPVOID cueBytes;
    // The keyboard's cell cursor: its board cell, and whether its frame is on the screen.
    std::int32_t cursorCol;
    std::int32_t cursorRow;
    std::int32_t cursorShown;
};

extern GameStateRecord GameState;

// Level tables, indexed by level 1..3; entry 0 is never read.
extern const std::int8_t kBoardSize[4];
extern const std::int8_t kClueMargin[4];
extern const std::int32_t kBombCount[4];
extern const std::int32_t kCellCount[4];

enum ScreenStateValue : std::int8_t {
    Title = 0,
    Playing = 1,
    Exploding = 2,
    Cleared = 3,
    GameOver = 4,
    Busy = 100,
};

extern std::int8_t ScreenState;
