#include "Pixels.h"

#include <cstring>

#include "GdiWorkImage.h"

namespace harness {

int DibWidth(const PackedDib& dib) {
  BITMAPINFOHEADER h{};
  if (dib.size() < sizeof h) return 0;
  std::memcpy(&h, dib.data(), sizeof h);
  return h.biWidth;
}

int DibHeight(const PackedDib& dib) {
  BITMAPINFOHEADER h{};
  if (dib.size() < sizeof h) return 0;
  std::memcpy(&h, dib.data(), sizeof h);
  return h.biHeight;
}

Rgb PixelAt(const PackedDib& dib, int x, int y) {
  const int width = DibWidth(dib), height = DibHeight(dib);
  if (x < 0 || y < 0 || x >= width || y >= height) return {};
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  const std::size_t at = 40 + stride * static_cast<std::size_t>(height - 1 - y) + static_cast<std::size_t>(x) * 3;
  if (at + 3 > dib.size()) return {};
  return {dib[at + 2], dib[at + 1], dib[at]};
}

PackedDib PlayIntoDib(HENHMETAFILE emf, int width, int height) {
  GdiWorkImage image;
  image.SetSize(width, height);
  image.BitmapCanvas();
  const RECT r{0, 0, width, height};
  if (image.BitmapDc()) PlayEnhMetaFile(image.BitmapDc(), emf, &r);
  return image.BitmapAsDib24();
}

bool WriteBmp(const PackedDib& dib, const std::wstring& path) {
  if (dib.size() < 40) return false;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + 40;
  file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, &file, sizeof file, &written, nullptr) &&
            WriteFile(h, dib.data(), static_cast<DWORD>(dib.size()), &written, nullptr);
  CloseHandle(h);
  return ok;
}

}  // namespace harness
