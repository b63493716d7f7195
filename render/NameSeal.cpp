#include "NameSeal.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "Dib.h"
#include "SealGeometry.h"
#include "Sjis.h"

namespace {

struct TextBlock {
  const char (*lines[4])[20];
  const char (&fontName)[40];
  std::int32_t fontSize;
  std::uint8_t style;
  std::int32_t textSpace;
  std::int32_t offsetX;
  std::int32_t offsetY;
};

void DrawRing(Canvas& canvas, int width, int height, const NameSealMain& seal) {
  const std::int64_t cx = width / 2, cy = height / 2, s = seal.StampSize;
  if (seal.CircleParameter > 0) {
    // Only the width narrows: d pixels come off each side.
    const std::int64_t d = ((100 - std::int64_t{seal.CircleParameter}) * s / 100) / 2;
    canvas.Ellipse({ClampToInt(cx - s + d), ClampToInt(cy - s), ClampToInt(cx + s - d), ClampToInt(cy + s)});
  } else {
    canvas.RoundRect({ClampToInt(cx - s), ClampToInt(cy - s), ClampToInt(cx + s), ClampToInt(cy + s)}, 20, 20);
  }
}

// The lines up to the first empty one, stacked with the spacing and centred
// as a block; each line is centred on its own width.
void DrawTextBlock(Canvas& canvas, int width, int height, const TextBlock& block, Color color) {
  canvas.Font.charset = kDefaultCharset;
  canvas.Font.name = std::string(FieldText(block.fontName));
  canvas.Font.size = block.fontSize;
  canvas.Font.color = color;
  canvas.Font.style = block.style;

  std::vector<std::string_view> lines;
  for (const auto* line : block.lines) {
    const std::string_view text = FieldText(*line);
    if (text.empty()) break;
    lines.push_back(text);
  }
  if (lines.empty()) return;

  std::vector<Extent> extents;
  std::int64_t blockHeight = 0;
  for (std::string_view line : lines) {
    extents.push_back(canvas.TextExtent(line));
    blockHeight += extents.back().cy;
  }
  blockHeight += static_cast<std::int64_t>(lines.size() - 1) * block.textSpace;
  const std::int64_t top = (height - blockHeight) / 2;

  std::int64_t y = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::int64_t x = (std::int64_t{width} - extents[i].cx) / 2 + std::int64_t{block.offsetX};
    canvas.TextOut(ClampToInt(x), ClampToInt(top + y - block.offsetY), lines[i]);
    y += extents[i].cy + std::int64_t{block.textSpace};
  }
}

}  // namespace

int NameSealPixelsPerMetre(const NameSealRecord& seal) { return seal.Main.Resolution == 1 ? 15249 : 26000; }

int NameSealSide(const NameSealRecord& seal) { return SealSide(seal.Main.StampSize, seal.Main.LineWidth, 1); }

void DrawNameSeal(Canvas& canvas, int width, int height, const NameSealRecord& seal) {
  const NameSealMain& m = seal.Main;
  const auto color = static_cast<Color>(m.StampColor);
  canvas.Pen = {color, m.LineWidth, PenStyle::Solid, PenMode::Copy};
  canvas.Brush.style = BrushStyle::Clear;
  canvas.Font.charset = kDefaultCharset;
  canvas.Font.name = std::string(FieldText(m.FontName));
  canvas.Font.size = m.FontSize;
  DrawRing(canvas, width, height, m);

  DrawTextBlock(canvas, width, height,
                {{&m.Text1, &m.Text2, &m.Text3, &m.Text4}, m.FontName, m.FontSize, m.FontStyle, m.TextSpace,
                 m.OffsetX, m.OffsetY},
                color);
  const NameSealExt& e = seal.Ext;
  if (e.UseNameEX != 0)
    DrawTextBlock(canvas, width, height,
                  {{&e.ExText1, &e.ExText2, &e.ExText3, &e.ExText4}, e.ExFontName, e.ExFontSize, e.ExFontStyle,
                   e.ExTextSpace, e.ExOffsetX, e.ExOffsetY},
                  color);
}

void DrawNameSealBitmap(SealForm& form) {
  const int side = NameSealSide(NameSealSettings);
  form.WorkImage->SetSize(side, side);
  form.Pictures.Draw(*form.WorkImage, SealPictureCache::Seal::Name, RecordBytes(NameSealSettings),
                     [&](Canvas& canvas) { DrawNameSeal(canvas, side, side, NameSealSettings); });
  ApplySealRotation(*form.WorkImage, *form.clock);
}

void DrawNameSealMetafile(SealForm& form) {
  const int side = NameSealSide(NameSealSettings);
  DrawNameSeal(form.WorkImage->BeginMetafile(side, side), side, side, NameSealSettings);
  form.WorkImage->EndMetafile();
}
