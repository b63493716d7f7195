// A bitmap seal file: the .bmp bytes past the 14-byte file header are read
// as a packed DIB and brought to 24 bits, as stamping the file named by
// Bitmap1 does, then tilted in the work image.

#include <cstddef>
#include <cstdint>
#include <span>

#include "Clock.h"
#include "Dib.h"
#include "RecordingCanvas.h"
#include "Records.h"

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr int kMaxTiltedSide = 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kFileHeader + kDibHeaderSize || data[0] != 'B' || data[1] != 'M') return 0;
  const DibView view(std::span<const std::uint8_t>(data + kFileHeader, size - kFileHeader));
  if (!view.Valid()) return 0;
  const PackedDib dib = ConvertDibTo24Bit(view);
  if (dib.empty() || view.Width() > kMaxTiltedSide || view.Height() > kMaxTiltedSide) return 0;

  // Bytes 6..9 of the file header are reserved: they choose the tilt here.
  OptionSettings.Rotate = 1;
  OptionSettings.RotateAngle = static_cast<std::int8_t>(data[6]);
  OptionSettings.RotateSz = data[7] & 1;
  MemoryWorkImage image;
  image.SetBitmapFromDib(dib);
  ApplySealRotation(image, FixedClock({2024, 1, 1}, data[8]));
  return 0;
}
