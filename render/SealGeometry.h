#pragma once
// Arithmetic shared by the seal renderers. Stored sizes come from the
// registry and may be anything; layout is worked in 64 bits and clamped to
// the int range only where it meets the canvas.

#include <cstdint>
#include <limits>

constexpr int ClampToInt(std::int64_t v) {
  return v > std::numeric_limits<int>::max()   ? std::numeric_limits<int>::max()
         : v < std::numeric_limits<int>::min() ? std::numeric_limits<int>::min()
                                               : static_cast<int>(v);
}

// A picture side of 2·S + k·L + 4 pixels.
constexpr int SealSide(std::int64_t stampSize, std::int64_t lineWidth, int lineWidths) {
  return ClampToInt(2 * stampSize + lineWidths * lineWidth + 4);
}

// The stamp resolution in pixels per metre: base x 100 / RezoHosei, a
// correction of zero or less counting as none; at least 1.
constexpr int StampResolution(std::int64_t base, std::int64_t rezoHosei) {
  const std::int64_t resolution = base * 100 / (rezoHosei > 0 ? rezoHosei : 100);
  return resolution < 1 ? 1 : ClampToInt(resolution);
}
