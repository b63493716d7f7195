#pragma once
// A seal drawn with plain code, the same in every build: a ring 4 pixels
// wide touching 2 pixels from the edge of a 246-pixel square, as the name
// seal's ring lies, and strokes as thick as its characters' (10 pixels) and
// as thin as the date seal's digits (3 of its pixels, 0.2 mm: 5 here). For
// the ink tests and the checksum tool.

#include <cstdint>
#include <vector>

#include "Dib.h"

struct SampleStroke {
  int left, top, right, bottom;  // pixels, right and bottom excluded
  bool Across() const { return right - left > bottom - top; }
};

struct SampleSeal {
  static constexpr int kSide = 246;
  static constexpr int kCentre = 123;
  static constexpr int kOuterRadius = 121;
  static constexpr int kRingWidth = 4;
  static constexpr int kPixelsPerMetre = 26000;
  PackedDib dib;
  std::vector<SampleStroke> strokes;
};

inline std::uint8_t* SamplePixel(PackedDib& dib, int x, int y) {
  const auto stride = static_cast<std::size_t>(DibStride(SampleSeal::kSide, 24));
  return dib.data() + kDibHeaderSize + stride * static_cast<std::size_t>(SampleSeal::kSide - 1 - y) + 3 * x;
}

// colour is 0xRRGGBB.
inline SampleSeal MakeSampleSeal(std::uint32_t colour = 0xFF0000) {
  SampleSeal seal;
  seal.dib = CreateBlankDib(SampleSeal::kSide, SampleSeal::kSide, 3);
  seal.strokes = {{70, 60, 176, 70},  {70, 120, 176, 130}, {70, 180, 176, 190}, {70, 60, 80, 190},
                  {166, 60, 176, 190}, {118, 30, 128, 215}, {95, 140, 100, 176}, {140, 145, 160, 150}};
  const std::uint8_t bgr[3] = {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                               static_cast<std::uint8_t>(colour >> 16)};
  auto inked = [&](int x, int y) {
    const int dx = x - SampleSeal::kCentre, dy = y - SampleSeal::kCentre, r2 = dx * dx + dy * dy;
    constexpr int outer = SampleSeal::kOuterRadius, inner = outer - SampleSeal::kRingWidth;
    if (r2 <= outer * outer && r2 > inner * inner) return true;
    for (const SampleStroke& s : seal.strokes)
      if (x >= s.left && x < s.right && y >= s.top && y < s.bottom) return true;
    return false;
  };
  for (int y = 0; y < SampleSeal::kSide; ++y)
    for (int x = 0; x < SampleSeal::kSide; ++x) {
      std::uint8_t* p = SamplePixel(seal.dib, x, y);
      for (int c = 0; c < 3; ++c) p[c] = inked(x, y) ? bgr[c] : 255;
    }
  return seal;
}
