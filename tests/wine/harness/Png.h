#pragma once
// What a PNG file says about itself: its size, pixel format and physical
// size, read from its chunks as a receiving program reads them.

#include <cstdint>
#include <vector>

namespace harness {

struct PngFacts {
  bool valid = false;  // the signature, and an IHDR chunk first
  int width = 0, height = 0;
  int bitDepth = 0, colourType = 0;  // colour type 6: RGB with alpha
  bool hasPhysicalSize = false;      // a pHYs chunk
  long long pixelsPerUnitX = 0, pixelsPerUnitY = 0;
  int unit = 0;  // 1: the metre
};

PngFacts ReadPngFacts(const std::vector<std::uint8_t>& bytes);

}  // namespace harness
