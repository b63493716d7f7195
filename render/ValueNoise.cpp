#include "ValueNoise.h"

#include <algorithm>

namespace {

// The finaliser of a well-tested integer hash (lowbias32).
std::uint32_t Mix(std::uint32_t h) {
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

// 3f² - 2f³ over 0..4096.
int Smoothstep(int f) { return ((f * f) >> 12) * (3 * NoiseField::kOne - 2 * f) >> 12; }

// Cells beyond this, in 1/256 pixel, are as smooth as a picture can show:
// 2048 pixels, eight times the largest side.
constexpr std::int64_t kMaxCellQ8 = std::int64_t{1} << 19;

}  // namespace

std::uint32_t LatticeHash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  return Mix(static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u ^ seed);
}

std::uint32_t NextRandom(std::uint32_t& state) {
  state += 0x9E3779B9u;
  return Mix(state);
}

// A lattice row is a run of a linear congruential generator seeded by the
// row's hash, two values a step from its upper 24 bits: well mixed, and
// cheap for fine grain.
template <typename Value>
void NoiseField::FillLatticeRow(int j, Value* values) const {
  std::uint32_t state = LatticeHash(0, j, seed_);
  for (int i = 0; i < columns_; i += 2) {
    state = state * 1664525u + 1013904223u;
    values[i] = static_cast<Value>(state >> 20);
    if (i + 1 < columns_) values[i + 1] = static_cast<Value>(state >> 8 & 0xFFFu);
  }
}

NoiseField::NoiseField(int width, int height, std::int64_t cellQ8, std::uint32_t seed) {
  // Blending cells of one pixel or a little more would change nothing a
  // reader sees; each pixel then takes its own lattice value.
  perPixel_ = cellQ8 < 384;
  cellQ8 = perPixel_ ? 256 : std::min(cellQ8, kMaxCellQ8);
  cells_.resize(static_cast<std::size_t>(width) + height);
  weights_.resize(cells_.size());
  axisY_ = width;
  FillAxis(width, cellQ8, 0);
  FillAxis(height, cellQ8, axisY_);
  columns_ = cells_[width - 1] + 2;
  const int rows = cells_[axisY_ + height - 1] + 2;
  seed_ = seed;
  row_.resize(static_cast<std::size_t>(columns_));
  // Per pixel, each row is made when it is selected.
  if (perPixel_) return;
  lattice_.resize(static_cast<std::size_t>(columns_) * rows);
  for (int j = 0; j < rows; ++j) FillLatticeRow(j, &lattice_[static_cast<std::size_t>(j) * columns_]);
}

void NoiseField::SelectRow(int y) {
  const int j = cells_[axisY_ + y], w = weights_[axisY_ + y];
  if (perPixel_) {
    FillLatticeRow(j, row_.data());
    return;
  }
  const std::uint16_t* upper = &lattice_[static_cast<std::size_t>(j) * columns_];
  const std::uint16_t* lower = upper + columns_;
  for (int i = 0; i < columns_; ++i) row_[i] = (upper[i] * (kOne - w) + lower[i] * w) >> 12;
}

// Each pixel is taken at its centre; the cell and the place in it follow
// pixel by pixel without dividing.
void NoiseField::FillAxis(int length, std::int64_t cellQ8, int offset) {
  const int cell = static_cast<int>(cellQ8);
  int index = 128 / cell, within = 128 % cell;
  for (int p = 0; p < length; ++p) {
    cells_[offset + p] = index;
    weights_[offset + p] = Smoothstep(within * kOne / cell);  // within < 2^19: no overflow
    for (within += 256; within >= cell; within -= cell) ++index;
  }
}
