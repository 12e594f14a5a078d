// A new board for the current level: bombs from the random source, then the nonogram clues.
#pragma once

#include <cstdint>

void GeneratePuzzle();

// Both clue tables from bombGrid at the current level; every entry is cleared first.
void ComputeClues();

// Run lengths of the safe cells of one line of n cells, read through a stride, written from
// entry 0 on through outStride; the caller clears the output first.
void ComputeRuns(const char* cells, int stride, int n, std::uint8_t* out, int outStride);
