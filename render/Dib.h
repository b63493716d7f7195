#pragma once
// Packed device-independent bitmaps held as bytes, and the seal rotation built
// on them. A packed DIB is a BITMAPINFOHEADER, the colour table (if any) and
// the rows, bottom row first, each row padded to a multiple of 4 bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "WorkImage.h"

class Clock;

inline constexpr std::uint32_t kDibHeaderSize = 40;

// Pictures over this many pixels are refused: 100 million pixels is a
// 300 MB 24-bit picture, far beyond any seal, and keeps every size in range.
inline constexpr std::int64_t kMaxDibPixels = 100'000'000;

// The BITMAPINFOHEADER fields, little-endian in the bytes.
struct DibHeader {
  std::uint32_t headerSize = kDibHeaderSize;
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: rows stored bottom-up
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;  // 0: uncompressed
  std::uint32_t imageSize = 0;
  std::int32_t xPixelsPerMetre = 0;
  std::int32_t yPixelsPerMetre = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t colorsImportant = 0;
};

// Reads the 40 header bytes at the start; false when there are fewer.
bool ReadDibHeader(std::span<const std::uint8_t> bytes, DibHeader& header);
void WriteDibHeader(const DibHeader& header, std::span<std::uint8_t> bytes);

// Bytes per row: whole 32-bit words, plus one more for a partial word.
std::int64_t DibStride(int width, int bitCount);

// The platform's pixel-format numbering: 1, 2, 3, 6 for 1, 4, 8, 24 bits;
// 0 for any other bit count.
int DibDepthCode(int bitCount);

// Colour-table entries: the header's colour-used count when nonzero, else
// 2, 16 or 256 for 1, 4 or 8 bits, else 0.
std::uint32_t DibColorCount(const DibHeader& header);

// A zero-filled DIB without colour table; depthIndex 0..3 = 1, 4, 8, 24 bits.
// Empty when the size is not 1..kMaxDibPixels pixels, the depth index is
// unknown, or the memory is not there.
PackedDib CreateBlankDib(int width, int height, int depthIndex);

struct DibRgb {
  int red = 0, green = 0, blue = 0;
  bool operator==(const DibRgb&) const = default;
};

// A checked reader over packed-DIB bytes, which must outlive it. A header
// that does not describe a supported picture lying wholly inside the bytes
// (40 or more header bytes, positive width and height within kMaxDibPixels,
// 1, 4, 8 or 24 bits, uncompressed, a colour table of at most 2^bits entries
// or 256, rows and image size within the bytes) makes the view invalid, and
// an invalid view reports zero sizes and no pixels.
class DibView {
 public:
  explicit DibView(std::span<const std::uint8_t> bytes);
  // A view must not outlive its bytes.
  explicit DibView(PackedDib&&) = delete;

  bool Valid() const { return valid_; }
  const DibHeader& Header() const { return header_; }
  int Width() const { return valid_ ? header_.width : 0; }
  int Height() const { return valid_ ? header_.height : 0; }
  std::int64_t PixelCount() const { return std::int64_t{Width()} * Height(); }
  int BitCount() const { return valid_ ? header_.bitCount : 0; }
  int DepthCode() const { return DibDepthCode(BitCount()); }
  std::size_t Stride() const { return stride_; }
  // The header's image size, or stride x height when that is 0.
  std::size_t ImageSize() const { return imageSize_; }
  std::size_t PaletteBytes() const { return colorTable_.size(); }
  // Blue, green, red, reserved per entry.
  std::span<const std::uint8_t> ColorTable() const { return colorTable_; }
  const std::uint8_t* Bits() const { return bits_; }
  // Row 0 is the picture's top row, the last row in memory.
  const std::uint8_t* Row(int rowFromTop) const;
  const std::uint8_t* TopRow() const { return Row(0); }

  // The colour DibSample gives for points outside the picture.
  DibRgb Background() const { return background_; }
  void SetBackground(DibRgb color) { background_ = color; }

 private:
  bool Validate(std::span<const std::uint8_t> bytes);

  bool valid_ = false;
  DibHeader header_;
  std::size_t stride_ = 0;
  std::size_t imageSize_ = 0;
  std::span<const std::uint8_t> colorTable_;
  const std::uint8_t* bits_ = nullptr;
  DibRgb background_;
};

struct PaletteColor {
  std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
  bool operator==(const PaletteColor&) const = default;
};

// The logical palette a DIB brings: its colour table, or for a 24-bit DIB
// without one a fixed 256-colour cube; none for other headers than the
// 40-byte one.
std::vector<PaletteColor> DibPaletteEntries(const DibView& view);

// Samples a 24-bit view at (x, y) in thousandths of a pixel, with integer
// bilinear interpolation toward the neighbours right of and below the point.
// Returns true, with the background colour, when the point is rejected: a
// view of another depth, or x or y at or beyond -1000 or the picture's edge.
bool DibSample(const DibView& view, DibRgb& color, std::int64_t x, std::int64_t y);

// The same picture at 24 bits without colour table; an index beyond the
// table reads black. Empty for an invalid view or when memory runs out.
PackedDib ConvertDibTo24Bit(const DibView& view);

// A seal drawn on white as 32-bit top-down BGRA with straight alpha: the
// strongest ink opaque, white transparent, and every pixel between in the
// ink's own colour with the coverage that lays it on white as drawn. Empty
// for a view that is not 24 bits.
std::vector<std::uint8_t> InkOnTransparent(const PackedDib& sealOnWhite);

// The distinct colours of a 24-bit view as 0xRRGGBB, in ascending order;
// empty for another depth or when there are more than limit of them.
std::vector<std::uint32_t> DistinctColours(const DibView& view, std::size_t limit);

// The 24-bit view at 4 bits per pixel: each pixel takes the index that
// indices gives its colour in colours (ascending, as DistinctColours returns
// them), with colourTable (16 entries of blue, green, red, reserved) after
// the header. Empty for another depth, lists of different lengths, a table of
// another size, a pixel whose colour is not listed or an index beyond 15.
PackedDib PackFourBitDib(const DibView& view, std::span<const std::uint32_t> colours,
                         std::span<const std::uint8_t> indices, std::span<const std::uint8_t> colourTable);

// The picture turned counter-clockwise by degrees, always at 24 bits; with
// rotateSz nonzero enlarged to hold the turned corners. Empty when the source
// is invalid or the result would be too large or cannot be allocated.
PackedDib RotateDib(const PackedDib& source, int degrees, int rotateSz);

// Replaces the image's bitmap with the rotated one (size by
// OptionSettings.RotateSz); on any failure the picture stays as it is.
void RotateWorkImage(WorkImage& image, int degrees);

// The tilt of a freshly drawn seal by OptionSettings.Rotate: 0 none, 1 by
// -RotateAngle, anything else a random angle from -15 to 14 seeded by the time.
void ApplySealRotation(WorkImage& image, const Clock& clock);
