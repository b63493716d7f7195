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

Rgb IndexedPixelAt(const PackedDib& dib, int x, int y) {
  BITMAPINFOHEADER h{};
  if (dib.size() < sizeof h) return {};
  std::memcpy(&h, dib.data(), sizeof h);
  if (h.biBitCount != 4 && h.biBitCount != 8) return {};
  if (x < 0 || y < 0 || x >= h.biWidth || y >= h.biHeight) return {};
  const std::size_t colors = h.biClrUsed ? h.biClrUsed : std::size_t{1} << h.biBitCount;
  const std::size_t stride = (static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
  const std::size_t rows = h.biSize + colors * 4;
  const std::size_t at = rows + stride * static_cast<std::size_t>(h.biHeight - 1 - y) + x * h.biBitCount / 8;
  if (at >= dib.size()) return {};
  std::size_t index = dib[at];
  if (h.biBitCount == 4) index = (x % 2 == 0) ? index >> 4 : index & 0x0F;
  const std::uint8_t* entry = dib.data() + h.biSize + index * 4;
  return {entry[2], entry[1], entry[0]};
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

std::string WhiteBmpFile(int side) {
  const std::size_t stride = (static_cast<std::size_t>(side) * 3 + 3) / 4 * 4;
  std::string bytes(14 + 40 + stride * side, '\xFF');
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(bytes.size()), 0, 0, 54};
  BITMAPINFOHEADER info{40, side, side, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(bytes.data(), &file, 14);
  std::memcpy(bytes.data() + 14, &info, 40);
  return bytes;
}

bool WriteBmp(const PackedDib& dib, const std::wstring& path) {
  if (dib.size() < 40) return false;
  BITMAPINFOHEADER header{};
  std::memcpy(&header, dib.data(), sizeof header);
  const DWORD colors = header.biClrUsed ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0u);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = static_cast<DWORD>(sizeof file + header.biSize + colors * sizeof(RGBQUAD));
  file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, &file, sizeof file, &written, nullptr) &&
            WriteFile(h, dib.data(), static_cast<DWORD>(dib.size()), &written, nullptr);
  CloseHandle(h);
  return ok;
}

PackedDib CaptureWindow(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return CaptureScreen(r);
}

PackedDib CaptureScreen(const RECT& r) {
  GdiWorkImage image;
  image.SetSize(r.right - r.left, r.bottom - r.top);
  image.BitmapCanvas();
  HDC screen = GetDC(nullptr);
  if (image.BitmapDc())
    BitBlt(image.BitmapDc(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return image.BitmapAsDib24();
}

}  // namespace harness
