#include <gtest/gtest.h>

#include "MemoryStore.h"
#include "NameSeal.h"
#include "RecordingCanvas.h"
#include "Settings.h"
#include "Sjis.h"
#include "TestPrinters.h"

namespace {

using Op = DrawCall::Op;

class NameSeal : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadNameSealSettings(store);
    OptionSettings = {};
    form.WorkImage = std::make_unique<MemoryWorkImage>();
  }
  MemoryWorkImage& Image() { return static_cast<MemoryWorkImage&>(*form.WorkImage); }
  std::vector<DrawCall> Texts() { return Image().bitmap.Only(Op::TextOut); }
  SealForm form;
  NameSealMain& seal = NameSealSettings.Main;
};

TEST_F(NameSeal, DefaultSealIsACircleWithTwoCentredLines) {
  DrawNameSealBitmap(form);
  const int side = 2 * 117 + 4 + 4;
  EXPECT_EQ(Image().BitmapWidth(), side);
  EXPECT_EQ(Image().BitmapHeight(), side);
  const auto rings = Image().bitmap.Only(Op::Ellipse);
  ASSERT_EQ(rings.size(), 1u);
  EXPECT_EQ(rings[0].box, (Rect{121 - 117, 121 - 117, 121 + 117, 121 + 117}));
  EXPECT_EQ(rings[0].pen.width, 4);
  EXPECT_EQ(rings[0].pen.color, kRed);
  EXPECT_EQ(rings[0].brush.style, BrushStyle::Clear);

  // 76 points is 101 pixels in the fixed metric: a double-byte character is 101 x 101.
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  const int h = FontPixelHeight(76);
  const int top = (side - 2 * h) / 2;
  EXPECT_EQ(texts[0].text, "名");
  EXPECT_EQ(texts[0].x, (side - h) / 2);
  EXPECT_EQ(texts[0].y, top);
  EXPECT_EQ(texts[1].y, top + h);
  EXPECT_EQ(texts[0].font.style, kStyleBold);
  EXPECT_EQ(texts[0].font.charset, kDefaultCharset);
  EXPECT_EQ(texts[0].font.name, "ＭＳ 明朝");
}

TEST_F(NameSeal, RingShapeFollowsCircleParameter) {
  seal.CircleParameter = 80;
  DrawNameSealBitmap(form);
  auto ring = Image().bitmap.Only(Op::Ellipse).at(0).box;
  EXPECT_EQ(ring.Width(), 212) << "d = (20 x 117 / 100) / 2 = 11 off each side";
  EXPECT_EQ(ring.Height(), 234);

  for (int c : {0, -5}) {
    seal.CircleParameter = c;
    seal.StampSize = 50;
    form.WorkImage = std::make_unique<MemoryWorkImage>();
    DrawNameSealBitmap(form);
    ASSERT_TRUE(Image().bitmap.Only(Op::Ellipse).empty());
    const auto square = Image().bitmap.Only(Op::RoundRect).at(0);
    EXPECT_EQ(square.box, (Rect{54 - 50, 54 - 50, 54 + 50, 54 + 50})) << c;
    EXPECT_EQ(square.x, 20);
    EXPECT_EQ(square.y, 20);
  }
}

TEST_F(NameSeal, LinesStopAtTheFirstEmptyOneAndGapsAreCountedBetweenLines) {
  seal.Text1[0] = '\0';
  DrawNameSealBitmap(form);
  EXPECT_TRUE(Texts().empty()) << "an empty first line hides the others";

  CopyToField(seal.Text1, "一");
  CopyToField(seal.Text2, "二");
  CopyToField(seal.Text3, "三");
  seal.TextSpace = 7;
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawNameSealBitmap(form);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  const int side = 242, h = FontPixelHeight(76);
  const int top = (side - (3 * h + 2 * 7)) / 2;
  EXPECT_EQ(texts[0].y, top);
  EXPECT_EQ(texts[1].y, top + h + 7);
  EXPECT_EQ(texts[2].y, top + 2 * (h + 7));
}

TEST_F(NameSeal, OffsetsMoveTheirOwnBlockAndUpIsPositive) {
  seal.OffsetY = 5;
  seal.OffsetX = 3;
  NameSealSettings.Ext.UseNameEX = 1;
  CopyToField(NameSealSettings.Ext.ExText1, "ab");
  NameSealSettings.Ext.ExFontSize = 12;
  NameSealSettings.Ext.ExOffsetY = 5;
  NameSealSettings.Ext.ExFontStyle = kStyleItalic;
  DrawNameSealBitmap(form);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  const int side = 242, h = FontPixelHeight(76);
  EXPECT_EQ(texts[0].y, (side - 2 * h) / 2 - 5);
  EXPECT_EQ(texts[0].x, (side - h) / 2 + 3);
  const int exH = FontPixelHeight(12);
  EXPECT_EQ(texts[2].text, "ab");
  EXPECT_EQ(texts[2].y, (side - exH) / 2 - 5) << "the extra block is centred on its own";
  EXPECT_EQ(texts[2].x, (side - exH) / 2);
  EXPECT_EQ(texts[2].font.style, kStyleItalic);
  EXPECT_EQ(texts[2].font.size, 12);
}

TEST_F(NameSeal, MetafileFormHasTheSameFigureAndIsNeverTilted) {
  OptionSettings.Rotate = 2;
  DrawNameSealMetafile(form);
  EXPECT_TRUE(Image().HoldsMetafile());
  EXPECT_EQ(Image().MetafileWidth(), 242);
  EXPECT_FALSE(Image().HasBitmap()) << "no bitmap, so nothing was rotated";
  EXPECT_EQ(Image().metafile.Only(Op::Ellipse).size(), 1u);
  EXPECT_EQ(Image().metafile.Only(Op::TextOut).size(), 2u);
}

TEST_F(NameSeal, ResolutionChoosesThePrintedScale) {
  EXPECT_EQ(NameSealPixelsPerMetre(), 26000);
  seal.Resolution = 1;
  EXPECT_EQ(NameSealPixelsPerMetre(), 15249);
  seal.Resolution = 2;
  EXPECT_EQ(NameSealPixelsPerMetre(), 26000);
}

TEST_F(NameSeal, AbsurdStoredSizesDrawWithoutOverflow) {
  seal.StampSize = 2147483647;
  seal.LineWidth = 2147483647;
  seal.TextSpace = -2147483647;
  seal.OffsetY = -2147483647 - 1;
  DrawNameSealBitmap(form);  // UBSan in the native build flags any signed overflow
  EXPECT_EQ(Image().BitmapWidth(), 2147483647);
  seal.StampSize = -10;
  seal.LineWidth = 0;
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawNameSealBitmap(form);
  EXPECT_EQ(Image().BitmapWidth(), -16) << "a degenerate picture, not a refusal";
}

TEST_F(NameSeal, AbsurdFontSizesMeasureAtTheCanvasLimitWithoutOverflow) {
  EXPECT_EQ(FontPixelHeight(2147483647), kMaxFontPixels);
  EXPECT_EQ(FontPixelHeight(-2147483647 - 1), -kMaxFontPixels);
  EXPECT_EQ(FontPixelHeight(12000), kMaxFontPixels) << "16000 pixels is the largest font asked for";

  seal.FontSize = 654311423;
  DrawNameSealBitmap(form);  // UBSan in the native build flags any signed overflow
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(FixedTextExtent(Texts()[0].font, "名").cy, kMaxFontPixels);

  // A negative height makes the text negatively wide: centring it on the
  // largest picture must not overflow either.
  seal.StampSize = 2147483647;
  seal.FontSize = -2147483647;
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawNameSealBitmap(form);
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts()[0].x, (2147483647 + 16000LL) / 2);
}

}  // namespace
