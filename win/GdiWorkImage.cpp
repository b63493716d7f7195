#include "GdiWorkImage.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "Dib.h"

namespace {

bool AcceptableSize(int width, int height) {
  return width > 0 && height > 0 && width <= GdiWorkImage::kMaxSide && height <= GdiWorkImage::kMaxSide &&
         static_cast<long long>(width) * height <= GdiWorkImage::kMaxPixels;
}

BITMAPINFOHEADER Header24(int width, int height) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = BI_RGB;
  return h;
}

std::size_t Stride24(int width) { return (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4; }

constexpr int kHundredthsOfMmPerInch = 2540;

// Logical units of a recording are reference pixels: the mapping lays them
// onto the reference device (the screen) at its own millimetres per pixel,
// the scale its header records and every reader applies. So the bounds,
// counted in the device's pixels, agree with the frame on any screen.
void MapReferencePixels(HDC recording) {
  const int pixelsX = GetDeviceCaps(recording, HORZRES), pixelsY = GetDeviceCaps(recording, VERTRES);
  const int millimetresX = GetDeviceCaps(recording, HORZSIZE), millimetresY = GetDeviceCaps(recording, VERTSIZE);
  if (pixelsX <= 0 || pixelsY <= 0 || millimetresX <= 0 || millimetresY <= 0) return;
  // Device pixels per reference pixel: (25.4 / 96 mm) * (pixels / millimetres).
  SetMapMode(recording, MM_ANISOTROPIC);
  SetWindowExtEx(recording, millimetresX * 10 * GdiWorkImage::kReferencePixelsPerInch,
                 millimetresY * 10 * GdiWorkImage::kReferencePixelsPerInch, nullptr);
  SetViewportExtEx(recording, pixelsX * 254, pixelsY * 254, nullptr);
}

}  // namespace

UniqueHbitmap CreateWhiteBitmap(int width, int height) {
  if (!AcceptableSize(width, height)) return {};
  BITMAPINFO info{};
  info.bmiHeader = Header24(width, height);
  void* bits = nullptr;
  UniqueHbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap && bits) std::memset(bits, 0xFF, Stride24(width) * static_cast<std::size_t>(height));
  return bitmap;
}

GdiWorkImage::~GdiWorkImage() {
  DropRecording();
  DropBitmap();
}

void GdiWorkImage::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void GdiWorkImage::SelectBitmap(UniqueHbitmap bitmap, int width, int height) {
  if (!bitmapDc_) {
    bitmapDc_.reset(CreateCompatibleDC(nullptr));
    originalBitmap_ = GetCurrentObject(bitmapDc_.get(), OBJ_BITMAP);
  }
  if (bitmap) {
    SelectObject(bitmapDc_.get(), bitmap.get());
  } else {
    SelectObject(bitmapDc_.get(), originalBitmap_);
    width = height = 0;
  }
  bitmap_ = std::move(bitmap);  // the old bitmap is no longer selected
  bitmapWidth_ = width;
  bitmapHeight_ = height;
}

void GdiWorkImage::DropBitmap() {
  bitmapCanvas_.reset();
  if (bitmapDc_) SelectObject(bitmapDc_.get(), originalBitmap_);
  bitmap_.reset();
  bitmapDc_.reset();
}

Canvas& GdiWorkImage::BitmapCanvas() {
  if (!bitmapCanvas_) {
    // A refused size leaves the picture empty and the drawing goes nowhere.
    SelectBitmap(CreateWhiteBitmap(width_, height_), width_, height_);
    if (bitmap_)
      bitmapCanvas_ = std::make_unique<GdiCanvas>(bitmapDc_.get());
    else
      bitmapCanvas_ = std::make_unique<NullCanvas>();
  }
  return *bitmapCanvas_;
}

void GdiWorkImage::DropRecording() {
  recordingCanvas_.reset();
  if (recordingDc_) DeleteEnhMetaFile(CloseEnhMetaFile(recordingDc_));
  recordingDc_ = nullptr;
}

SIZE GdiWorkImage::PixelsFor(SIZE hundredthsOfMm) {
  return {MulDiv(hundredthsOfMm.cx, kReferencePixelsPerInch, kHundredthsOfMmPerInch),
          MulDiv(hundredthsOfMm.cy, kReferencePixelsPerInch, kHundredthsOfMmPerInch)};
}

SIZE GdiWorkImage::FrameFor(int width, int height) {
  return {MulDiv(width, kHundredthsOfMmPerInch, kReferencePixelsPerInch),
          MulDiv(height, kHundredthsOfMmPerInch, kReferencePixelsPerInch)};
}

int GdiWorkImage::ReferencePixelsPerMetre() { return MulDiv(kReferencePixelsPerInch, 100000, kHundredthsOfMmPerInch); }

Canvas& GdiWorkImage::BeginMetafile(int width, int height) {
  return BeginMetafile(width, height, AcceptableSize(width, height) ? FrameFor(width, height) : SIZE{0, 0});
}

Canvas& GdiWorkImage::BeginMetafile(int width, int height, SIZE frameSize) {
  DropRecording();
  metafile_.reset();
  width_ = width;
  height_ = height;
  // The screen is the reference device: without one the platform opens a
  // display device of its own for every recording, which costs more than
  // the drawing.
  const UniqueScreenDc screen(GetDC(nullptr));
  const RECT frame{0, 0, frameSize.cx, frameSize.cy};
  recordingDc_ = CreateEnhMetaFileW(screen.get(), nullptr, &frame, nullptr);
  if (recordingDc_ && AcceptableSize(width, height)) {
    MapReferencePixels(recordingDc_);
    recordingCanvas_ = std::make_unique<GdiCanvas>(recordingDc_);
  } else {
    recordingCanvas_ = std::make_unique<NullCanvas>();
  }
  return *recordingCanvas_;
}

void GdiWorkImage::EndMetafile() {
  if (!recordingDc_) return;
  recordingCanvas_.reset();
  metafile_.reset(CloseEnhMetaFile(recordingDc_));
  recordingDc_ = nullptr;
}

PackedDib GdiWorkImage::BitmapAsDib24() { return BitmapAsDib(24); }

namespace {

// More distinct colours than this, or a larger picture (whose 24-bit copy
// would cost more memory than the conversion saves time), and the platform
// converts every pixel.
constexpr std::size_t kMaxProbedColours = 4096;
constexpr long long kMaxProbedPixels = 4'000'000;

// The 4-bit index the platform gives each colour, and its colour table:
// the colours as one row of a 24-bit bitmap, converted as a picture is.
bool ProbeFourBitIndices(std::span<const std::uint32_t> colours, std::vector<std::uint8_t>& indices,
                         std::vector<std::uint8_t>& table) {
  const int width = static_cast<int>(colours.size());
  BITMAPINFO probeInfo{};
  probeInfo.bmiHeader = Header24(width, 1);
  void* probeBits = nullptr;
  UniqueHbitmap probe(CreateDIBSection(nullptr, &probeInfo, DIB_RGB_COLORS, &probeBits, nullptr, 0));
  if (!probe || !probeBits) return false;
  auto* pixel = static_cast<std::uint8_t*>(probeBits);
  for (const std::uint32_t rgb : colours) {
    *pixel++ = static_cast<std::uint8_t>(rgb);
    *pixel++ = static_cast<std::uint8_t>(rgb >> 8);
    *pixel++ = static_cast<std::uint8_t>(rgb >> 16);
  }
  GdiFlush();
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD));
  BITMAPINFOHEADER header = Header24(width, 1);
  header.biBitCount = 4;
  std::memcpy(info.data(), &header, sizeof header);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(DibStride(width, 4)));
  const UniqueScreenDc screen(GetDC(nullptr));
  if (GetDIBits(screen.get(), probe.get(), 0, 1, row.data(), reinterpret_cast<BITMAPINFO*>(info.data()),
                DIB_RGB_COLORS) != 1)
    return false;
  indices.resize(colours.size());
  for (std::size_t c = 0; c < colours.size(); ++c) indices[c] = (row[c / 2] >> (c % 2 == 0 ? 4 : 0)) & 0xF;
  table.assign(info.begin() + sizeof(BITMAPINFOHEADER), info.end());
  return true;
}

}  // namespace

PackedDib GdiWorkImage::BitmapAsDib(int bitCount) {
  if (bitCount != 4 || static_cast<long long>(bitmapWidth_) * bitmapHeight_ > kMaxProbedPixels)
    return BitmapAsDibPixelByPixel(bitCount);
  // Mapping each pixel to the nearest of sixteen colours is a search per
  // pixel on some platforms; a seal has a handful of colours.
  const PackedDib full = BitmapAsDibPixelByPixel(24);
  const DibView view(full);
  const std::vector<std::uint32_t> colours = DistinctColours(view, kMaxProbedColours);
  std::vector<std::uint8_t> indices, table;
  if (!colours.empty() && ProbeFourBitIndices(colours, indices, table))
    if (PackedDib packed = PackFourBitDib(view, colours, indices, table); !packed.empty()) return packed;
  return BitmapAsDibPixelByPixel(4);
}

PackedDib GdiWorkImage::BitmapAsDibPixelByPixel(int bitCount) {
  if (!bitmap_ || bitmapWidth_ <= 0 || bitmapHeight_ <= 0) return {};
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return {};
  GdiFlush();
  const std::size_t colors = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
  const std::size_t stride = (static_cast<std::size_t>(bitmapWidth_) * bitCount + 31) / 32 * 4;
  const std::size_t imageSize = stride * static_cast<std::size_t>(bitmapHeight_);
  const std::size_t headerBytes = sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);
  // BITMAPINFO with room for the colour table GetDIBits fills in.
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  BITMAPINFOHEADER header = Header24(bitmapWidth_, bitmapHeight_);
  header.biBitCount = static_cast<WORD>(bitCount);
  header.biSizeImage = static_cast<DWORD>(imageSize);
  std::memcpy(info.data(), &header, sizeof header);
  PackedDib dib(headerBytes + imageSize);
  // GetDIBits wants the bitmap out of any DC while it reads.
  SelectObject(bitmapDc_.get(), originalBitmap_);
  const UniqueScreenDc screen(GetDC(nullptr));
  const int rows = GetDIBits(screen.get(), bitmap_.get(), 0, static_cast<UINT>(bitmapHeight_),
                             dib.data() + headerBytes, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  SelectObject(bitmapDc_.get(), bitmap_.get());
  if (rows == 0) return {};
  std::memcpy(info.data(), &header, sizeof header);  // keep our own header fields
  std::memcpy(dib.data(), info.data(), headerBytes);
  return dib;
}

bool GdiWorkImage::ChangeDepth(int bitCount) {
  if (bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
  const PackedDib dib = BitmapAsDib(bitCount);
  if (dib.empty()) return false;
  void* bits = nullptr;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
  UniqueHbitmap bitmap(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return false;
  const std::size_t colors = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
  const std::size_t offset = sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);
  std::memcpy(bits, dib.data() + offset, dib.size() - offset);
  AdoptBitmap(std::move(bitmap), bitmapWidth_, bitmapHeight_);
  return true;
}

void GdiWorkImage::AdoptBitmap(UniqueHbitmap bitmap, int width, int height) {
  bitmapCanvas_.reset();
  SelectBitmap(std::move(bitmap), width, height);
  bitmapCanvas_ = std::make_unique<GdiCanvas>(bitmapDc_.get());
  width_ = width;
  height_ = height;
}

void GdiWorkImage::SetBitmapFromDib(const PackedDib& dib) {
  BITMAPINFOHEADER header{};
  if (dib.size() < sizeof header) return;
  std::memcpy(&header, dib.data(), sizeof header);
  const int width = header.biWidth, height = header.biHeight;
  if (header.biSize != sizeof header || header.biBitCount != 24 || header.biCompression != BI_RGB ||
      !AcceptableSize(width, height))
    return;
  const std::size_t imageSize = Stride24(width) * static_cast<std::size_t>(height);
  if (dib.size() < sizeof header + imageSize) return;
  UniqueHbitmap bitmap = CreateWhiteBitmap(width, height);
  if (!bitmap) return;
  DIBSECTION section{};
  GetObjectW(bitmap.get(), sizeof section, &section);
  std::memcpy(section.dsBm.bmBits, dib.data() + sizeof header, imageSize);
  AdoptBitmap(std::move(bitmap), width, height);
}
