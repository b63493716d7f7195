// Median time of pressing a seal-sized picture with the hand-pressed ink at
// each strength, with and without the tilt: the work a stamp with the ink
// option adds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "InkImpression.h"
#include "SampleSeal.h"

namespace {

constexpr int kRuns = 100;
const char* const kNames[] = {"tilt only", "light", "medium", "strong"};

double MedianMilliseconds(const SampleSeal& seal, const InkImpression& impression, std::size_t& bytes) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const PackedDib pressed = PressInk(seal.dib, SampleSeal::kPixelsPerMetre, impression);
    const auto stop = std::chrono::steady_clock::now();
    bytes += pressed.size();
    times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[kRuns / 2];
}

}  // namespace

int main() {
  const SampleSeal seal = MakeSampleSeal();
  std::size_t bytes = 0;
  std::printf("hand-pressed ink on a %dx%d seal at %d pixels per metre, %d runs, median:\n", SampleSeal::kSide,
              SampleSeal::kSide, SampleSeal::kPixelsPerMetre, kRuns);
  for (int strength = 0; strength <= kInkStrong; ++strength)
    for (bool tilt : {false, true}) {
      if (strength == 0 && !tilt) continue;
      const double ms = MedianMilliseconds(seal, {strength, tilt, 2026u}, bytes);
      std::printf("  %-9s%s %7.3f ms\n", kNames[strength], tilt && strength ? " + tilt" : "       ", ms);
    }
  return bytes == 0 ? 1 : 0;
}
