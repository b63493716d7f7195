// Seals as vector drawings: the canvas that keeps what the renderers draw as
// outlines, the seals drawn by their own renderers into it, and the SVG
// file and PDF form written from it.

#include <gtest/gtest.h>

#include <string>

#include "DateSeal.h"
#include "Dib.h"
#include "MemoryStore.h"
#include "NameSeal.h"
#include "PdfForm.h"
#include "RecordingCanvas.h"
#include "SealVectors.h"
#include "Settings.h"
#include "SvgWriter.h"
#include "TestPrinters.h"
#include "TextStamps.h"

namespace {

// The test's stand-in for the export's paper-to-transparent rule: white
// paper transparent, every other pixel opaque ink.
std::vector<std::uint8_t> WhiteTransparent(const PackedDib& dib) {
  const DibView view(dib);
  std::vector<std::uint8_t> bgra;
  for (int y = 0; y < view.Height(); ++y)
    for (int x = 0; x < view.Width(); ++x) {
      const std::uint8_t* p = view.Row(y) + 3 * x;
      const bool paper = p[0] == 255 && p[1] == 255 && p[2] == 255;
      bgra.insert(bgra.end(), {p[0], p[1], p[2], static_cast<std::uint8_t>(paper ? 0 : 255)});
    }
  return bgra;
}

// A white 24-bit DIB with one red pixel at the top-left.
PackedDib RedDotPicture(int width, int height) {
  PackedDib dib = CreateBlankDib(width, height, 3);
  const DibView view(dib);
  const std::size_t rows = 40;
  std::fill(dib.begin() + rows, dib.end(), 0xFF);
  const std::size_t top = rows + view.Stride() * static_cast<std::size_t>(height - 1);
  dib[top] = 0;
  dib[top + 1] = 0;
  return dib;
}

const VectorShape& ShapeOf(const VectorItem& item) { return std::get<VectorShape>(item.content); }

// An item's outline in the drawing's space.
BoxD BoundsOf(const VectorItem& item) {
  return ShapeOf(item).path.Transformed(item.transform).ControlBounds();
}

void ExpectBounds(const BoxD& b, double left, double top, double right, double bottom) {
  EXPECT_NEAR(b.left, left, 1e-6);
  EXPECT_NEAR(b.top, top, 1e-6);
  EXPECT_NEAR(b.right, right, 1e-6);
  EXPECT_NEAR(b.bottom, bottom, 1e-6);
}

class VectorCanvasTest : public ::testing::Test {
 protected:
  VectorCanvasTest() { OptionSettings = {}; }
  FixedGlyphSource glyphs;
  VectorDrawing drawing{200, 200, {}};
  VectorCanvas canvas{drawing, glyphs, WhiteTransparent};
};

TEST_F(VectorCanvasTest, ShapesAreOutlinedOnTheirBoxAsGdiOutlinesThem) {
  enum Kind { kEllipse, kRectangle, kRoundRect };
  struct Case {
    const char* what;
    Kind kind;
    Rect box;
    int penWidth;
    BrushStyle brush;
    std::size_t items;
    double inset;  // of the outline from the box
    bool filledWithOutline;
  };
  const Case cases[] = {
      {"a ring on a wide pen is centred on the box", kEllipse, {10, 20, 110, 80}, 4, BrushStyle::Clear, 1, 0, false},
      {"a one-pixel pen runs through the outermost pixels", kEllipse, {10, 20, 110, 80}, 1, BrushStyle::Clear, 1, 0.5,
       false},
      {"a pen of width 0 is one pixel too", kRectangle, {10, 20, 110, 80}, 0, BrushStyle::Clear, 1, 0.5, false},
      {"a filled shape on a wide pen is one path", kRoundRect, {10, 20, 110, 80}, 2, BrushStyle::Solid, 1, 0, true},
      {"a thin outline has its own path inside the fill", kRectangle, {10, 20, 110, 80}, 1, BrushStyle::Solid, 2, 0.5,
       false},
      {"corners given the wrong way round are put in order", kEllipse, {110, 80, 10, 20}, 4, BrushStyle::Clear, 1, 0,
       false},
      {"a box of no width draws nothing", kEllipse, {10, 20, 10, 80}, 4, BrushStyle::Clear, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    drawing.items.clear();
    canvas.Pen = {kRed, c.penWidth, PenStyle::Solid, PenMode::Copy};
    canvas.Brush = {0xFF0000, c.brush};
    if (c.kind == kEllipse) canvas.Ellipse(c.box);
    if (c.kind == kRectangle) canvas.Rectangle(c.box);
    if (c.kind == kRoundRect) canvas.RoundRect(c.box, 20, 20);
    ASSERT_EQ(drawing.items.size(), c.items);
    if (c.items == 0) continue;
    const VectorItem& outline = drawing.items.back();
    const VectorShape& shape = ShapeOf(outline);
    ASSERT_TRUE(shape.stroke.has_value());
    EXPECT_EQ(shape.stroke->color, kRed);
    EXPECT_EQ(shape.stroke->width, c.penWidth <= 1 ? 1.0 : c.penWidth);
    EXPECT_EQ(shape.stroke->round, c.penWidth > 1) << "wide pens have round ends and joins";
    EXPECT_EQ(shape.fill.has_value(), c.filledWithOutline);
    ExpectBounds(BoundsOf(outline), 10 + c.inset, 20 + c.inset, 110 - c.inset, 80 - c.inset);
    if (c.items == 2) {
      EXPECT_EQ(ShapeOf(drawing.items[0]).fill, Color{0xFF0000});
      ExpectBounds(BoundsOf(drawing.items[0]), 10, 20, 110, 80);
    }
  }
}

TEST_F(VectorCanvasTest, LinesAreStrokesOfTheirOwnAndOnlyOnePixelPensDash) {
  canvas.Pen = {kRed, 1, PenStyle::Dash, PenMode::Copy};
  canvas.MoveTo(10, 10);
  canvas.LineTo(50, 10);
  canvas.LineTo(50, 10);  // to where it stands: GDI draws nothing
  canvas.Pen.width = 4;
  canvas.LineTo(50, 60);
  ASSERT_EQ(drawing.items.size(), 2u);
  const VectorShape& thin = ShapeOf(drawing.items[0]);
  EXPECT_EQ(thin.stroke->dashes, (std::vector<double>{18, 6}));
  EXPECT_FALSE(thin.fill.has_value());
  ExpectBounds(BoundsOf(drawing.items[0]), 10.5, 10.5, 50.5, 10.5);
  const VectorShape& wide = ShapeOf(drawing.items[1]);
  EXPECT_TRUE(wide.stroke->dashes.empty()) << "a wider dashed pen draws solid";
  ExpectBounds(BoundsOf(drawing.items[1]), 50, 10, 50, 60);
}

TEST_F(VectorCanvasTest, TextIsMeasuredAndPlacedAsOnTheBitmapAndTurnsWithItsEscapement) {
  canvas.Font.size = 30;  // 40 pixels: a double-byte character 40 x 40, a single-byte one 20 x 40
  canvas.Font.color = kRed;
  canvas.Brush.style = BrushStyle::Clear;
  EXPECT_EQ(canvas.TextExtent("印A"), (Extent{60, 40}));
  canvas.TextOut(10, 20, "印A");
  ASSERT_EQ(drawing.items.size(), 1u);
  EXPECT_EQ(ShapeOf(drawing.items[0]).fill, kRed);
  ExpectBounds(BoundsOf(drawing.items[0]), 11, 21, 69, 59);

  // Turned counter-clockwise by 90 degrees about its top-left: it runs upwards.
  drawing.items.clear();
  canvas.Font.escapement = 900;
  EXPECT_EQ(canvas.TextExtent("印A"), (Extent{60, 40})) << "measured along its line";
  canvas.TextOut(10, 100, "印A");
  ExpectBounds(BoundsOf(drawing.items.at(0)), 11, 41, 49, 99);

  // A solid brush puts the text on a box of its colour.
  drawing.items.clear();
  canvas.Font.escapement = 0;
  canvas.Brush = {0x00FF00, BrushStyle::Solid};
  canvas.TextOut(0, 0, "A");
  ASSERT_EQ(drawing.items.size(), 2u);
  EXPECT_EQ(ShapeOf(drawing.items[0]).fill, Color{0x00FF00});
  ExpectBounds(BoundsOf(drawing.items[0]), 0, 0, 20, 40);
  canvas.TextOut(0, 0, "");
  EXPECT_EQ(drawing.items.size(), 2u) << "an empty text draws nothing";
}

TEST_F(VectorCanvasTest, ANotXorPenShowsItsColourOnPaperAndInvertsTheInkItCrosses) {
  canvas.Font.size = 30;
  canvas.Font.color = kRed;
  canvas.Brush.style = BrushStyle::Clear;
  canvas.TextOut(0, 0, "印");
  canvas.Pen = {0xFFFF00, 16, PenStyle::Solid, PenMode::NotXor};  // aqua
  canvas.MoveTo(0, 30);
  canvas.LineTo(40, 30);
  ASSERT_EQ(drawing.items.size(), 3u);
  EXPECT_EQ(ShapeOf(drawing.items[1]).stroke->color, Color{0xFFFF00}) << "aqua over the paper";
  const VectorItem& crossed = drawing.items[2];
  EXPECT_EQ(ShapeOf(crossed).fill, kBlack) << "NOT(aqua XOR red) is black";
  ASSERT_EQ(crossed.clips.size(), 1u);
  // The pen's area: 16 pixels across, with round ends.
  const BoxD area = crossed.clips[0].ControlBounds();
  ExpectBounds(area, -8, 22, 48, 38);

  // A white pen changes neither paper nor ink.
  drawing.items.resize(1);
  canvas.Pen.color = kWhite;
  canvas.LineTo(0, 30);
  EXPECT_EQ(drawing.items.size(), 1u);
}

TEST_F(VectorCanvasTest, StretchDrawNestsDrawingsScaledAndLaysPicturesWithTheirPaperTransparent) {
  VectorWorkImage block(glyphs, WhiteTransparent);
  block.SetSize(50, 20);
  Canvas& inner = block.BitmapCanvas();
  inner.Brush.style = BrushStyle::Clear;
  inner.Pen.width = 2;
  inner.Ellipse({0, 0, 50, 20});
  canvas.Mode = CopyMode::SrcCopy;  // makes no difference: the paper is transparent
  canvas.StretchDraw({0, 100, 100, 140}, block);
  ASSERT_EQ(drawing.items.size(), 1u);
  ExpectBounds(BoundsOf(drawing.items[0]), 0, 100, 100, 140);

  MemoryWorkImage bitmap;
  bitmap.SetBitmapFromDib(RedDotPicture(4, 2));
  canvas.StretchDraw({10, 10, 18, 14}, bitmap);
  ASSERT_EQ(drawing.items.size(), 2u);
  const auto& picture = std::get<VectorPicture>(drawing.items[1].content);
  EXPECT_EQ(picture.x, 10);
  EXPECT_EQ(picture.y, 10);
  EXPECT_EQ(picture.width, 8);
  EXPECT_EQ(picture.height, 4);
  EXPECT_EQ(picture.pixelWidth, 4);
  EXPECT_EQ(picture.pixelHeight, 2);
  ASSERT_EQ(picture.bgra->size(), 32u);
  EXPECT_EQ((*picture.bgra)[3], 255) << "the red dot is ink";
  EXPECT_EQ((*picture.bgra)[7], 0) << "the white paper is transparent";
}

TEST_F(VectorCanvasTest, AVectorImageGivenAPictureHoldsItUntilSomethingIsDrawnOverIt) {
  VectorWorkImage image(glyphs, WhiteTransparent);
  const PackedDib dib = RedDotPicture(6, 3);
  image.SetBitmapFromDib(dib);
  EXPECT_EQ(image.Width(), 6);
  EXPECT_EQ(image.Height(), 3);
  EXPECT_EQ(image.BitmapAsDib24(), dib) << "so a bitmap seal can be tilted";
  image.BitmapCanvas().LineTo(5, 2);
  EXPECT_TRUE(image.BitmapAsDib24().empty()) << "a drawing has no pixels";

  image.SetBitmapFromDib(PackedDib(10, 0));
  EXPECT_TRUE(image.Drawing().items.empty()) << "a broken picture leaves nothing";
  EXPECT_EQ(image.Drawing().width, 0);
}

class SealVectorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadNameSealSettings(store);
    LoadDateSealSettings(store);
    OptionSettings = {};
  }
  FixedGlyphSource glyphs;
  VectorTools tools{glyphs, WhiteTransparent};
  SealForm form;
};

// Each primitive the renderer recorded is one outline of the drawing, where
// the recording put it.
void ExpectDrawingFollowsRecording(const VectorDrawing& drawing, const RecordingCanvas& recorded) {
  std::size_t item = 0;
  for (const DrawCall& call : recorded.calls) {
    if (call.op == DrawCall::Op::MoveTo) continue;
    ASSERT_LT(item, drawing.items.size());
    const VectorItem& it = drawing.items[item++];
    const double inset = call.pen.width <= 1 ? 0.5 : 0;
    switch (call.op) {
      case DrawCall::Op::Ellipse:
      case DrawCall::Op::RoundRect:
        ExpectBounds(BoundsOf(it), call.box.left + inset, call.box.top + inset, call.box.right - inset,
                     call.box.bottom - inset);
        EXPECT_EQ(ShapeOf(it).stroke->width, call.pen.width);
        break;
      case DrawCall::Op::LineTo:
        EXPECT_NEAR(BoundsOf(it).right, call.x + inset, 1e-6);
        EXPECT_NEAR(BoundsOf(it).bottom, call.y + inset, 1e-6);
        break;
      case DrawCall::Op::TextOut:
        EXPECT_EQ(it.transform, Affine::Translation(call.x, call.y)) << call.text;
        EXPECT_EQ(ShapeOf(it).fill, call.font.color);
        break;
      default:
        ADD_FAILURE() << "unexpected primitive";
    }
  }
  EXPECT_EQ(item, drawing.items.size());
}

TEST_F(SealVectorsTest, NameAndDateSealsAreDrawnByTheirOwnRenderersUpright) {
  OptionSettings.Rotate = 1;
  OptionSettings.RotateAngle = 10;
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawNameSealMetafile(form);
  const RecordingCanvas nameRecording = static_cast<MemoryWorkImage&>(*form.WorkImage).metafile;
  const VectorDrawing name = NameSealDrawing(form, tools);
  EXPECT_EQ(name.width, NameSealSide(NameSealSettings));
  EXPECT_EQ(name.height, NameSealSide(NameSealSettings));
  ExpectDrawingFollowsRecording(name, nameRecording);
  EXPECT_FALSE(form.WorkImage) << "the form's image was the drawing's own";

  form.DateText = "R1.05.01";
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawDateSealMetafile(form, false);
  const RecordingCanvas dateRecording = static_cast<MemoryWorkImage&>(*form.WorkImage).metafile;
  const VectorDrawing date = DateSealDrawing(form, true, tools);
  EXPECT_EQ(date.width, DateSealSide(DateSealSettings));
  ExpectDrawingFollowsRecording(date, dateRecording);
}

TEST_F(SealVectorsTest, TheDateSealAsksForItsDateAsTheBitmapDoesAndKeepsIt) {
  OptionSettings.CheckDate = 1;
  int asked = 0;
  form.AskDate = [&](std::string_view) {
    ++asked;
    return std::string("01.01.01");
  };
  DateSealDrawing(form, true, tools);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(form.DateText, "01.01.01");
  DateSealDrawing(form, true, tools);
  EXPECT_EQ(asked, 1) << "a second drawing of the same stamp takes the date chosen";

  form.DateText.clear();
  form.DateChangeLocked = true;
  DateSealDrawing(form, true, tools);
  EXPECT_EQ(asked, 1) << "the policy's date lock holds here too";
}

TEST_F(SealVectorsTest, PicturesAndTextStampsKeepTheirOwnSize) {
  const VectorDrawing picture = PictureDrawing(RedDotPicture(30, 20), tools);
  EXPECT_EQ(picture.width, 30);
  EXPECT_EQ(picture.height, 20);
  ASSERT_EQ(picture.items.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<VectorPicture>(picture.items[0].content));

  FontSpec font;
  font.size = 30;
  font.color = kRed;
  const SquareStampLayout layout = LayoutSquareStamp(FixedTextExtent(font, "至急"));
  const VectorDrawing square = SquareStampDrawing("至急", font, tools);
  EXPECT_EQ(square.width, layout.width);
  EXPECT_EQ(square.height, layout.height);
  ASSERT_EQ(square.items.size(), 2u) << "the frame and the text";
  EXPECT_EQ(ShapeOf(square.items[0]).stroke->width, 2);
  EXPECT_EQ(square.items[1].transform, Affine::Translation(layout.textX, layout.textY));

  const VectorDrawing turned = RotatedTextDrawing("至急", font, 90, tools);
  EXPECT_EQ(turned.width, LayoutRotatedText(FixedTextExtent(font, "至急"), 90).width);
  EXPECT_NEAR(turned.items.at(0).transform.b, -1, 1e-9) << "turned upwards";
}

TEST_F(SealVectorsTest, SecurityMarksAreLaidOutAsOnTheClipboardsPicture) {
  OptionSettings.SecTextColor = 255;
  OptionSettings.SecLineColor = 0xFFFF00;
  OptionSettings.NoDispCopyGuardTitle = 1;
  const VectorDrawing seal = NameSealDrawing(form, tools);  // 242 pixels: 930 hundredths of a millimetre
  constexpr int kScreen = 3776;                             // 96 dpi
  // 9.3 mm is 35 screen pixels: a narrow seal, centred on RezoHosei pixels.
  const VectorDrawing marked = WithSecurityMarks(seal, 26000, {"A-1", "abcdefgh"}, kScreen, 100, tools);
  EXPECT_EQ(marked.width, 100);
  EXPECT_EQ(marked.height, 35 + 30);
  // The seal's ring, last drawn, over its designed size 5 pixels down.
  const double across = 930.0 * kScreen / 100000;
  const BoxD ring = BoundsOf(marked.items[marked.items.size() - seal.items.size()]);
  const double scale = across / 242, ringInset = (121 - 117) * scale;
  ExpectBounds(ring, 32 + ringInset, 5 + ringInset, 32 + across - ringInset, 5 + across - ringInset);
  // The watermark lines cross the red text: black where they do.
  std::size_t blackCopies = 0;
  for (const VectorItem& item : marked.items)
    if (!item.clips.empty() && ShapeOf(item).fill == kBlack) ++blackCopies;
  EXPECT_EQ(blackCopies, 2u) << "one copy of each line of text";

  OptionSettings.SecLineColor = kWhite;
  const VectorDrawing plain = WithSecurityMarks(seal, 26000, {"A-1", "abcdefgh"}, kScreen, 100, tools);
  EXPECT_EQ(plain.items.size(), seal.items.size() + 2) << "white lines leave the two texts alone";
}

// A drawing with one of each kind of item.
VectorDrawing Sample() {
  VectorDrawing d{242, 242, {}};
  VectorShape ring{EllipsePath({4, 4, 238, 238}), std::nullopt, VectorStroke{kRed, 4, {}, true}};
  d.items.push_back({ring, {}, {}});
  VectorShape box{RectanglePath({0, 0, 10, 10}), Color{0x00FF00}, VectorStroke{0xFF0000, 1, {18, 6}, false}};
  d.items.push_back({box, Affine::Scaling(2, 2).Then(Affine::Translation(0, 100)), {RectanglePath({0, 0, 5, 5})}});
  d.items.push_back({VectorShape{RectanglePath({1, 1, 2, 2}), kRed, std::nullopt}, {}, {}});
  auto pixels = std::make_shared<const std::vector<std::uint8_t>>(
      std::vector<std::uint8_t>{0, 0, 255, 255, 255, 255, 255, 0});  // a red pixel and a transparent one
  d.items.push_back({VectorPicture{10, 20, 4, 2, 2, 1, pixels}, {}, {}});
  return d;
}

TEST(SealSvg, IsTheDesignedSizeInMillimetresWithThePictureInItsOwnPixels) {
  int encoded = 0;
  const PngEncoder png = [&](const std::uint8_t* bgra, int width, int height, int ppm) {
    ++encoded;
    EXPECT_EQ(bgra[2], 255);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 1);
    EXPECT_EQ(ppm, 26000);
    return std::vector<std::uint8_t>{1, 2, 3, 4};
  };
  const std::optional<std::string> svg = SealSvg(Sample(), 26000, "\xE8\xAA\x8D\xE5\x8D\xB0 <&> \xFF", png);
  ASSERT_TRUE(svg.has_value());
  const std::string& s = *svg;
  EXPECT_EQ(s.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
  EXPECT_NE(s.find("width=\"9.3mm\" height=\"9.3mm\" viewBox=\"0 0 242 242\""), std::string::npos) << s;
  EXPECT_NE(s.find("<title>\xE8\xAA\x8D\xE5\x8D\xB0 &lt;&amp;&gt; </title>"), std::string::npos) << "escaped, the invalid byte gone";
  EXPECT_NE(s.find("<path d=\"M238 121 C238 185.617"), std::string::npos) << "curves for the ring";
  EXPECT_NE(s.find("fill=\"none\" stroke=\"#ff0000\" stroke-width=\"4\" stroke-linecap=\"round\""), std::string::npos);
  EXPECT_NE(s.find("fill=\"#00ff00\" stroke=\"#0000ff\" stroke-width=\"1\" stroke-linecap=\"butt\" "
                   "stroke-linejoin=\"miter\" stroke-dasharray=\"18 6\""),
            std::string::npos);
  EXPECT_NE(s.find("<clipPath id=\"clip1\"><path d=\"M0 0 L5 0 L5 5 L0 5 Z\"/></clipPath>\n"
                   "<g clip-path=\"url(#clip1)\">\n<g transform=\"matrix(2 0 0 2 0 100)\">"),
            std::string::npos);
  EXPECT_NE(s.find("<image x=\"10\" y=\"20\" width=\"4\" height=\"2\" preserveAspectRatio=\"none\" "
                   "xlink:href=\"data:image/png;base64,AQIDBA==\"/>"),
            std::string::npos);
  EXPECT_EQ(encoded, 1);
  EXPECT_EQ(s.substr(s.size() - 7), "</svg>\n");

  // The date seal's 238 pixels at 15249 pixels per metre: 1560 hundredths.
  VectorDrawing date{238, 238, {}};
  EXPECT_NE(SealSvg(date, 15249, "", png)->find("width=\"15.6mm\""), std::string::npos);
  const PngEncoder failing = [](const std::uint8_t*, int, int, int) { return std::vector<std::uint8_t>{}; };
  EXPECT_FALSE(SealSvg(Sample(), 26000, "", failing).has_value()) << "a picture that cannot be encoded";
}

TEST(SealPdf, IsTheDrawingInPointsWithItsPictures) {
  const PdfAppearance form = SealPdfAppearance(Sample(), 26000);
  EXPECT_NEAR(form.width, 930 * 72.0 / 2540, 1e-9) << "9.30 mm";
  EXPECT_NEAR(form.height, form.width, 1e-9);
  const std::string& c = form.content;
  EXPECT_EQ(c.rfind("q\n0.1089 0 0 -0.1089 0 26.3622 cm\n", 0), 0u) << c.substr(0, 60);
  EXPECT_NE(c.find("q\n1 0 0 RG\n4 w\n1 J 1 j\n238 121 m\n238 185.6173 "), std::string::npos) << c;
  EXPECT_NE(c.find("h\nS\nQ\n"), std::string::npos) << "the ring is stroked";
  EXPECT_NE(c.find("q\n0 0 m\n5 0 l\n5 5 l\n0 5 l\nh\nW n\n2 0 0 2 0 100 cm\n0 1 0 rg\n0 0 1 RG\n1 w\n0 J 0 j\n"
                   "[18 6] 0 d\n"),
            std::string::npos)
      << "clipped, transformed, filled and dashed";
  EXPECT_NE(c.find("h\nB\nQ\n"), std::string::npos) << "filled and stroked";
  EXPECT_NE(c.find("1 0 0 rg\n1 1 m\n2 1 l\n2 2 l\n1 2 l\nh\nf\n"), std::string::npos) << "filled";
  EXPECT_NE(c.find("4 0 0 -2 10 22 cm\n/Im1 Do\n"), std::string::npos) << "the picture's first row at its top";
  EXPECT_EQ(c.substr(c.size() - 2), "Q\n");
  ASSERT_EQ(form.images.size(), 1u);
  EXPECT_EQ(form.images[0].name, "Im1");
  EXPECT_EQ(form.images[0].rgb, (std::vector<std::uint8_t>{255, 0, 0, 255, 255, 255}));
  EXPECT_EQ(form.images[0].alpha, (std::vector<std::uint8_t>{255, 0}));

  VectorDrawing opaque{2, 1, {}};
  auto pixels = std::make_shared<const std::vector<std::uint8_t>>(std::vector<std::uint8_t>(8, 255));
  opaque.items.push_back({VectorPicture{0, 0, 2, 1, 2, 1, pixels}, {}, {}});
  EXPECT_TRUE(SealPdfAppearance(opaque, 26000).images.at(0).alpha.empty()) << "an opaque picture needs no mask";
}

}  // namespace
