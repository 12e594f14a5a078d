// The game's own random source: a linear congruential generator seeded by the caller.
#pragma once

#include <cstdint>

void SeedRandom(std::uint32_t seed);
int NextRandom();  // 0..32767
