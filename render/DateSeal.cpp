#include "DateSeal.h"

#include <cmath>

#include "Dib.h"
#include "QdxDate.h"
#include "SealGeometry.h"
#include "Sjis.h"

namespace {

struct BandGeometry {
  double a;  // half the length of a band line
  double b;  // distance of a band line from the centre
};

// The band lines meet the ring SpaceM + 18 degrees above and below the
// horizontal; the angle keeps the seal's own 6.28 for a full turn.
BandGeometry BandsOf(const DateSealMain& seal) {
  const double theta = (static_cast<double>(seal.SpaceM) + 18) * 6.28 / 360;
  return {seal.StampSize * std::cos(theta), seal.StampSize * std::sin(theta)};
}

int Trunc(double v) {
  if (!(v == v)) return 0;  // NaN from absurd settings
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

Rect Box(std::int64_t cx, std::int64_t cy, std::int64_t left, std::int64_t top, std::int64_t right,
         std::int64_t bottom) {
  return {ClampToInt(cx - left), ClampToInt(cy - top), ClampToInt(cx + right), ClampToInt(cy + bottom)};
}

void DrawRing(Canvas& canvas, int width, int height, const DateSealMain& seal) {
  const std::int64_t cx = width / 2, cy = height / 2, s = seal.StampSize, l = seal.LineWidth;
  switch (seal.TwinRing) {
    case 0:
      canvas.Ellipse(Box(cx, cy, s, s, s, s));
      break;
    case 1: {
      // Two thin rings: a third of twice the line width, with a gap between.
      canvas.Pen.width = ClampToInt(2 * l);
      canvas.Pen.width = canvas.Pen.width / 3;
      const std::int64_t p = canvas.Pen.width;
      canvas.Ellipse(Box(cx, cy, s, s, s, s));
      canvas.Ellipse(Box(cx, cy, s + 2 * p, s + 2 * p, s + 2 * p, s + 2 * p));
      canvas.Pen.width = seal.LineWidth;
      break;
    }
    case 2:
      canvas.Ellipse(Box(cx, cy, s, s, s, s));
      canvas.Ellipse(Box(cx, cy, s + 2 * l, s + 2 * l, s + 2 * l, s + 2 * l));
      break;
    case 3:
      // Only the left and top edges move out for the thick ring.
      canvas.Pen.width = ClampToInt(3 * l);
      canvas.Ellipse(Box(cx, cy, s + l, s + l, s, s));
      canvas.Pen.width = seal.LineWidth;
      break;
  }
}

void DrawBandLines(Canvas& canvas, int width, int height, const BandGeometry& g) {
  const double cx = width / 2, cy = height / 2;
  for (double y : {cy - g.b, cy + g.b}) {
    canvas.MoveTo(Trunc(cx - g.a + 1), Trunc(y));
    canvas.LineTo(Trunc(cx + g.a - 1), Trunc(y));
  }
}

void SetBandFont(Canvas& canvas, const char (&name)[40], std::int32_t size, std::uint8_t style, Color color) {
  canvas.Font.charset = kDefaultCharset;
  canvas.Font.name = std::string(FieldText(name));
  canvas.Font.size = size;
  canvas.Font.color = color;
  canvas.Font.style = style;
}

void DrawText(Canvas& canvas, std::int64_t x, std::int64_t y, std::string_view text) {
  if (!text.empty()) canvas.TextOut(ClampToInt(x), ClampToInt(y), text);
}

void DrawUpperBand(Canvas& canvas, int width, int height, const DateSealRecord& seal, double b) {
  const DateSealMain& m = seal.Main;
  SetBandFont(canvas, m.FontNameU, m.FontSizeU, m.FontStyleU, static_cast<Color>(m.StampColor));
  const std::string_view text1 = FieldText(m.Text1), text3 = FieldText(seal.Ext.Text3);
  const Extent e1 = canvas.TextExtent(text1);
  const std::int64_t up = m.PositionU;
  if (text3.empty()) {
    DrawText(canvas, width / 2 - e1.cx / 2, Trunc(height / 2 - e1.cy - b) - up, text1);
    return;
  }
  const Extent e3 = canvas.TextExtent(text3);
  DrawText(canvas, width / 2 - e1.cx / 2,
           Trunc(height / 2 - e1.cy - e3.cy - static_cast<double>(seal.Ext.U_T2Space) - b) - up, text1);
  DrawText(canvas, width / 2 - e3.cx / 2, Trunc(height / 2 - e3.cy - b) - up, text3);
}

void DrawLowerBand(Canvas& canvas, int width, int height, const DateSealRecord& seal, double b) {
  const DateSealMain& m = seal.Main;
  const DateSealExt& x = seal.Ext;
  SetBandFont(canvas, m.FontNameL, m.FontSizeL, m.FontStyleL, static_cast<Color>(m.StampColor));
  const std::string_view text2 = FieldText(m.Text2), text4 = FieldText(x.Text4), text5 = FieldText(x.Text5);
  const std::int64_t lineY = std::int64_t{Trunc(height / 2 + b)} - m.PositionL;
  const Extent e2 = canvas.TextExtent(text2);
  if (text4.empty()) {
    DrawText(canvas, width / 2 - e2.cx / 2, lineY, text2);
  } else {
    // Text4 follows Text2 on the same line in a smaller size; the pair is
    // centred as a whole and Text4 centred on Text2's height.
    const int smallSize = ClampToInt((100 - std::int64_t{x.L_T2FontSize}) * canvas.Font.size / 100);
    canvas.Font.size = smallSize;
    const Extent e4 = canvas.TextExtent(text4);
    canvas.Font.size = m.FontSizeL;
    DrawText(canvas, std::int64_t{width / 2} - e2.cx / 2 - e4.cx / 2 - x.L_T2Space / 2, lineY, text2);
    canvas.Font.size = smallSize;
    DrawText(canvas, std::int64_t{width / 2} + e2.cx / 2 - e4.cx / 2 + x.L_T2Space / 2,
             lineY + (e2.cy - e4.cy) / 2, text4);
  }
  if (!text5.empty()) {
    canvas.Font.size = m.FontSizeL;
    const Extent e5 = canvas.TextExtent(text5);
    DrawText(canvas, width / 2 - e5.cx / 2,
             std::int64_t{Trunc(height / 2 + e5.cy + static_cast<double>(x.L_T3Space) + b)} - m.PositionL, text5);
  }
}

void DrawMiddleBand(Canvas& canvas, int width, int height, const DateSealMain& m, std::string_view middle) {
  SetBandFont(canvas, m.FontNameM, m.FontSizeM, m.FontStyleM, static_cast<Color>(m.StampColor));
  const Extent e = canvas.TextExtent(middle);
  DrawText(canvas, width / 2 - e.cx / 2, height / 2 - e.cy / 2, middle);
}

std::string AskIf(const SealForm& form, bool ask, std::string text) {
  if (!ask || !form.AskDate) return text;
  return std::string(SjisPrefix(form.AskDate(text), kMiddleTextMaxBytes));
}

}  // namespace

int DateSealSide(const DateSealRecord& seal) {
  const DateSealMain& m = seal.Main;
  switch (m.TwinRing) {
    case 0: return SealSide(m.StampSize, m.LineWidth, 1);
    case 1: return SealSide(m.StampSize, m.LineWidth, 5);
    case 2:
    case 3: return SealSide(m.StampSize, m.LineWidth, 4);
  }
  return 0;
}

void DrawDateSeal(Canvas& canvas, int width, int height, const DateSealRecord& seal, std::string_view middle) {
  const DateSealMain& m = seal.Main;
  canvas.Pen = {static_cast<Color>(m.StampColor), m.LineWidth, PenStyle::Solid, PenMode::Copy};
  canvas.Brush.style = BrushStyle::Clear;
  const BandGeometry bands = BandsOf(m);
  if (m.TwinRing >= 0 && m.TwinRing <= 3) {
    DrawRing(canvas, width, height, m);
    DrawBandLines(canvas, width, height, bands);
  }
  DrawUpperBand(canvas, width, height, seal, bands.b);
  DrawLowerBand(canvas, width, height, seal, bands.b);
  DrawMiddleBand(canvas, width, height, m, middle);
}

std::string DateSealMiddleText(const SealForm& form, const DateSealRecord& seal) {
  return ComposeDateText(FieldText(seal.Main.Header), seal.Main.Years, seal.Ext.DateNZ == 1, *form.clock);
}

namespace {
// An unknown ring style keeps the image at its previous size.
void SizeImage(WorkImage& image, const DateSealRecord& seal) {
  if (seal.Main.TwinRing >= 0 && seal.Main.TwinRing <= 3) image.SetSize(DateSealSide(seal), DateSealSide(seal));
}
}  // namespace

std::string StampedDateSealMiddleText(const SealForm& form, bool mayAsk) {
  const bool ask = OptionSettings.CheckDate != 0 && mayAsk && !form.ExternalRequest && !form.DateChangeLocked;
  return AskIf(form, ask, DateSealMiddleText(form));
}

void DrawDateSealBitmap(SealForm& form, bool mayAsk) {
  WorkImage& image = *form.WorkImage;
  SizeImage(image, DateSealSettings);
  const int width = image.Width(), height = image.Height();
  const std::string middle = StampedDateSealMiddleText(form, mayAsk);
  std::string inputs = RecordBytes(DateSealSettings) + RecordBytes(width) + RecordBytes(height) + middle;
  form.Pictures.Draw(image, SealPictureCache::Seal::Date, std::move(inputs),
                     [&](Canvas& canvas) { DrawDateSeal(canvas, width, height, DateSealSettings, middle); });
  form.DateText = middle;
  ApplySealRotation(image, *form.clock);
}

void DrawDateSealMetafile(SealForm& form, bool mayAsk) {
  WorkImage& image = *form.WorkImage;
  SizeImage(image, DateSealSettings);
  const int width = image.Width(), height = image.Height();
  std::string middle = form.DateText;
  if (middle.empty()) {
    // This form does not look at the policy's date lock.
    const bool ask = OptionSettings.CheckDate != 0 && mayAsk && !form.ExternalRequest;
    middle = AskIf(form, ask, DateSealMiddleText(form));
  }
  DrawDateSeal(image.BeginMetafile(width, height), width, height, DateSealSettings, middle);
  image.EndMetafile();
}
