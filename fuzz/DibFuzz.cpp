// Sampling and rotation of arbitrary small packed DIBs: the input gives the
// angle, the enlarge flag and a sample point, then the DIB bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Dib.h"
#include "FuzzInput.h"

namespace {

// Rotation output grows with the square of the diagonal; larger pictures
// only make the runs slow without reaching other code.
constexpr int kMaxFuzzSide = 256;

void SampleAround(const DibView& view, std::int64_t x, std::int64_t y) {
  DibRgb color;
  DibSample(view, color, x, y);
  DibSample(view, color, x % 4'000'000, y % 4'000'000);
  DibSample(view, color, std::int64_t{view.Width()} * 1000 - 1, std::int64_t{view.Height()} * 1000 - 1);
  DibSample(view, color, -999, -999);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const auto degrees = input.Take<std::int32_t>();
  const auto rotateSz = input.Take<std::uint8_t>();
  const auto x = input.Take<std::int64_t>();
  const auto y = input.Take<std::int64_t>();
  const std::vector<std::uint8_t> bytes(input.Rest().begin(), input.Rest().end());

  const DibView view(bytes);
  DibPaletteEntries(view);
  SampleAround(view, x, y);
  if (!view.Valid() || view.Width() > kMaxFuzzSide || view.Height() > kMaxFuzzSide) return 0;

  const PackedDib converted = ConvertDibTo24Bit(view);
  const DibView convertedView(converted);
  SampleAround(convertedView, x, y);

  const PackedDib rotated = RotateDib(bytes, degrees % 3600, rotateSz & 1);
  const DibView rotatedView(rotated);
  SampleAround(rotatedView, x, y);
  return 0;
}
