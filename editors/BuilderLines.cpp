#include "BuilderLines.h"

#include <cstdint>

#include "Records.h"

namespace {

// Sums are taken in 64 bits: fields are typed freely and may be near the
// ends of the int range.
std::string Number(std::int64_t n) { return std::to_string(n); }

std::string Words(std::initializer_list<std::int64_t> numbers) {
  std::string text;
  for (const std::int64_t n : numbers) {
    text += ' ';
    text += Number(n);
  }
  return text;
}

std::string ColorWords(Color color) { return Words({color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF}); }

ScriptLines PenLines(std::string_view title, int lineWidth, Color color) {
  return {"; ***** " + std::string(title) + " *****", "LINEWIDTH " + Number(lineWidth),
          "LINECOLOR" + ColorWords(color)};
}

void AppendFontLines(ScriptLines& lines, const BuilderFont& font, Color color) {
  lines.push_back("FONTNAME " + font.name);
  lines.push_back("FONTSIZE " + Number(font.points));
  lines.push_back("FONTSTYLE " + std::string(StyleWord(font.style)));
  lines.push_back("FONTCOLOR" + ColorWords(color));
}

}  // namespace

std::string_view StyleWord(std::uint8_t style) {
  switch (style) {
    case kStyleBold: return "BOLD";
    case kStyleItalic: return "ITALIC";
    case kStyleBold | kStyleItalic: return "ITALICBOLD";
  }
  return "";
}

ScriptLines HeaderLines(int width, int height, int dpi) {
  return {"; ***** ヘッダ情報 *****", "SIZE" + Words({width, height}), "RESO " + Number(dpi)};
}

ScriptLines CircleLines(int centreX, int centreY, int lineWidth, int radiusX, int radiusY, Color color) {
  ScriptLines lines = PenLines("円・楕円", lineWidth, color);
  const std::int64_t cx = centreX, cy = centreY;
  lines.push_back("CIRCLE" + Words({cx - radiusX, cy - radiusY, cx + radiusX, cy + radiusY}));
  return lines;
}

ScriptLines RectangleLines(int width, int height, int lineWidth, int left, int top, Color color) {
  ScriptLines lines = PenLines("矩形", lineWidth, color);
  const std::int64_t x = left, y = top;
  lines.push_back("RECT" + Words({x, y, x + width, y + height}));
  return lines;
}

ScriptLines RoundRectLines(int width, int height, int lineWidth, int left, int top, int corner, Color color) {
  ScriptLines lines = PenLines("角丸矩形", lineWidth, color);
  const std::int64_t x = left, y = top;
  lines.push_back("ROUNDRECT" + Words({x, y, x + width, y + height, corner}));
  return lines;
}

ScriptLines StraightLineLines(int x1, int y1, int x2, int y2, int lineWidth, Color color) {
  ScriptLines lines = PenLines("直線", lineWidth, color);
  lines.push_back("LINE" + Words({x1, y1, x2, y2}));
  return lines;
}

ScriptLines TextLines(std::string_view text, int left, int top, const BuilderFont& font, Color color) {
  ScriptLines lines{"; ***** 文字列 *****"};
  AppendFontLines(lines, font, color);
  lines.push_back("TEXT " + std::string(text) + Words({left, top}));
  return lines;
}

ScriptLines DateLines(int format, std::string_view header, int left, int top, const BuilderFont& font, Color color) {
  ScriptLines lines{"; ***** 日付 *****"};
  std::string dateFormat = "DateFormat " + Number(std::int64_t{format} + 1);
  if (!header.empty()) {
    dateFormat += ' ';
    dateFormat += header;
  }
  lines.push_back(dateFormat);
  AppendFontLines(lines, font, color);
  lines.push_back("DATE" + Words({left, top}));
  return lines;
}
