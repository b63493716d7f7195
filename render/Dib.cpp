#include "Dib.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <unordered_set>

namespace {

std::uint32_t GetLe(std::span<const std::uint8_t> bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i) value |= std::uint32_t{bytes[at + i]} << (8 * i);
  return value;
}

void PutLe(std::span<std::uint8_t> bytes, std::size_t at, int size, std::uint32_t value) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

constexpr int kBitCountsByDepthIndex[] = {1, 4, 8, 24};

std::uint32_t MaxColorTableEntries(int bitCount) { return bitCount == 24 ? 256u : 1u << bitCount; }

DibRgb TableColor(const DibView& view, unsigned index) {
  const auto table = view.ColorTable();
  if (std::size_t{index} * 4 + 4 > table.size()) return {};
  const std::uint8_t* entry = table.data() + std::size_t{index} * 4;
  return {entry[2], entry[1], entry[0]};
}

// The colour of column c of a row, whatever the depth.
DibRgb PixelColor(const DibView& view, const std::uint8_t* row, int c) {
  switch (view.BitCount()) {
    case 1: return TableColor(view, (row[c / 8] >> (7 - c % 8)) & 1u);
    case 4: return TableColor(view, (row[c / 2] >> (c % 2 == 0 ? 4 : 0)) & 0xFu);
    case 8: return TableColor(view, row[c]);
    default: {
      const std::uint8_t* pixel = row + std::size_t(c) * 3;
      return {pixel[2], pixel[1], pixel[0]};
    }
  }
}

void StorePixel(std::uint8_t* row, int c, DibRgb color) {
  std::uint8_t* pixel = row + std::size_t(c) * 3;
  pixel[0] = static_cast<std::uint8_t>(std::clamp(color.blue, 0, 255));
  pixel[1] = static_cast<std::uint8_t>(std::clamp(color.green, 0, 255));
  pixel[2] = static_cast<std::uint8_t>(std::clamp(color.red, 0, 255));
}

std::uint8_t* WritableRow(PackedDib& dib, std::size_t stride, int height, int rowFromTop) {
  return dib.data() + kDibHeaderSize + stride * std::size_t(height - rowFromTop - 1);
}

int Lerp(int from, int to, std::int64_t fraction) {
  return from + static_cast<int>(fraction * (to - from) / 1000);
}

DibRgb Lerp(DibRgb from, DibRgb to, std::int64_t fraction) {
  return {Lerp(from.red, to.red, fraction), Lerp(from.green, to.green, fraction),
          Lerp(from.blue, to.blue, fraction)};
}

}  // namespace

bool ReadDibHeader(std::span<const std::uint8_t> bytes, DibHeader& header) {
  if (bytes.size() < kDibHeaderSize) return false;
  header.headerSize = GetLe(bytes, 0, 4);
  header.width = static_cast<std::int32_t>(GetLe(bytes, 4, 4));
  header.height = static_cast<std::int32_t>(GetLe(bytes, 8, 4));
  header.planes = static_cast<std::uint16_t>(GetLe(bytes, 12, 2));
  header.bitCount = static_cast<std::uint16_t>(GetLe(bytes, 14, 2));
  header.compression = GetLe(bytes, 16, 4);
  header.imageSize = GetLe(bytes, 20, 4);
  header.xPixelsPerMetre = static_cast<std::int32_t>(GetLe(bytes, 24, 4));
  header.yPixelsPerMetre = static_cast<std::int32_t>(GetLe(bytes, 28, 4));
  header.colorsUsed = GetLe(bytes, 32, 4);
  header.colorsImportant = GetLe(bytes, 36, 4);
  return true;
}

void WriteDibHeader(const DibHeader& header, std::span<std::uint8_t> bytes) {
  PutLe(bytes, 0, 4, header.headerSize);
  PutLe(bytes, 4, 4, static_cast<std::uint32_t>(header.width));
  PutLe(bytes, 8, 4, static_cast<std::uint32_t>(header.height));
  PutLe(bytes, 12, 2, header.planes);
  PutLe(bytes, 14, 2, header.bitCount);
  PutLe(bytes, 16, 4, header.compression);
  PutLe(bytes, 20, 4, header.imageSize);
  PutLe(bytes, 24, 4, static_cast<std::uint32_t>(header.xPixelsPerMetre));
  PutLe(bytes, 28, 4, static_cast<std::uint32_t>(header.yPixelsPerMetre));
  PutLe(bytes, 32, 4, header.colorsUsed);
  PutLe(bytes, 36, 4, header.colorsImportant);
}

std::int64_t DibStride(int width, int bitCount) {
  const std::int64_t rowBits = std::int64_t{width} * bitCount;
  return rowBits / 32 * 4 + (rowBits % 32 != 0 ? 4 : 0);
}

int DibDepthCode(int bitCount) {
  switch (bitCount) {
    case 1: return 1;
    case 4: return 2;
    case 8: return 3;
    case 24: return 6;
    default: return 0;
  }
}

std::uint32_t DibColorCount(const DibHeader& header) {
  if (header.colorsUsed != 0) return header.colorsUsed;
  switch (header.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

PackedDib CreateBlankDib(int width, int height, int depthIndex) {
  if (depthIndex < 0 || depthIndex > 3) return {};
  if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxDibPixels) return {};
  DibHeader header;
  header.width = width;
  header.height = height;
  header.bitCount = static_cast<std::uint16_t>(kBitCountsByDepthIndex[depthIndex]);
  const std::int64_t imageSize = DibStride(width, header.bitCount) * height;
  header.imageSize = static_cast<std::uint32_t>(imageSize);
  try {
    PackedDib dib(kDibHeaderSize + static_cast<std::size_t>(imageSize), 0);
    WriteDibHeader(header, dib);
    return dib;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

DibView::DibView(std::span<const std::uint8_t> bytes) {
  valid_ = Validate(bytes);
  if (!valid_) {
    stride_ = imageSize_ = 0;
    colorTable_ = {};
    bits_ = nullptr;
  }
}

bool DibView::Validate(std::span<const std::uint8_t> bytes) {
  if (!ReadDibHeader(bytes, header_)) return false;
  const DibHeader& h = header_;
  if (h.headerSize < kDibHeaderSize || h.headerSize > bytes.size()) return false;
  if (h.width <= 0 || h.height <= 0 || std::int64_t{h.width} * h.height > kMaxDibPixels) return false;
  if (DibDepthCode(h.bitCount) == 0 || h.compression != 0) return false;
  const std::uint64_t colors = DibColorCount(h);
  if (colors > MaxColorTableEntries(h.bitCount)) return false;

  // Every size below is bounded by kMaxDibPixels, so none overflows 64 bits.
  const std::uint64_t bitsOffset = h.headerSize + colors * 4;
  const std::uint64_t stride = static_cast<std::uint64_t>(DibStride(h.width, h.bitCount));
  const std::uint64_t rowBytes = stride * static_cast<std::uint64_t>(h.height);
  const std::uint64_t imageSize = h.imageSize != 0 ? h.imageSize : rowBytes;
  if (imageSize < rowBytes || bitsOffset + imageSize > bytes.size()) return false;

  stride_ = static_cast<std::size_t>(stride);
  imageSize_ = static_cast<std::size_t>(imageSize);
  colorTable_ = bytes.subspan(h.headerSize, static_cast<std::size_t>(colors * 4));
  bits_ = bytes.data() + bitsOffset;
  return true;
}

const std::uint8_t* DibView::Row(int rowFromTop) const {
  if (!valid_ || rowFromTop < 0 || rowFromTop >= header_.height) return nullptr;
  return bits_ + stride_ * std::size_t(header_.height - rowFromTop - 1);
}

std::vector<PaletteColor> DibPaletteEntries(const DibView& view) {
  if (!view.Valid() || view.Header().headerSize != kDibHeaderSize) return {};
  const auto table = view.ColorTable();
  std::vector<PaletteColor> palette;
  if (!table.empty()) {
    for (std::size_t at = 0; at + 4 <= table.size(); at += 4)
      palette.push_back({table[at + 2], table[at + 1], table[at], 0});
  } else if (view.BitCount() == 24) {
    for (int i = 0; i < 256; ++i)
      palette.push_back({static_cast<std::uint8_t>(32 * (i % 8)),
                         static_cast<std::uint8_t>(32 * ((i / 8) % 8)),
                         static_cast<std::uint8_t>(64 * (i / 64)), 0});
  }
  return palette;
}

// Neighbours outside the picture take the background; note that for
// -1000 < x < 0 the left neighbour (column 0) counts as outside, so the point
// blends the background with column 1.
bool DibSample(const DibView& view, DibRgb& color, std::int64_t x, std::int64_t y) {
  color = view.Background();
  if (view.BitCount() != 24) return true;
  const std::int64_t width = view.Width(), height = view.Height();
  if (x <= -1000 || y <= -1000 || x >= width * 1000 || y >= height * 1000) return true;

  const int column = static_cast<int>(x / 1000), row = static_cast<int>(y / 1000);
  const std::int64_t fx = (x + 1000) % 1000, fy = (y + 1000) % 1000;
  const std::int64_t lastX = (width - 1) * 1000, lastY = (height - 1) * 1000;
  const bool leftIn = x >= 0 && x <= lastX, rightIn = x + 1000 >= 0 && x + 1000 <= lastX;
  const bool upperIn = y >= 0 && y <= lastY, lowerIn = y + 1000 >= 0 && y + 1000 <= lastY;
  const auto neighbour = [&](bool inside, int c, int r) {
    return inside ? PixelColor(view, view.Row(r), c) : view.Background();
  };

  const DibRgb p00 = neighbour(leftIn && upperIn, column, row);
  if (fx == 0 && fy == 0) {
    color = p00;
  } else if (fx == 0) {
    color = Lerp(p00, neighbour(leftIn && lowerIn, column, row + 1), fy);
  } else if (fy == 0) {
    color = Lerp(p00, neighbour(rightIn && upperIn, column + 1, row), fx);
  } else {
    const DibRgb top = Lerp(p00, neighbour(rightIn && upperIn, column + 1, row), fx);
    const DibRgb bottom = Lerp(neighbour(leftIn && lowerIn, column, row + 1),
                               neighbour(rightIn && lowerIn, column + 1, row + 1), fx);
    color = Lerp(top, bottom, fy);
  }
  return false;
}

PackedDib ConvertDibTo24Bit(const DibView& view) {
  if (!view.Valid()) return {};
  const int width = view.Width(), height = view.Height();
  PackedDib converted = CreateBlankDib(width, height, 3);
  if (converted.empty()) return {};
  const auto stride = static_cast<std::size_t>(DibStride(width, 24));
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* source = view.Row(r);
    std::uint8_t* target = WritableRow(converted, stride, height, r);
    for (int c = 0; c < width; ++c) StorePixel(target, c, PixelColor(view, source, c));
  }
  return converted;
}

namespace {

std::uint32_t PackedRgb(const std::uint8_t* bgr) {
  return (std::uint32_t{bgr[2]} << 16) | (std::uint32_t{bgr[1]} << 8) | bgr[0];
}

}  // namespace

std::vector<std::uint32_t> DistinctColours(const DibView& view, std::size_t limit) {
  if (!view.Valid() || view.BitCount() != 24) return {};
  std::unordered_set<std::uint32_t> seen;
  for (int r = 0; r < view.Height(); ++r) {
    const std::uint8_t* pixel = view.Row(r);
    std::uint32_t last = ~0u;  // runs of one colour are the rule in a seal
    for (int c = 0; c < view.Width(); ++c, pixel += 3) {
      const std::uint32_t rgb = PackedRgb(pixel);
      if (rgb == last) continue;
      last = rgb;
      if (seen.insert(rgb).second && seen.size() > limit) return {};
    }
  }
  std::vector<std::uint32_t> colours(seen.begin(), seen.end());
  std::sort(colours.begin(), colours.end());
  return colours;
}

PackedDib PackFourBitDib(const DibView& view, std::span<const std::uint32_t> colours,
                         std::span<const std::uint8_t> indices, std::span<const std::uint8_t> colourTable) {
  constexpr std::size_t kTableBytes = 16 * 4;
  if (!view.Valid() || view.BitCount() != 24 || colours.size() != indices.size() ||
      colourTable.size() != kTableBytes)
    return {};
  const int width = view.Width(), height = view.Height();
  const auto stride = static_cast<std::size_t>(DibStride(width, 4));
  DibHeader header;
  header.width = width;
  header.height = height;
  header.bitCount = 4;
  header.imageSize = static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height));
  PackedDib dib(kDibHeaderSize + kTableBytes + header.imageSize, 0);
  WriteDibHeader(header, dib);
  std::copy(colourTable.begin(), colourTable.end(), dib.begin() + kDibHeaderSize);
  std::uint8_t* bits = dib.data() + kDibHeaderSize + kTableBytes;
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* pixel = view.Row(r);
    std::uint8_t* target = bits + stride * static_cast<std::size_t>(height - r - 1);
    std::uint32_t lastRgb = ~0u;
    std::uint8_t lastIndex = 0;
    for (int c = 0; c < width; ++c, pixel += 3) {
      const std::uint32_t rgb = PackedRgb(pixel);
      if (rgb != lastRgb) {
        const auto found = std::lower_bound(colours.begin(), colours.end(), rgb);
        if (found == colours.end() || *found != rgb) return {};
        lastIndex = indices[static_cast<std::size_t>(found - colours.begin())];
        if (lastIndex > 15) return {};
        lastRgb = rgb;
      }
      target[c / 2] |= static_cast<std::uint8_t>(c % 2 == 0 ? lastIndex << 4 : lastIndex);
    }
  }
  return dib;
}

namespace {

struct Rotation {
  double sine = 0, cosine = 1;
  int k = 0;  // sample points step back one thousandth when turned
};

// The angle as the stamping code has always computed it, with pi as 3.1415.
Rotation RotationFor(int degrees) {
  const double phi = degrees * (1.0 / 180) * 3.1415;
  return {std::sin(phi), std::cos(phi), degrees != 0 ? 1 : 0};
}

struct Size {
  int width = 0, height = 0;
};

// The size of the turned picture: the bounding box of the turned corners
// when rotateSz is set, else the source size. Width 0 means refused.
Size RotatedSize(int width, int height, const Rotation& turn, int rotateSz) {
  if (rotateSz == 0) return {width, height};
  const double cornersX[] = {0.0, width * turn.cosine, width * turn.cosine - height * turn.sine,
                             -height * turn.sine};
  const double cornersY[] = {0.0, width * turn.sine, width * turn.sine + height * turn.cosine,
                             height * turn.cosine};
  const auto [minX, maxX] = std::minmax_element(std::begin(cornersX), std::end(cornersX));
  const auto [minY, maxY] = std::minmax_element(std::begin(cornersY), std::end(cornersY));
  const double newWidth = std::trunc(*maxX - *minX), newHeight = std::trunc(*maxY - *minY);
  const auto limit = static_cast<double>(kMaxDibPixels);
  if (!(newWidth >= 1 && newHeight >= 1 && newWidth * newHeight <= limit)) return {};
  return {static_cast<int>(newWidth), static_cast<int>(newHeight)};
}

// A mapped coordinate in thousandths of a pixel; points too far out to
// convert are given a value DibSample rejects.
std::int64_t SampleCoordinate(double pixels, int k) {
  const double thousandths = pixels * 1000;
  if (!(thousandths > -1e15 && thousandths < 1e15)) return -1000;
  return static_cast<std::int64_t>(thousandths) - k;
}

void RenderRotated(const DibView& source, const Rotation& turn, PackedDib& target, Size size) {
  const double sx0 = source.Width() / 2, sy0 = source.Height() / 2;
  const int dx0 = size.width / 2, dy0 = size.height / 2;
  const auto stride = static_cast<std::size_t>(DibStride(size.width, 24));
  const double s = turn.sine, c = turn.cosine;
  for (int i = 0; i < size.height; ++i) {
    std::uint8_t* row = WritableRow(target, stride, size.height, i);
    const double v = i - dy0;
    for (int j = 0; j < size.width; ++j) {
      const double u = j - dx0;
      DibRgb color;
      DibSample(source, color, SampleCoordinate(u * c - v * s + sx0, turn.k),
                SampleCoordinate(u * s + v * c + sy0, turn.k));
      StorePixel(row, j, color);
    }
  }
}

PackedDib RotateValidDib(const DibView& view, int degrees, int rotateSz) {
  const Rotation turn = RotationFor(degrees);
  const Size size = RotatedSize(view.Width(), view.Height(), turn, rotateSz);
  if (size.width == 0) return {};

  PackedDib converted;
  if (view.BitCount() != 24) {
    converted = ConvertDibTo24Bit(view);
    if (converted.empty()) return {};
  }
  DibView source(converted.empty() ? view : DibView(converted));
  source.SetBackground({255, 255, 255});

  PackedDib target = CreateBlankDib(size.width, size.height, 3);
  if (target.empty()) return {};
  RenderRotated(source, turn, target, size);
  return target;
}

}  // namespace

PackedDib RotateDib(const PackedDib& source, int degrees, int rotateSz) {
  const DibView view(source);
  if (!view.Valid()) return {};
  try {
    return RotateValidDib(view, degrees, rotateSz);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::vector<std::uint8_t> InkOnTransparent(const PackedDib& sealOnWhite) {
  const DibView view(sealOnWhite);
  if (!view.Valid() || view.BitCount() != 24) return {};
  const int width = view.Width(), height = view.Height();
  // How far each pixel is from white: its palest channel's distance.
  auto inkOf = [](const std::uint8_t* p) { return 255 - std::min({p[0], p[1], p[2]}); };
  int strongest = 0;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = view.Row(y);
    for (int x = 0; x < width; ++x) strongest = std::max(strongest, inkOf(row + 3 * x));
  }
  std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width) * height * 4, 0);
  if (strongest == 0) return bgra;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = view.Row(y);
    std::uint8_t* out = bgra.data() + static_cast<std::size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, in += 3, out += 4) {
      const int ink = inkOf(in);
      if (ink == 0) continue;
      const int alpha = std::min(255, (ink * 255 + strongest / 2) / strongest);
      // The colour that, laid on white with this coverage, gives the pixel.
      for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>(std::clamp(255 - ((255 - in[c]) * 255 + alpha / 2) / alpha, 0, 255));
      out[3] = static_cast<std::uint8_t>(alpha);
    }
  }
  return bgra;
}
