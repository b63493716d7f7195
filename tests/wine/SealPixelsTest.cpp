// Seals drawn through GDI: the picture sizes and where the ink lands.

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>

#include "DateSeal.h"
#include "Dib.h"
#include "GdiWorkImage.h"
#include "MemoryStore.h"
#include "NameSeal.h"
#include "Security.h"
#include "Settings.h"
#include "Sjis.h"
#include "harness/Pixels.h"

namespace {

using harness::PixelAt;

class SealPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadAllSettings(store, [](std::string_view) { return false; });
    form.WorkImage = std::make_unique<GdiWorkImage>();
  }
  GdiWorkImage& Image() { return static_cast<GdiWorkImage&>(*form.WorkImage); }
  SealForm form;
};

// Whether any pixel within radius r of (x, y) is red: edges may be antialiased.
bool RedNear(const PackedDib& dib, int x, int y, int r = 1) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (PixelAt(dib, x + dx, y + dy).IsReddish()) return true;
  return false;
}

TEST_F(SealPixels, NameSealBitmapHasItsSizeAndRedRing) {
  DrawNameSealBitmap(form);
  const PackedDib dib = Image().BitmapAsDib24();
  ASSERT_EQ(harness::DibWidth(dib), 242);
  ASSERT_EQ(harness::DibHeight(dib), 242);
  const int c = 121, s = 117;
  EXPECT_TRUE(RedNear(dib, c, c - s)) << "top of the ring";
  EXPECT_TRUE(RedNear(dib, c, c + s - 1)) << "bottom of the ring";
  EXPECT_TRUE(RedNear(dib, c - s, c)) << "left of the ring";
  EXPECT_TRUE(RedNear(dib, c + s - 1, c)) << "right of the ring";
  EXPECT_TRUE(PixelAt(dib, 2, 2).IsWhite()) << "outside the ring stays white";
  EXPECT_TRUE(PixelAt(dib, c - 95, c - 95).IsWhite()) << "inside, away from the text";
  int inked = 0;
  for (int y = 20; y < 222; ++y)
    for (int x = 60; x < 182; ++x) inked += PixelAt(dib, x, y).IsReddish();
  EXPECT_GT(inked, 1000) << "the two characters are drawn in red";
}

TEST_F(SealPixels, NameSealEllipseNarrowsOnlyTheWidth) {
  NameSealSettings.Main.CircleParameter = 60;
  DrawNameSealBitmap(form);
  const PackedDib dib = Image().BitmapAsDib24();
  const int c = 121, s = 117, d = (40 * 117 / 100) / 2;
  EXPECT_TRUE(RedNear(dib, c - s + d, c));
  EXPECT_TRUE(PixelAt(dib, c - s + 2, c).IsWhite()) << "the circle's left edge is not drawn";
  EXPECT_TRUE(RedNear(dib, c, c - s));
}

TEST_F(SealPixels, NameSealMetafileHasTheSealSizeAndTheSameRing) {
  DrawNameSealMetafile(form);
  HENHMETAFILE emf = Image().Metafile();
  ASSERT_NE(emf, nullptr);
  ENHMETAHEADER header{};
  ASSERT_NE(GetEnhMetaFileHeader(emf, sizeof header, &header), 0u);
  const LONG frameWidth = header.rclFrame.right - header.rclFrame.left;
  EXPECT_NEAR(frameWidth, harness::ReferenceFrame(242), harness::kOneReferencePixel)
      << "242 pixels in hundredths of a millimetre";
  const PackedDib played = harness::PlayIntoDib(emf, 242, 242);
  EXPECT_TRUE(RedNear(played, 121, 4, 2));
  EXPECT_TRUE(PixelAt(played, 2, 2).IsWhite());
}

TEST_F(SealPixels, AbsurdSizesGiveAnEmptyPictureInsteadOfACrash) {
  NameSealSettings.Main.StampSize = 1000000;
  DrawNameSealBitmap(form);
  EXPECT_TRUE(Image().BitmapAsDib24().empty());
  form.WorkImage = std::make_unique<GdiWorkImage>();
  NameSealSettings.Main.StampSize = -50;
  DrawNameSealBitmap(form);
  EXPECT_TRUE(Image().BitmapAsDib24().empty());

  // Shapes far beyond a normal picture are drawn as far as they fall.
  GdiWorkImage image;
  image.SetSize(50, 50);
  Canvas& canvas = image.BitmapCanvas();
  canvas.Pen.color = kRed;
  canvas.Ellipse({-2000000000, -2000000000, 2000000000, 2000000000});
  canvas.Rectangle({-2000000000, 10, 2000000000, 20});
  canvas.Font.size = 2000000000;
  canvas.TextOut(0, 0, "大");
  EXPECT_EQ(harness::DibWidth(image.BitmapAsDib24()), 50);
}

TEST_F(SealPixels, DateSealBitmapHasItsRingsAndBandLinesWhereTheGeometrySays) {
  DateSealSettings.Main.TwinRing = 2;
  DrawDateSealBitmap(form, false);
  const PackedDib dib = Image().BitmapAsDib24();
  const int side = 2 * 115 + 4 * 4 + 4, c = side / 2;
  ASSERT_EQ(harness::DibWidth(dib), side);
  EXPECT_TRUE(RedNear(dib, c, c - 115)) << "inner ring";
  EXPECT_TRUE(RedNear(dib, c, c - 115 - 8)) << "outer ring, 2 L out";
  EXPECT_TRUE(PixelAt(dib, c, c - 115 - 4).IsWhite()) << "the gap between the rings";
  const int upper = static_cast<int>(c - 35.52), lower = static_cast<int>(c + 35.52);
  EXPECT_TRUE(RedNear(dib, c - 100, upper)) << "upper band line";
  EXPECT_TRUE(RedNear(dib, c + 100, lower)) << "lower band line";
  EXPECT_FALSE(PixelAt(dib, c - 100, upper + 6).IsReddish()) << "the date band is clear there";
}

TEST_F(SealPixels, DateSealMetafileFrameHasTheSealSize) {
  DateSealSettings.Main.TwinRing = 1;
  DrawDateSealMetafile(form, false);
  ENHMETAHEADER header{};
  ASSERT_NE(GetEnhMetaFileHeader(Image().Metafile(), sizeof header, &header), 0u);
  const int side = 2 * 115 + 24;
  EXPECT_NEAR(header.rclFrame.bottom - header.rclFrame.top, harness::ReferenceFrame(side), harness::kOneReferencePixel);
}

TEST_F(SealPixels, TiltedSealGrowsItsCanvasAndStaysRed) {
  OptionSettings.Rotate = 1;
  OptionSettings.RotateAngle = 10;
  OptionSettings.RotateSz = 1;
  DrawNameSealBitmap(form);
  const PackedDib dib = Image().BitmapAsDib24();
  const double phi = 10 * 3.1415 / 180;
  EXPECT_EQ(harness::DibWidth(dib), static_cast<int>(242 * (std::cos(phi) + std::sin(phi))));
  const int c = harness::DibWidth(dib) / 2;
  EXPECT_TRUE(RedNear(dib, c, c - 117, 2)) << "a circle stays a circle around the centre";
  EXPECT_TRUE(PixelAt(dib, 1, 1).IsWhite()) << "uncovered corners are white";
}

// A 24-bit picture whose pixels are all different colours, spread over the
// whole colour cube, so every nearest-colour decision shows.
PackedDib ManyColourPicture(int side) {
  PackedDib dib = CreateBlankDib(side, side, 3);
  const DibView view(dib);
  for (int r = 0; r < side; ++r) {
    std::uint8_t* pixel = dib.data() + (view.Row(r) - dib.data());
    for (int c = 0; c < side; ++c, pixel += 3) {
      const unsigned n = static_cast<unsigned>(r * side + c) * 2654435761u;  // scattered, distinct
      pixel[0] = static_cast<std::uint8_t>(n >> 8);
      pixel[1] = static_cast<std::uint8_t>(n >> 16);
      pixel[2] = static_cast<std::uint8_t>(n >> 24);
    }
  }
  return dib;
}

TEST_F(SealPixels, SixteenColourPicturesMatchThePlatformsConversionOfEveryPixel) {
  OptionSettings.Rotate = 1;  // turned: blended edge colours as well
  OptionSettings.RotateAngle = 7;
  DrawNameSealBitmap(form);
  const PackedDib seal = Image().BitmapAsDib(4);
  ASSERT_FALSE(seal.empty());
  EXPECT_EQ(seal, Image().BitmapAsDibPixelByPixel(4)) << "the tilted name seal";

  // 3600 colours are mapped one by one; 6400 are over the limit and take
  // the platform's own path. Either way the bytes are the platform's.
  for (const int side : {60, 80}) {
    GdiWorkImage image;
    image.SetBitmapFromDib(ManyColourPicture(side));
    const PackedDib fast = image.BitmapAsDib(4);
    ASSERT_FALSE(fast.empty()) << side;
    EXPECT_EQ(fast, image.BitmapAsDibPixelByPixel(4)) << side << " x " << side;
  }
}

TEST(GdiCanvasText, ClearBrushLeavesTheBackgroundAndSolidBrushPaintsABox) {
  GdiWorkImage image;
  image.SetSize(120, 60);
  Canvas& canvas = image.BitmapCanvas();
  canvas.Pen = {kBlack, 1, PenStyle::Solid, PenMode::Copy};
  canvas.Brush = {0x00FF00, BrushStyle::Solid};
  canvas.Rectangle({0, 0, 120, 60});
  canvas.Brush.style = BrushStyle::Clear;
  canvas.Font.size = 20;
  canvas.Font.color = kRed;
  canvas.TextOut(2, 2, "一");
  canvas.Brush = {0xFF0000, BrushStyle::Solid};
  canvas.TextOut(60, 2, "一");
  const PackedDib dib = image.BitmapAsDib24();
  EXPECT_EQ(PixelAt(dib, 5, 4), (harness::Rgb{0, 255, 0})) << "above the stroke, the green stays";
  EXPECT_EQ(PixelAt(dib, 63, 4), (harness::Rgb{0, 0, 255})) << "a solid brush paints the text box blue";
}

// The ink of the one-character name seal inside the ring: its rows and its
// pixel count.
struct Ink {
  int top = 1 << 30, bottom = -1, pixels = 0;
  int Height() const { return bottom - top + 1; }
};
Ink InkInside(const PackedDib& dib, int centre, int radius) {
  Ink ink;
  for (int y = 0; y < harness::DibHeight(dib); ++y)
    for (int x = 0; x < harness::DibWidth(dib); ++x)
      if (std::hypot(x - centre, y - centre) < radius && PixelAt(dib, x, y).IsReddish()) {
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
        ++ink.pixels;
      }
  return ink;
}

TEST_F(SealPixels, NameSealTextHasTheHeightItsFontSizeAsksForAndItsWeight) {
  CopyToField(NameSealSettings.Main.Text1, "名");
  NameSealSettings.Main.Text2[0] = '\0';
  DrawNameSealBitmap(form);
  const Ink bold = InkInside(Image().BitmapAsDib24(), 121, 117 - 8);
  // 76 points are 101 pixels of character height; the character's own ink
  // fills most of it. A cell height of 101 would leave it about 86 tall.
  EXPECT_GE(bold.Height(), 90) << "the font's size is its character height";
  EXPECT_LE(bold.Height(), 101);

  NameSealSettings.Main.FontStyle = 0;
  form.WorkImage = std::make_unique<GdiWorkImage>();
  DrawNameSealBitmap(form);
  const Ink regular = InkInside(Image().BitmapAsDib24(), 121, 117 - 8);
  EXPECT_LT(regular.pixels * 100, bold.pixels * 90) << "bold strokes are heavier";
  EXPECT_GT(regular.pixels, 500);
}

TEST_F(SealPixels, DateSealBandTextIsInTheSealColour) {
  DateSealSettings.Main.StampColor = 0xFF0000;  // blue
  DrawDateSealBitmap(form, false);
  const PackedDib dib = Image().BitmapAsDib24();
  const int side = harness::DibWidth(dib), c = side / 2;
  int blue = 0, other = 0;
  for (int y = c - 15; y <= c + 15; ++y)  // the date band
    for (int x = c - 80; x <= c + 80; ++x) {
      const harness::Rgb p = PixelAt(dib, x, y);
      if (p.IsWhite()) continue;
      // Blue, or blue blended with the white paper at an antialiased edge.
      const bool tint = p.b >= 200 && std::abs(p.r - p.g) <= 40 && p.r < p.b;
      (tint ? blue : other)++;
    }
  EXPECT_GT(blue, 300) << "the date is drawn";
  EXPECT_EQ(other, 0) << "in the seal's colour and nothing else";
}

TEST_F(SealPixels, SecurityTextTakesItsOwnColour) {
  OptionSettings.SecTextColor = 0x00A000;   // green
  OptionSettings.SecLineColor = 0xFFFFFF;  // lines that leave the picture as it is
  OptionSettings.NoDispCopyGuardTitle = 1;
  Image().SetSize(300, 120);
  Canvas& canvas = Image().BitmapCanvas();
  GdiWorkImageFactory factory;
  DrawSecurityBlock(canvas, "DOC-42", MakeAuthCode("1234"), 0, 300, 120, factory);
  const PackedDib dib = Image().BitmapAsDib24();
  int green = 0, red = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 300; ++x) {
      const harness::Rgb p = PixelAt(dib, x, y);
      green += p.g > 120 && p.r < 80 && p.b < 80;
      red += p.IsReddish();
    }
  EXPECT_GT(green, 200) << "the document ID and the code in the chosen colour";
  EXPECT_EQ(red, 0) << "not in the default red";
}

}  // namespace
