#include "TextStamps.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "Records.h"

namespace {

FontSpec TextStampFont(const SquareTextFormat& record, const CommonTextSettings& common, Color ownColour,
                       Color commonColour) {
  FontSpec font;
  font.charset = kDefaultCharset;
  if (record.OwnFormat == 1) {
    font.color = ownColour;
    font.name = record.FontName;
    font.size = record.FontSize;
    font.style = StyleOfCode(record.StyleCode);
  } else {
    font.color = commonColour;
    font.name = common.FontName;
    font.size = common.FontSize();
    // Underline and strike-out never carry over.
    font.style = StyleOfCode(StyleCodeOf(common.FontStyle, 0));
  }
  return font;
}

}  // namespace

FontSpec SquareStampFont(const SquareTextFormat& record, const CommonTextSettings& common) {
  FontSpec font = TextStampFont(record, common, static_cast<Color>(record.Color), static_cast<Color>(common.Color));
  font.charset = kShiftJisCharset;
  return font;
}

FontSpec RotatedTextFont(const RotatedTextFormat& record, const CommonTextSettings& common) {
  return TextStampFont(record, common, static_cast<Color>(record.Color), kRed);
}

namespace {

// Multiplication first, as the layout is defined; a text too large for that
// gives a picture too large to draw, not an overflow.
int Scaled(int v, int tenths) {
  return static_cast<int>(std::clamp<long long>(static_cast<long long>(v) * tenths / 10, INT_MIN, INT_MAX));
}

}  // namespace

SquareStampLayout LayoutSquareStamp(Extent text) {
  const int w = text.cx, h = text.cy;
  SquareStampLayout layout;
  layout.width = Scaled(w, 14);
  layout.height = Scaled(h, 14);
  layout.frame = {w / 10, h / 10, Scaled(w, 13), Scaled(h, 13)};
  layout.corner = h / 5;
  layout.textX = Scaled(w, 2);
  layout.textY = Scaled(h, 2);
  return layout;
}

SquareStampLayout DrawSquareStamp(WorkImage& image, std::string_view text, const FontSpec& font) {
  Canvas& probe = image.BeginMetafile(1, 1);
  probe.Font = font;
  const SquareStampLayout layout = LayoutSquareStamp(probe.TextExtent(text));
  Canvas& canvas = image.BeginMetafile(layout.width, layout.height);
  canvas.Font = font;
  canvas.Brush = {kWhite, BrushStyle::Clear};
  canvas.Pen = {font.color, 2, PenStyle::Solid, PenMode::Copy};
  canvas.RoundRect(layout.frame, layout.corner, layout.corner);
  canvas.TextOut(layout.textX, layout.textY, text);
  image.EndMetafile();
  return layout;
}

RotatedTextLayout LayoutRotatedText(Extent text, int angle) {
  const int w = text.cx, h = text.cy;
  // The program has always turned by this value of pi; the pictures keep their size.
  const double theta = angle * 2.0 * 3.141592 * (1.0 / 360.0) * -1.0;
  const double s = std::sin(theta), c = std::cos(theta);
  struct Point {
    int x, y;
  };
  // Toward zero; the bound keeps a text no platform could measure within range.
  auto truncated = [](double v) { return static_cast<int>(std::trunc(std::clamp(v, -1e9, 1e9))); };
  auto turn = [&](int x, int y) {
    return Point{truncated(static_cast<double>(x) * c - static_cast<double>(y) * s),
                 truncated(static_cast<double>(x) * s + static_cast<double>(y) * c)};
  };
  const Point p1 = turn(0, h), p2 = turn(w, 0), p3 = turn(w, h);
  const int minX = std::min({0, p1.x, p2.x, p3.x}), maxX = std::max({0, p1.x, p2.x, p3.x});
  const int minY = std::min({0, p1.y, p2.y, p3.y}), maxY = std::max({0, p1.y, p2.y, p3.y});

  RotatedTextLayout layout;
  layout.width = maxX - minX + 1;
  layout.height = maxY - minY + 1;
  int a = angle;
  if (a < 0) a += 360;
  if (a < 90) {
    layout.x = 0;
    layout.y = -p2.y;
  } else if (a < 180) {
    layout.x = -p2.x;
    layout.y = -p3.y;
  } else if (a < 270) {
    layout.x = -p3.x;
    layout.y = -p1.y;
  } else {
    layout.x = -p1.x;
    layout.y = 0;
  }
  layout.escapement = a * 10;
  return layout;
}

RotatedTextLayout DrawRotatedText(WorkImage& target, std::string_view text, const FontSpec& font, int angle) {
  Canvas& probe = target.BeginMetafile(1, 1);
  probe.Font = font;
  probe.Font.charset = kDefaultCharset;
  const RotatedTextLayout layout = LayoutRotatedText(probe.TextExtent(text), angle);

  Canvas& canvas = target.BeginMetafile(layout.width, layout.height);
  // Drawn from a font described afresh: normal weight, no italic, underline
  // or strike-out, whatever the measured style was.
  FontSpec turned;
  turned.name = font.name;
  turned.size = font.size;
  turned.color = font.color;
  turned.style = 0;
  turned.charset = kDefaultCharset;
  turned.escapement = layout.escapement;
  canvas.Font = turned;
  canvas.Brush = {kWhite, BrushStyle::Clear};
  canvas.TextOut(layout.x, layout.y, text);
  target.EndMetafile();
  return layout;
}
