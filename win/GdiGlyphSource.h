#pragma once
// Glyph outlines from the platform's fonts: the font made as the GDI canvas
// makes it, the text measured as the canvas measures it and placed as
// TextOut places it, each glyph's unhinted outline as cubic curves.

#include <windows.h>

#include <string_view>

#include "GlyphSource.h"
#include "UniqueHandle.h"

class GdiGlyphSource : public GlyphSource {
 public:
  GdiGlyphSource();
  ~GdiGlyphSource() override;
  GdiGlyphSource(const GdiGlyphSource&) = delete;
  GdiGlyphSource& operator=(const GdiGlyphSource&) = delete;

  Extent Measure(const FontSpec& font, std::string_view cp932) override;
  VectorPath Outline(const FontSpec& font, std::string_view cp932) override;

 private:
  void Select(const FontSpec& font);
  // Underline and strike-out, as bands across the text's width.
  void AddLines(VectorPath& path, const FontSpec& font, double width, double baseline);

  UniqueMemDc dc_;
  HGDIOBJ originalFont_ = nullptr;
  UniqueHfont font_;
  FontSpec selected_;
  bool hasFont_ = false;
};
