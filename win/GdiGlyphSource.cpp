#include "GdiGlyphSource.h"

#include <cstring>
#include <vector>

#include "GdiCanvas.h"
#include "Text.h"

namespace {

double FromFixed(FIXED f) { return f.value + f.fract / 65536.0; }

// Each glyph's outline arrives as closed contours of lines and cubic curves
// around its origin on the baseline, y up; placed at (x, baseline) y down.
void AppendGlyph(VectorPath& path, const std::vector<BYTE>& buffer, double x, double baseline) {
  auto place = [&](const POINTFX& p) { return PointD{x + FromFixed(p.x), baseline - FromFixed(p.y)}; };
  std::size_t at = 0;
  while (at + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
    TTPOLYGONHEADER header;
    std::memcpy(&header, &buffer[at], sizeof header);
    const std::size_t end = at + header.cb;
    if (header.cb < sizeof header || end > buffer.size()) return;
    path.MoveTo(place(header.pfxStart));
    std::size_t curve = at + sizeof header;
    while (curve + offsetof(TTPOLYCURVE, apfx) <= end) {
      WORD type = 0, count = 0;
      std::memcpy(&type, &buffer[curve + offsetof(TTPOLYCURVE, wType)], sizeof type);
      std::memcpy(&count, &buffer[curve + offsetof(TTPOLYCURVE, cpfx)], sizeof count);
      const std::size_t points = curve + offsetof(TTPOLYCURVE, apfx);
      if (points + std::size_t{count} * sizeof(POINTFX) > end) return;
      std::vector<POINTFX> p(count);
      if (count > 0) std::memcpy(p.data(), &buffer[points], count * sizeof(POINTFX));
      if (type == TT_PRIM_CSPLINE) {
        for (std::size_t i = 0; i + 2 < p.size(); i += 3) path.CurveTo(place(p[i]), place(p[i + 1]), place(p[i + 2]));
      } else {
        for (const POINTFX& point : p) path.LineTo(place(point));
      }
      curve = points + std::size_t{count} * sizeof(POINTFX);
    }
    path.Close();
    at = end;
  }
}

}  // namespace

GdiGlyphSource::GdiGlyphSource() : dc_(CreateCompatibleDC(nullptr)) {}

GdiGlyphSource::~GdiGlyphSource() {
  if (dc_ && originalFont_) SelectObject(dc_.get(), originalFont_);
}

void GdiGlyphSource::Select(const FontSpec& font) {
  if (hasFont_ && selected_ == font) return;
  UniqueHfont made = CreateCanvasFont(font);
  if (made && dc_) {
    HGDIOBJ previous = SelectObject(dc_.get(), made.get());
    if (!originalFont_) originalFont_ = previous;
    font_ = std::move(made);  // the previous font is deselected by now
  }
  selected_ = font;
  hasFont_ = true;
}

Extent GdiGlyphSource::Measure(const FontSpec& font, std::string_view cp932) {
  if (!dc_) return {};
  Select(font);
  const std::wstring wide = WideShowingInvalid(cp932);
  SIZE size{};
  GetTextExtentPoint32W(dc_.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
  return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

VectorPath GdiGlyphSource::Outline(const FontSpec& font, std::string_view cp932) {
  VectorPath path;
  if (!dc_) return path;
  Select(font);
  const std::wstring wide = WideShowingInvalid(cp932);
  if (wide.empty()) return path;
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc_.get(), &metrics);
  // Where each glyph starts: the advances TextOut uses, summed as the
  // extent sums them.
  std::vector<INT> ends(wide.size(), 0);
  SIZE whole{};
  GetTextExtentExPointW(dc_.get(), wide.c_str(), static_cast<int>(wide.size()), 0, nullptr, ends.data(), &whole);
  const double baseline = metrics.tmAscent;
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  std::vector<BYTE> buffer;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    GLYPHMETRICS glyph{};
    constexpr UINT kFormat = GGO_BEZIER | GGO_UNHINTED;
    const DWORD size = GetGlyphOutlineW(dc_.get(), wide[i], kFormat, &glyph, 0, nullptr, &identity);
    if (size == GDI_ERROR || size == 0) continue;  // a blank, or no glyph
    buffer.assign(size, 0);
    if (GetGlyphOutlineW(dc_.get(), wide[i], kFormat, &glyph, size, buffer.data(), &identity) == GDI_ERROR) continue;
    AppendGlyph(path, buffer, i == 0 ? 0.0 : ends[i - 1], baseline);
  }
  AddLines(path, font, whole.cx, baseline);
  return path;
}

void GdiGlyphSource::AddLines(VectorPath& path, const FontSpec& font, double width, double baseline) {
  if (!(font.style & (4 | 8))) return;
  const UINT size = GetOutlineTextMetricsW(dc_.get(), 0, nullptr);
  if (size < sizeof(OUTLINETEXTMETRICW)) return;
  std::vector<BYTE> bytes(size);
  auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(bytes.data());
  if (GetOutlineTextMetricsW(dc_.get(), size, metrics) == 0) return;
  // A band of the font's thickness centred on its position above the
  // baseline, as TextOut draws it.
  auto band = [&](int position, UINT thickness) {
    const double top = baseline - position - thickness / 2.0;
    path.Append(RectanglePath({0, top, width, top + (thickness > 0 ? thickness : 1)}));
  };
  if (font.style & 4) band(metrics->otmsUnderscorePosition, metrics->otmsUnderscoreSize);
  if (font.style & 8) band(metrics->otmsStrikeoutPosition, metrics->otmsStrikeoutSize);
}
