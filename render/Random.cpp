#include "Random.h"

namespace {

constexpr std::uint32_t kMultiplier = 22695477u;

std::uint32_t Advance(std::uint32_t state) { return state * kMultiplier + 1u; }

// Drawing before any seeding gives the sequence of seed 1, as with the C
// runtime's rand().
std::uint32_t generatorState = Advance(1u);

}  // namespace

void CrtSrand(std::uint32_t seed) { generatorState = Advance(seed); }

int CrtRand() {
  generatorState = Advance(generatorState);
  return static_cast<int>((generatorState >> 16) & 0x7FFFu);
}
