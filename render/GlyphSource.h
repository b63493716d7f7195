#pragma once
// Text as outlines: the platform's fonts give the glyphs, the drawing keeps
// them as paths, so no reader of a file needs the font.

#include <string_view>

#include "Canvas.h"
#include "VectorDrawing.h"

class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  // The text's extent, exactly as the canvas of a bitmap measures it, so
  // the layout of a drawing is the bitmap's.
  virtual Extent Measure(const FontSpec& font, std::string_view cp932) = 0;
  // The outlines of the text drawn with the top-left of its cell at the
  // origin, upright (the font's escapement is the caller's to apply), y
  // down, in pixels; with underline and strike-out when the style asks.
  virtual VectorPath Outline(const FontSpec& font, std::string_view cp932) = 0;
};

// For tests: texts measured as FixedTextExtent measures them, each
// character but the blank drawn as the box of its cell inset by a pixel.
class FixedGlyphSource : public GlyphSource {
 public:
  Extent Measure(const FontSpec& font, std::string_view cp932) override;
  VectorPath Outline(const FontSpec& font, std::string_view cp932) override;
};
