#pragma once
// Smooth value noise in integer arithmetic: the same seed gives the same
// field on every compiler and processor, which floating-point noise (x87
// against SSE) would not promise.

#include <cstdint>
#include <vector>

// A well-mixed 32-bit hash of a lattice point and a seed.
std::uint32_t LatticeHash(std::int32_t x, std::int32_t y, std::uint32_t seed);

// The next number of a seeded sequence (SplitMix32-like), advancing state.
std::uint32_t NextRandom(std::uint32_t& state);

// A noise field over a width x height pixel grid: random values on a square
// lattice of the given cell size, blended between lattice points with a
// smoothstep, so it varies over about one cell. Values are 0..4095.
class NoiseField {
 public:
  static constexpr int kOne = 4096;

  // cellQ8 is the cell size in 1/256 of a pixel; below one pixel it is one
  // pixel, which makes every pixel's value its own.
  NoiseField(int width, int height, std::int64_t cellQ8, std::uint32_t seed);

  int At(int x, int y) const {
    const int i = cells_[x], j = cells_[axisY_ + y];
    const int wx = weights_[x], wy = weights_[axisY_ + y];
    const std::uint16_t* top = &lattice_[static_cast<std::size_t>(j) * columns_ + i];
    const std::uint16_t* bottom = top + columns_;
    const int upper = (top[0] * (kOne - wx) + top[1] * wx) >> 12;
    const int lower = (bottom[0] * (kOne - wx) + bottom[1] * wx) >> 12;
    return (upper * (kOne - wy) + lower * wy) >> 12;
  }

 private:
  void FillAxis(int length, std::int64_t cellQ8, int offset);

  int axisY_ = 0;
  int columns_ = 0;
  std::vector<int> cells_;    // lattice cell of each column, then of each row
  std::vector<int> weights_;  // smoothstep weight toward the next lattice point
  std::vector<std::uint16_t> lattice_;
};
