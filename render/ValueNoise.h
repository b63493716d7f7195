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
// smoothstep, so it varies over about one cell. Values are 0..4095. It is
// read a row at a time: SelectRow blends the lattice down to the row once,
// and At then costs one blend.
class NoiseField {
 public:
  static constexpr int kOne = 4096;

  // cellQ8 is the cell size in 1/256 of a pixel; below one and a half
  // pixels it is one pixel, which makes every pixel's value its own.
  NoiseField(int width, int height, std::int64_t cellQ8, std::uint32_t seed);

  void SelectRow(int y);
  int At(int x) const {
    if (perPixel_) return row_[x];
    const int i = cells_[x], w = weights_[x];
    return (row_[i] * (kOne - w) + row_[i + 1] * w) >> 12;
  }

 private:
  void FillAxis(int length, std::int64_t cellQ8, int offset);
  template <typename Value>
  void FillLatticeRow(int j, Value* values) const;

  int axisY_ = 0;
  int columns_ = 0;
  std::vector<int> cells_;    // lattice cell of each column, then of each row
  std::vector<int> weights_;  // smoothstep weight toward the next lattice point
  std::vector<std::uint16_t> lattice_;
  std::vector<int> row_;      // the lattice blended down to the selected row
  std::uint32_t seed_ = 0;
  bool perPixel_ = false;  // cells of one pixel: the row is the lattice's own
};
