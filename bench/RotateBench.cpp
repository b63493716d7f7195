// Median time of tilting a seal-sized picture, the work a stamp with the
// rotation option adds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Dib.h"

namespace {

constexpr int kSide = 250;
constexpr int kDegrees = 7;
constexpr int kRuns = 200;

// A ring-like pattern so the samples are not all alike.
PackedDib SealLikePicture() {
  PackedDib dib = CreateBlankDib(kSide, kSide, 3);
  const DibView view(dib);
  const std::size_t bitsOffset = static_cast<std::size_t>(view.Bits() - dib.data());
  for (std::size_t i = bitsOffset; i < dib.size(); ++i) dib[i] = static_cast<std::uint8_t>(i * 7 % 251);
  return dib;
}

}  // namespace

int main() {
  const PackedDib source = SealLikePicture();
  std::vector<double> milliseconds;
  std::size_t checksum = 0;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const PackedDib turned = RotateDib(source, kDegrees, 1);
    const auto stop = std::chrono::steady_clock::now();
    checksum += turned.size();
    milliseconds.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  std::printf("rotate %dx%d by %d degrees (RotateSz 1), %d runs: median %.3f ms, min %.3f ms, max %.3f ms\n",
              kSide, kSide, kDegrees, kRuns, milliseconds[kRuns / 2], milliseconds.front(),
              milliseconds.back());
  return checksum == 0 ? 1 : 0;
}
