#pragma once
// The drawing seam. Renderers set the pen, brush, font and copy mode as plain
// members (as a form's canvas exposes them) and call the primitives; each
// implementation realises the current state before every primitive.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

// <windows.h> maps TextOut to TextOutW; the canvas keeps its own name.
#ifdef TextOut
#undef TextOut
#endif

using Color = std::uint32_t;  // 0x00BBGGRR, red in the low byte

inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kRed = 0x0000FF;

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct Extent {
  int cx = 0, cy = 0;
  bool operator==(const Extent&) const = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };
// NotXor: each pixel becomes NOT(pen XOR pixel).
enum class PenMode { Copy, NotXor };
// Clear: shapes are outlines only and text has no background box.
enum class BrushStyle { Solid, Clear };
// The raster operation of StretchDraw.
enum class CopyMode { SrcCopy, SrcAnd, SrcPaint };

struct PenSpec {
  Color color = kBlack;
  int width = 1;
  PenStyle style = PenStyle::Solid;
  PenMode mode = PenMode::Copy;
  bool operator==(const PenSpec&) const = default;
};

struct BrushSpec {
  Color color = kWhite;
  BrushStyle style = BrushStyle::Solid;
  bool operator==(const BrushSpec&) const = default;
};

inline constexpr int kDefaultCharset = 1;

struct FontSpec {
  std::string name = "ＭＳ Ｐゴシック";  // code page 932
  int size = 9;                         // points, at the screen's 96 dpi
  Color color = kBlack;
  std::uint8_t style = 0;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
  int charset = kDefaultCharset;
  int escapement = 0;  // tenths of a degree, counter-clockwise
  bool operator==(const FontSpec&) const = default;
};

// Font size in points to the pixel height the canvas asks for (96 dpi, rounded),
// bounded as the GDI canvas bounds it: sizes from seal files and scripts are
// outside input, and points * 96 alone leaves the int range.
inline constexpr int kMaxFontPixels = 16000;
constexpr int FontPixelHeight(int points) {
  const std::int64_t pixels = (std::int64_t{points} * 96 + (points >= 0 ? 36 : -36)) / 72;
  return static_cast<int>(std::clamp<std::int64_t>(pixels, -kMaxFontPixels, kMaxFontPixels));
}

class WorkImage;

class Canvas {
 public:
  virtual ~Canvas() = default;

  PenSpec Pen;
  BrushSpec Brush;
  FontSpec Font;
  CopyMode Mode = CopyMode::SrcCopy;

  virtual void Ellipse(const Rect& box) = 0;
  virtual void Rectangle(const Rect& box) = 0;
  virtual void RoundRect(const Rect& box, int cornerWidth, int cornerHeight) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;  // the end point itself is not drawn
  // Text in code page 932, top-left at (x, y); on a box of the brush colour
  // when the brush is solid, transparent when it is clear.
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  virtual Extent TextExtent(std::string_view text) = 0;
  // Draws the whole of source's picture stretched into dest with Mode.
  virtual void StretchDraw(const Rect& dest, WorkImage& source) = 0;

  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }
};

// A canvas that draws nothing: what a refused picture (too large, or of no
// size) hands out, so renderers need not check.
class NullCanvas : public Canvas {
 public:
  void Ellipse(const Rect&) override {}
  void Rectangle(const Rect&) override {}
  void RoundRect(const Rect&, int, int) override {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void TextOut(int, int, std::string_view) override {}
  Extent TextExtent(std::string_view) override { return {}; }
  void StretchDraw(const Rect&, WorkImage&) override {}
};
