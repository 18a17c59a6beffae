#include "RandomNumbers.h"

#include <random>

namespace qm {

namespace {
std::mt19937& Generator() {
    static std::mt19937 generator;
    return generator;
}
} // namespace

void SeedRandom(uint32_t seed) {
    Generator().seed(seed);
}

int RandomBelow(int bound) {
    std::uniform_int_distribution<int> distribution(0, bound - 1);
    return distribution(Generator());
}

} // namespace qm
