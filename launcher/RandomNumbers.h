#pragma once
// The program's pseudo-random generator, seeded once at start-up.
#include <cstdint>

namespace qm {

void SeedRandom(uint32_t seed);
// A number from 0 to bound - 1, evenly spread.
int RandomBelow(int bound);

} // namespace qm
