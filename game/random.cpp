// The game's own random source: a linear congruential generator seeded by the caller.
#include "game/random.h"

namespace {
std::uint32_t state = 1;
}

void SeedRandom(std::uint32_t seed) { state = seed; }

int NextRandom() {
    state = state * 22695477u + 1u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}
