#include "Security.h"

#include <algorithm>

#include "Random.h"
#include "Records.h"
#include "Settings.h"

std::string MakeAuthCode(std::string_view key) {
  CrtSrand(static_cast<std::uint32_t>(ParseDecimal(key)));
  std::string code;
  for (int i = 0; i < 8; ++i) code += kAuthCodeAlphabet[static_cast<std::size_t>(CrtRand()) % 63];
  return code;
}

namespace {

constexpr int kMargin = 10;
constexpr int kWatermarkWidth = 16;

void SetBlockFont(Canvas& canvas) {
  canvas.Font.color = static_cast<Color>(OptionSettings.SecTextColor);
  canvas.Font.size = 30;
  canvas.Font.charset = kDefaultCharset;
  canvas.Font.name = "ＭＳ ゴシック";
  canvas.Font.style = 0;
  canvas.Font.escapement = 0;
  canvas.Brush.style = BrushStyle::Clear;
}

// A line across the lower part of a text line, so copying the text alone
// carries the line with it.
void DrawWatermark(Canvas& canvas, int width, int textTop, int textHeight) {
  const int y = textTop + (textHeight / 4) * 3;
  canvas.MoveTo(0, y);
  canvas.LineTo(width, y);
}

}  // namespace

void DrawSecurityBlock(Canvas& canvas, std::string_view documentId, std::string_view authCode, int top, int width,
                       int height, WorkImageFactory& factory) {
  const bool labelled = OptionSettings.NoDispCopyGuardTitle != 0;
  const std::string line1 = labelled ? "DOC[" + std::string(documentId) + "]" : std::string(documentId);
  const std::string line2 = labelled ? "UID[" + std::string(authCode) + "]" : std::string(authCode);

  auto scratch = factory.Create();
  scratch->SetSize(1, 1);
  Canvas& measure = scratch->BitmapCanvas();
  SetBlockFont(measure);
  const Extent e1 = measure.TextExtent(line1), e2 = measure.TextExtent(line2);
  const int blockWidth = std::max(e1.cx, e2.cx) + 2 * kMargin;
  const int blockHeight = e1.cy + e2.cy + 3 * kMargin;

  auto block = factory.Create();
  block->SetSize(blockWidth, blockHeight);
  Canvas& draw = block->BitmapCanvas();
  SetBlockFont(draw);
  const int y1 = kMargin, y2 = e1.cy + 2 * kMargin;
  draw.TextOut((blockWidth - e1.cx) / 2, y1, line1);
  draw.TextOut((blockWidth - e2.cx) / 2, y2, line2);
  draw.Pen = {static_cast<Color>(OptionSettings.SecLineColor), kWatermarkWidth, PenStyle::Solid, PenMode::NotXor};
  DrawWatermark(draw, blockWidth, y1, e1.cy);
  DrawWatermark(draw, blockWidth, y2, e2.cy);

  canvas.StretchDraw({0, top + 5, width - 1, height - 1}, *block);
}
