#pragma once
// Looking at drawn pictures: pixels of 24-bit packed DIBs and metafiles
// played into bitmaps.

#include <windows.h>

#include <cstdint>
#include <string>

#include "WorkImage.h"

namespace harness {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
  bool IsWhite() const { return r == 255 && g == 255 && b == 255; }
  // Pure enough red for antialiased edges: red well above green and blue.
  bool IsReddish() const { return r > 150 && g < 120 && b < 120; }
};

int DibWidth(const PackedDib& dib);
int DibHeight(const PackedDib& dib);
// Pictures defined in pixels are recorded in pixels of 96 to the inch,
// whatever the screen: their frames, in hundredths of a millimetre.
constexpr int kReferenceDpi = 96;
inline LONG ReferenceFrame(int pixels) { return MulDiv(pixels, 2540, kReferenceDpi); }
// A reference pixel's width in hundredths of a millimetre, rounded up.
constexpr LONG kOneReferencePixel = 2540 / kReferenceDpi + 1;

// The pixel at column x of row y counted from the top; 24-bit DIBs only.
Rgb PixelAt(const PackedDib& dib, int x, int y);
// The same for a 4- or 8-bit DIB with its colour table.
Rgb IndexedPixelAt(const PackedDib& dib, int x, int y);
// Plays the metafile into a white 24-bit bitmap of width x height.
PackedDib PlayIntoDib(HENHMETAFILE emf, int width, int height);
// The bytes of a .bmp file holding a white 24-bit square of side pixels, as
// the bitmap seal cutter would save one.
std::string WhiteBmpFile(int side);
// Writes a packed DIB as a .bmp file (for the gallery and for looking at failures).
bool WriteBmp(const PackedDib& dib, const std::wstring& path);
// What the screen shows of a window, as a 24-bit packed DIB.
PackedDib CaptureWindow(HWND window);
// What the screen shows in r.
PackedDib CaptureScreen(const RECT& r);

}  // namespace harness
