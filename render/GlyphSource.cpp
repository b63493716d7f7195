#include "GlyphSource.h"

#include "RecordingCanvas.h"
#include "Sjis.h"

Extent FixedGlyphSource::Measure(const FontSpec& font, std::string_view cp932) {
  return FixedTextExtent(font, cp932);
}

VectorPath FixedGlyphSource::Outline(const FontSpec& font, std::string_view cp932) {
  const double height = FontPixelHeight(font.size);
  VectorPath path;
  double x = 0;
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const bool wide = IsSjisLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size();
    const double width = wide ? height : static_cast<double>(static_cast<int>(height) / 2);
    if (cp932[i] != ' ' && width > 2 && height > 2) path.Append(RectanglePath({x + 1, 1, x + width - 1, height - 1}));
    x += width;
    if (wide) ++i;
  }
  return path;
}
