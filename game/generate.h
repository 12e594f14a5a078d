// A new board for the current level: bombs from the random source, then the nonogram clues.
#pragma once

#include <cstdint>

void GeneratePuzzle();

// Run lengths of the safe cells of one line of n cells, read through a stride, written from
// entry 0 on through outStride; the caller clears the output first.
void ComputeRuns(const char* cells, int stride, int n, std::uint8_t* out, int outStride);
