// Seals as vector drawings with the real fonts: the glyph outlines GDI gives,
// filled, cover the pixels TextOut draws; and each seal's drawing is written
// as SVG and PDF beside the DIB and the transparent PNG its stamp puts on
// the clipboard, for the readers nobody here wrote to render and compare
// after the tests (check-vector-seals).

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "DateSeal.h"
#include "Dib.h"
#include "FileSystem.h"
#include "GdiGlyphSource.h"
#include "GdiWorkImage.h"
#include "GraphicScript.h"
#include "ImageCodec.h"
#include "Mainform.h"
#include "NameSeal.h"
#include "PdfForm.h"
#include "RegistryStore.h"
#include "SealSvgFile.h"
#include "SealOutput.h"
#include "SealVectors.h"
#include "Security.h"
#include "Settings.h"
#include "Sjis.h"
#include "Text.h"
#include "TextStamps.h"
#include "harness/Clipboard.h"
#include "harness/HostPath.h"
#include "harness/OnePagePdf.h"
#include "harness/Pixels.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

namespace {

std::wstring Output(const std::wstring& name) {
  return harness::HostPath(std::wstring(VARNEL_OUTPUT_UNIX) + L"/" + name);
}

// Ink: a pixel whose palest channel is below half.
bool Ink(const harness::Rgb& p) { return std::min({p.r, p.g, p.b}) < 128; }

// Ink pixels of a that lie more than a pixel away from any ink of b.
int StrayInk(const PackedDib& a, const PackedDib& b) {
  const int width = harness::DibWidth(a), height = harness::DibHeight(a);
  int strays = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!Ink(harness::PixelAt(a, x, y))) continue;
      bool covered = false;
      for (int dy = -1; dy <= 1 && !covered; ++dy)
        for (int dx = -1; dx <= 1 && !covered; ++dx) covered = Ink(harness::PixelAt(b, x + dx, y + dy));
      strays += covered ? 0 : 1;
    }
  return strays;
}

int InkCount(const PackedDib& dib) {
  int count = 0;
  for (int y = 0; y < harness::DibHeight(dib); ++y)
    for (int x = 0; x < harness::DibWidth(dib); ++x) count += Ink(harness::PixelAt(dib, x, y)) ? 1 : 0;
  return count;
}

// The outline filled by GDI's own path filling (nonzero rule), black on a
// white bitmap; coordinates kept to a sixteenth of a pixel.
PackedDib FillOutline(const VectorPath& path, int width, int height) {
  GdiWorkImage image;
  image.SetSize(width, height);
  image.BitmapCanvas();
  HDC dc = image.BitmapDc();
  SetGraphicsMode(dc, GM_ADVANCED);
  const XFORM sixteenth{1.0f / 16, 0, 0, 1.0f / 16, 0, 0};
  SetWorldTransform(dc, &sixteenth);
  auto point = [](PointD p) { return POINT{static_cast<LONG>(p.x * 16), static_cast<LONG>(p.y * 16)}; };
  BeginPath(dc);
  for (const PathSegment& s : path.Segments()) {
    const POINT p[3] = {point(s.p[0]), point(s.p[1]), point(s.p[2])};
    switch (s.verb) {
      case PathSegment::Verb::Move: MoveToEx(dc, p[0].x, p[0].y, nullptr); break;
      case PathSegment::Verb::Line: LineTo(dc, p[0].x, p[0].y); break;
      case PathSegment::Verb::Curve: PolyBezierTo(dc, p, 3); break;
      case PathSegment::Verb::Close: CloseFigure(dc); break;
    }
  }
  EndPath(dc);
  SetPolyFillMode(dc, WINDING);
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  FillPath(dc);
  return image.BitmapAsDib24();
}

TEST(GdiGlyphs, OutlinesAreMeasuredAsTheCanvasMeasuresAndCoverWhatTextOutDraws) {
  struct Case {
    const char* face;
    int points;
    std::uint8_t style;
  };
  // The name seal's font, the date seal's, the marks' and the toolbar's, in each style.
  const Case cases[] = {{"ＭＳ 明朝", 76, 1},       {"ＭＳ 明朝", 24, 0}, {"ＭＳ ゴシック", 30, 0},
                        {"ＭＳ Ｐゴシック", 40, 2}, {"ＭＳゴシック", 20, 4 | 8}};
  GdiGlyphSource glyphs;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.points) + "pt style " + std::to_string(c.style));
    FontSpec font;
    font.name = c.face;
    font.size = c.points;
    font.style = c.style;
    const std::string text = "名前 Ab1";
    GdiWorkImage reference;
    reference.SetSize(10, 10);
    Canvas& canvas = reference.BitmapCanvas();
    canvas.Font = font;
    canvas.Brush.style = BrushStyle::Clear;
    const Extent extent = canvas.TextExtent(text);
    EXPECT_EQ(glyphs.Measure(font, text), extent);

    GdiWorkImage drawn;
    drawn.SetSize(extent.cx + 20, extent.cy + 20);
    Canvas& on = drawn.BitmapCanvas();
    on.Font = font;
    on.Brush.style = BrushStyle::Clear;
    on.TextOut(10, 10, text);
    const PackedDib byTextOut = drawn.BitmapAsDib24();
    const PackedDib byOutline = FillOutline(glyphs.Outline(font, text).Transformed(Affine::Translation(10, 10)),
                                            extent.cx + 20, extent.cy + 20);
    const int ink = InkCount(byTextOut);
    ASSERT_GT(ink, 50);
    // Filled without anti-aliasing and unhinted, the outlines come out a
    // little heavier than the text; a missing bold or line much lighter.
    EXPECT_GE(InkCount(byOutline), ink * 0.9) << "as much ink: bold and the lines included";
    EXPECT_LE(InkCount(byOutline), ink * 1.35);
    EXPECT_LE(StrayInk(byOutline, byTextOut), 4 + ink / 50) << "the outlines lie where the text is drawn";
    EXPECT_LE(StrayInk(byTextOut, byOutline), 4 + ink / 50) << "and the text where the outlines are";
  }
  EXPECT_TRUE(glyphs.Outline(FontSpec{}, "   ").Empty()) << "blanks have no outline";
}

// Each seal's stamp on the clipboard and its drawing, side by side in the
// test output: <seal>-dib.bmp (the clipboard's DIB, or the picture the stamp
// plays), <seal>.png (the clipboard's transparent PNG, as the PNG export
// writes it), <seal>.svg and <seal>.pdf (the drawing), listed with their
// resolution in vector-seals.txt.
class VectorSeals : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::DeleteTree(L"Software\\Qdx");
    RunVersionCheck(store, nullptr);
    LoadAllSettings(store, FileExists);
    OptionSettings.CheckDate = 0;
    OptionSettings.ClipboardFormat = 2;
    OptionSettings.GenMetafile = 0;
    OptionSettings.ClipboardPng = 1;
    // The option holds 63 bytes: the scan goes where a short path reaches it.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    scan = std::wstring(temp) + L"vector-seal-scan.jpg";
    ASSERT_TRUE(CopyFileW(harness::HostPath(VARNEL_FIXTURES_UNIX L"/seal-scan.jpg").c_str(), scan.c_str(), FALSE));
    CopyToField(OptionSettings.Bitmap1, Narrow(scan));
    ASSERT_TRUE(pad.Create());
    CreateDirectoryW(harness::HostPath(VARNEL_OUTPUT_UNIX).c_str(), nullptr);
  }
  void TearDown() override {
    OptionSettings.ClipboardPng = 0;
    harness::DeleteTree(L"Software\\Qdx");
    DeleteFileW(scan.c_str());
  }

  // Writes the drawing as SVG and PDF, and what the stamp put out beside it.
  void WriteSeal(const std::string& name, const VectorDrawing& drawing, int resolution, const PackedDib& stamped,
                 std::string_view title) {
    SCOPED_TRACE(name);
    const std::wstring wide(name.begin(), name.end());
    EXPECT_EQ(drawing.width, harness::DibWidth(stamped)) << "the drawing is the stamp's size";
    EXPECT_EQ(drawing.height, harness::DibHeight(stamped));
    EXPECT_TRUE(harness::WriteBmp(stamped, Output(wide + L"-dib.bmp")));
    EXPECT_EQ(SaveSealSvg(Output(wide + L".svg"), drawing, resolution, title), DWORD{ERROR_SUCCESS});
    const std::string pdf = harness::OnePagePdf(SealPdfAppearance(drawing, resolution));
    EXPECT_TRUE(harness::WriteWholeFile(Output(wide + L".pdf"), pdf.data(), pdf.size()));
    listing += name + " " + std::to_string(resolution) + "\n";
  }

  // The clipboard's DIB and, as <name>.png, its transparent PNG.
  PackedDib TakeStamp(const std::wstring& name) {
    const auto png = harness::ClipboardBytes(PngClipboardFormat());
    EXPECT_TRUE(png.has_value());
    if (png) harness::WriteWholeFile(Output(name + L".png"), png->data(), png->size());
    const auto dib = harness::ClipboardBytes(CF_DIB);
    return dib ? PackedDib(dib->begin(), dib->end()) : PackedDib();
  }

  RegistryStore store;
  std::uint8_t ready = 1;
  TForm1 pad{store, ready};
  GdiGlyphSource glyphs;
  VectorTools tools{glyphs, InkOnTransparent};
  SealForm form;
  std::wstring scan;
  std::string listing;
};

TEST_F(VectorSeals, EachSealsDrawingIsWrittenBesideTheStampItsClipboardGets) {
  pad.SpeedButton1Click();
  const VectorDrawing name = NameSealDrawing(form, tools);
  WriteSeal("name-seal", name, 26000, TakeStamp(L"name-seal"), NameSealWords(NameSealSettings));

  pad.SpeedButton2Click();
  const VectorDrawing date = DateSealDrawing(form, false, tools);
  WriteSeal("date-seal", date, 15249, TakeStamp(L"date-seal"),
            DateSealWords(DateSealSettings, form.DateText));

  // Read first: the stamp of an unreadable file would wait on its message.
  const DecodedImage scan = DecodeImageFile(FieldText(OptionSettings.Bitmap1));
  ASSERT_EQ(scan.status, ImageFileStatus::Loaded);
  pad.B1Click();
  const PackedDib bitmapSeal = TakeStamp(L"bitmap-seal");
  WriteSeal("bitmap-seal", PictureDrawing(scan.dib, tools), OptionSettings.Bitmap1Resolution, bitmapSeal, "");

  // The toolbar's square stamp is a metafile alone.
  FontSpec font;
  font.name = "ＭＳ Ｐゴシック";
  font.size = 40;
  font.color = kRed;
  font.charset = kShiftJisCharset;
  GdiWorkImage metafile;
  DrawSquareStamp(metafile, "至急", font);
  // Played onto its own pixels as the stamp's PNG plays it.
  GdiWorkImage played;
  PlayAtItsPixels(metafile, played);
  const PackedDib square = played.BitmapAsDib24();
  WriteSeal("square-stamp", SquareStampDrawing("至急", font, tools), GdiWorkImage::ReferencePixelsPerMetre(), square,
            "至急");

  // A graphic script, run by the bitmap interpreter into a bitmap and into a drawing.
  const std::string script = Narrow(harness::HostPath(VARNEL_SAMPLES_UNIX L"/uketsuke.vgs"));
  GdiWorkImage scriptBitmap;
  const int scriptResolution = RunGraphicScript(scriptBitmap, script, form);
  ASSERT_GT(scriptResolution, 0);
  VectorWorkImage scriptDrawing(glyphs, InkOnTransparent);
  EXPECT_EQ(RunGraphicScript(scriptDrawing, script, form), scriptResolution);
  WriteSeal("script", scriptDrawing.Drawing(), scriptResolution, scriptBitmap.BitmapAsDib24(), "");

  // For a look: the name seal with the copy guard's marks.
  const VectorDrawing marked = WithSecurityMarks(name, 26000, {"A-1234", MakeAuthCode("12345678")},
                                                 GdiWorkImage::ReferencePixelsPerMetre(), 100, tools);
  EXPECT_EQ(SaveSealSvg(Output(L"name-seal-marked.svg"), marked, GdiWorkImage::ReferencePixelsPerMetre(), ""),
            DWORD{ERROR_SUCCESS});

  EXPECT_TRUE(harness::WriteWholeFile(Output(L"vector-seals.txt"), listing.data(), listing.size()));
}

TEST_F(VectorSeals, ASvgThatCannotBeWrittenLeavesTheFileThereAsItWas) {
  const std::wstring path = Output(L"kept.svg");
  ASSERT_TRUE(harness::WriteWholeFile(path, "kept", 4));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  const VectorDrawing name = NameSealDrawing(form, tools);
  EXPECT_EQ(SaveSealSvg(path, name, 26000, ""), DWORD{ERROR_ACCESS_DENIED});
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(harness::ReadWholeFile(path).value_or(""), "kept");
  EXPECT_NE(SaveSealSvg(Output(L"no-such-folder/seal.svg"), name, 26000, ""), DWORD{ERROR_SUCCESS});
  DeleteFileW(path.c_str());
}

}  // namespace
