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
int Smoothstep(std::int64_t f) {
  return static_cast<int>(f * f * (3 * NoiseField::kOne - 2 * f) / (std::int64_t{NoiseField::kOne} * NoiseField::kOne));
}

}  // namespace

std::uint32_t LatticeHash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  return Mix(static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ Mix(static_cast<std::uint32_t>(y) * 0x85EBCA77u ^ seed));
}

std::uint32_t NextRandom(std::uint32_t& state) {
  state += 0x9E3779B9u;
  return Mix(state);
}

NoiseField::NoiseField(int width, int height, std::int64_t cellQ8, std::uint32_t seed) {
  cellQ8 = std::max<std::int64_t>(cellQ8, 256);
  cells_.resize(static_cast<std::size_t>(width) + height);
  weights_.resize(cells_.size());
  axisY_ = width;
  FillAxis(width, cellQ8, 0);
  FillAxis(height, cellQ8, axisY_);
  columns_ = cells_[width - 1] + 2;
  const int rows = cells_[axisY_ + height - 1] + 2;
  lattice_.resize(static_cast<std::size_t>(columns_) * rows);
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns_; ++i)
      lattice_[static_cast<std::size_t>(j) * columns_ + i] = static_cast<std::uint16_t>(LatticeHash(i, j, seed) >> 20);
}

// Each pixel is taken at its centre.
void NoiseField::FillAxis(int length, std::int64_t cellQ8, int offset) {
  for (int p = 0; p < length; ++p) {
    const std::int64_t position = std::int64_t{p} * 256 + 128;
    cells_[offset + p] = static_cast<int>(position / cellQ8);
    weights_[offset + p] = Smoothstep(position % cellQ8 * kOne / cellQ8);
  }
}
