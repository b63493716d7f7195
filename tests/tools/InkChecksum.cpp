// Prints a checksum of the hand-pressed impression of the sample seal for
// each strength, tilt, seed and resolution: every build must print the same
// lines (check-ink-checksums compares the Windows build's with the native).
// Usage: ink_checksum

#include <cinttypes>
#include <cstdio>

#include "InkImpression.h"
#include "SampleSeal.h"

namespace {

// FNV-1a over the bytes.
std::uint64_t Checksum(const PackedDib& bytes) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (std::uint8_t b : bytes) hash = (hash ^ b) * 0x100000001B3u;
  return hash;
}

}  // namespace

int main() {
  const SampleSeal seal = MakeSampleSeal(0xC8161D);
  for (int pixelsPerMetre : {26000, 15249})
    for (int strength = 0; strength <= kInkStrong; ++strength)
      for (bool tilt : {false, true})
        for (std::uint32_t seed : {1u, 2026u, 0xDEADBEEFu}) {
          const PackedDib pressed = PressInk(seal.dib, pixelsPerMetre, {strength, tilt, seed});
          std::printf("ppm %d strength %d tilt %d seed %" PRIu32 ": %zu bytes %016" PRIx64 "\n", pixelsPerMetre,
                      strength, tilt ? 1 : 0, seed, pressed.size(), Checksum(pressed));
        }
  return 0;
}
