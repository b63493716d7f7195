#include "SealVectors.h"

#include <cmath>
#include <memory>
#include <utility>

#include "DateSeal.h"
#include "NameSeal.h"
#include "Security.h"
#include "Sjis.h"
#include "TextStamps.h"

namespace {

// Lends form a vector work image for one renderer and takes its drawing back.
template <typename Draw>
VectorDrawing DrawnOnForm(SealForm& form, const VectorTools& tools, Draw draw) {
  auto image = std::make_unique<VectorWorkImage>(tools.glyphs, tools.ink);
  VectorWorkImage& vector = *image;
  form.WorkImage = std::move(image);
  draw();
  VectorDrawing drawing = vector.Drawing();
  form.WorkImage.reset();
  return drawing;
}

}  // namespace

VectorDrawing NameSealDrawing(SealForm& form, const VectorTools& tools) {
  return DrawnOnForm(form, tools, [&] { DrawNameSealMetafile(form); });
}

VectorDrawing DateSealDrawing(SealForm& form, bool mayAsk, const VectorTools& tools) {
  // The metafile form would ask even when the policy locks the date.
  if (form.DateText.empty()) form.DateText = StampedDateSealMiddleText(form, mayAsk);
  return DrawnOnForm(form, tools, [&] { DrawDateSealMetafile(form, false); });
}

namespace {
void AddWords(std::string& words, std::string_view line) {
  if (line.empty()) return;
  if (!words.empty()) words += ' ';
  words += line;
}
}  // namespace

std::string NameSealWords(const NameSealRecord& seal) {
  std::string words;
  // Lines after the first empty one are never drawn.
  for (std::string_view line : {FieldText(seal.Main.Text1), FieldText(seal.Main.Text2), FieldText(seal.Main.Text3),
                                FieldText(seal.Main.Text4)}) {
    if (line.empty()) break;
    AddWords(words, line);
  }
  if (seal.Ext.UseNameEX == 0) return words;
  for (std::string_view line : {FieldText(seal.Ext.ExText1), FieldText(seal.Ext.ExText2),
                                FieldText(seal.Ext.ExText3), FieldText(seal.Ext.ExText4)}) {
    if (line.empty()) break;
    AddWords(words, line);
  }
  return words;
}

std::string DateSealWords(const DateSealRecord& seal, std::string_view middle) {
  std::string words;
  for (std::string_view line : {FieldText(seal.Main.Text1), FieldText(seal.Ext.Text3), middle,
                                FieldText(seal.Main.Text2), FieldText(seal.Ext.Text4), FieldText(seal.Ext.Text5)})
    AddWords(words, line);
  return words;
}

VectorDrawing PictureDrawing(const PackedDib& onWhite, const VectorTools& tools) {
  VectorWorkImage image(tools.glyphs, tools.ink);
  image.SetBitmapFromDib(onWhite);
  return image.Drawing();
}

VectorDrawing SquareStampDrawing(std::string_view text, const FontSpec& font, const VectorTools& tools) {
  VectorWorkImage image(tools.glyphs, tools.ink);
  DrawSquareStamp(image, text, font);
  return image.Drawing();
}

VectorDrawing RotatedTextDrawing(std::string_view text, const FontSpec& font, int angle, const VectorTools& tools) {
  VectorWorkImage image(tools.glyphs, tools.ink);
  DrawRotatedText(image, text, font, angle);
  return image.Drawing();
}

VectorDrawing WithSecurityMarks(const VectorDrawing& seal, int sealPixelsPerMetre, const SecurityMarks& marks,
                                int screenPixelsPerMetre, int rezoHosei, const VectorTools& tools) {
  const int rezo = rezoHosei > 0 ? rezoHosei : 100;
  // The seal's designed size in screen pixels, unrounded and to the nearest.
  auto screenPixels = [&](int sealPixels) {
    return static_cast<double>(DesignedHundredthsOfMm(sealPixels, sealPixelsPerMetre)) * screenPixelsPerMetre /
           100000.0;
  };
  const double across = screenPixels(seal.width), down = screenPixels(seal.height);
  const int outWidth = static_cast<int>(std::lround(across)), outHeight = static_cast<int>(std::lround(down));
  const bool narrow = outWidth <= 100;
  const int width = narrow ? rezo : outWidth, height = outHeight + 30;

  VectorWorkImage picture(tools.glyphs, tools.ink);
  auto& canvas = static_cast<VectorCanvas&>(picture.BeginMetafile(width, height));
  VectorWorkImageFactory factory(tools.glyphs, tools.ink);
  DrawSecurityBlock(canvas, marks.documentId, marks.authCode, outWidth, width, height, factory);
  const double left = narrow ? (rezo - outWidth) / 2 : 0, top = 5;
  canvas.DrawDrawing(seal, {left, top, left + across, top + down});
  picture.EndMetafile();
  return picture.Drawing();
}
