// Sampling, rotation and the hand-pressed ink of arbitrary small packed
// DIBs: the input gives the angle, the enlarge flag and a sample point (which
// also choose the ink's strength, tilt, seed and resolution), then the DIB
// bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Dib.h"
#include "FuzzInput.h"
#include "InkImpression.h"

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

// The 16-colour packing with every colour given an index of its own: the
// result, read back through its table, must be the picture again.
void PackFourBits(const DibView& view) {
  const std::vector<std::uint32_t> colours = DistinctColours(view, 16);
  if (colours.empty()) return;
  std::vector<std::uint8_t> indices(colours.size()), table(64, 0);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    indices[i] = static_cast<std::uint8_t>(i);
    table[4 * i] = static_cast<std::uint8_t>(colours[i]);
    table[4 * i + 1] = static_cast<std::uint8_t>(colours[i] >> 8);
    table[4 * i + 2] = static_cast<std::uint8_t>(colours[i] >> 16);
  }
  const PackedDib packed = PackFourBitDib(view, colours, indices, table);
  const PackedDib back = ConvertDibTo24Bit(DibView(packed));
  const DibView backView(back);
  for (int r = 0; r < view.Height(); ++r)
    for (std::size_t b = 0; b < static_cast<std::size_t>(view.Width()) * 3; ++b)
      if (backView.Row(r)[b] != view.Row(r)[b]) __builtin_trap();
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
  PackFourBits(convertedView);

  const PackedDib rotated = RotateDib(bytes, degrees % 3600, rotateSz & 1);
  const DibView rotatedView(rotated);
  SampleAround(rotatedView, x, y);

  const InkImpression ink{(rotateSz >> 1) & 3, ((rotateSz >> 3) & 1) != 0, static_cast<std::uint32_t>(x)};
  const int pixelsPerMetre = 1 + static_cast<int>(static_cast<std::uint32_t>(degrees) % 100'000);
  const PackedDib pressed = PressInk(bytes, pixelsPerMetre, ink);
  if (!pressed.empty() && !DibView(pressed).Valid()) __builtin_trap();
  return 0;
}
