#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "GraphicScript.h"
#include "RecordingCanvas.h"
#include "Records.h"
#include "ScriptFile.h"
#include "ScriptReader.h"
#include "Sjis.h"

namespace {

using Op = DrawCall::Op;

// Runs scripts against the process-wide records, put back after each test.
class GraphicScript : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDate_ = DateSealSettings;
    savedOptions_ = OptionSettings;
    CopyToField(OptionSettings.WarekiDate[0], "1926/12/25");
    CopyToField(OptionSettings.WarekiDate[1], "1989/01/08");
    CopyToField(OptionSettings.WarekiDate[2], "2019/05/01");
    OptionSettings.CheckDate = 0;
    DateSealSettings.Main.Years = 0;
    CopyToField(DateSealSettings.Main.Header, "");
    form.clock = &clock;
  }
  void TearDown() override {
    DateSealSettings = savedDate_;
    OptionSettings = savedOptions_;
    ScriptPreviewMode = false;
  }

  int RunBitmap(std::string_view script) {
    ScriptFile file(script);
    return RunGraphicScript(image, file.Path(), form);
  }
  int RunMetafile(std::string_view script) {
    ScriptFile file(script);
    return RunMetafileScript(image, file.Path(), form);
  }
  std::vector<DrawCall> Bitmap(Op op) const { return image.bitmap.Only(op); }
  std::vector<DrawCall> Metafile(Op op) const { return image.metafile.Only(op); }
  // The only text the bitmap interpreter drew.
  std::string BitmapText() const {
    const auto texts = Bitmap(Op::TextOut);
    if (texts.size() == 1) return texts[0].text;
    std::string count = std::to_string(texts.size());
    return count.append(" texts");
  }

  FixedClock clock{{2024, 5, 7}};
  SealForm form;
  MemoryWorkImage image;

 private:
  DateSealRecord savedDate_;
  OptionRecord savedOptions_;
};

void ExpectScriptDefaults(const DrawCall& call) {
  EXPECT_EQ(call.pen.color, kRed);
  EXPECT_EQ(call.pen.width, 3);
  EXPECT_EQ(call.pen.style, PenStyle::Solid);
  EXPECT_EQ(call.brush.style, BrushStyle::Clear);
  EXPECT_EQ(call.font.name, "ＭＳゴシック");
  EXPECT_EQ(call.font.size, 20);
  EXPECT_EQ(call.font.color, kRed);
  EXPECT_EQ(call.font.charset, 1);
}

TEST_F(GraphicScript, CommentsAndBlankLinesDrawNothing) {
  EXPECT_EQ(RunBitmap("; only a comment\n\n   \n;Size 10 10\n"), 14173);
  EXPECT_FALSE(image.HasBitmap());
  EXPECT_TRUE(image.bitmap.calls.empty());
}

TEST_F(GraphicScript, AMissingFileGivesZeroAndNoPicture) {
  ScriptPreviewMode = true;
  OptionSettings.CheckDate = 1;
  EXPECT_EQ(RunGraphicScript(image, ScriptFile::MissingPath(), form), 0);
  EXPECT_EQ(RunMetafileScript(image, ScriptFile::MissingPath(), form), 0);
  EXPECT_FALSE(image.HasBitmap());
  EXPECT_EQ(image.MetafileRecordings(), 0);
  EXPECT_EQ(OptionSettings.CheckDate, 1) << "put back after a preview that could not read its file";
}

TEST_F(GraphicScript, SizeFirstMakesTheBitmapThatSizeWithTheScriptDefaults) {
  EXPECT_EQ(RunBitmap("Reso 300\nSize 200 120\nRect 10 20 50 60\n"), 11811);
  EXPECT_EQ(image.BitmapWidth(), 200);
  EXPECT_EQ(image.BitmapHeight(), 120);
  const auto rects = Bitmap(Op::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].box, (Rect{10, 20, 50, 60}));
  ExpectScriptDefaults(rects[0]);
}

TEST_F(GraphicScript, TheFirstCanvasCommandFixesTheBitmapSize) {
  // Without Size the bitmap has the control's first size, drawn with the
  // script defaults all the same.
  RunBitmap("Circle 0 0 10 10\nSize 300 200\nCircle 1 1 5 5\n");
  EXPECT_EQ(image.BitmapWidth(), 105);
  EXPECT_EQ(image.BitmapHeight(), 105);
  const auto circles = Bitmap(Op::Ellipse);
  ASSERT_EQ(circles.size(), 2u);
  ExpectScriptDefaults(circles[0]);
  EXPECT_EQ(image.Width(), 300) << "Size still sets the control";

  // A pen setting touches the canvas too; Reso does not.
  MemoryWorkImage penFirst;
  ScriptFile script("Reso 600\nLINEWIDTH 5\nSize 40 30\nLine 0 0 9 9\n");
  EXPECT_EQ(RunGraphicScript(penFirst, script.Path(), form), 23622);
  EXPECT_EQ(penFirst.BitmapWidth(), 105);
}

TEST_F(GraphicScript, SizeResetsTheStateButKeepsFontStyleAndFillColour) {
  RunBitmap(
      "Size 50 40\nLINEWIDTH 9\nLINESTYLE DOT\nLINECOLOR 0 255 0\nBGCOLOR 1 2 3\n"
      "FONTNAME Arial\nFONTSIZE 8\nFONTCOLOR 0 0 255\nFONTSTYLE BOLD\n"
      "Rect 0 0 5 5\nSize 300 300\nRect 1 1 6 6\n");
  EXPECT_EQ(image.BitmapWidth(), 50) << "a later Size leaves the bitmap as it is";
  const auto rects = Bitmap(Op::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].pen, (PenSpec{0x00FF00, 9, PenStyle::Solid}));
  EXPECT_EQ(rects[0].brush, (BrushSpec{0x030201, BrushStyle::Solid}));
  EXPECT_EQ(rects[0].font.name, "Arial");
  EXPECT_EQ(rects[0].font.size, 8);
  EXPECT_EQ(rects[0].font.color, 0xFF0000u);
  ExpectScriptDefaults(rects[1]);
  EXPECT_EQ(rects[1].font.style, kStyleBold);
  EXPECT_EQ(rects[1].brush.color, 0x030201u);
}

TEST_F(GraphicScript, CommandNamesIgnoreCaseButStyleWordsFollowTheirOwnRules) {
  RunBitmap(
      "size 30 40\nFONTSTYLE bold\nline 0 0 1 1\nFONTSTYLE BOLD\nTEXT a 0 0\n"
      "LINESTYLE dash\nLine 0 0 2 2\nLINESTYLE wavy\nLINE 0 0 3 3\n"
      "LINESTYLE DOT\nLINECOLOR 0 0 255\nlInE 0 0 4 4\nFONTSTYLE ITALICBOLD\nText b 0 0\n"
      "FONTSTYLE Italic\nText c 0 0\nFONTSTYLE STRIKEOUT\nText d 0 0\n"
      "FONTSTYLE UNDERLINE\nText e 0 0\nFONTSTYLE ITALIC\nText f 0 0\n");
  EXPECT_EQ(image.BitmapWidth(), 30);
  const auto lines = Bitmap(Op::LineTo);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].font.style, 0) << "FONTSTYLE bold in lower case changes nothing";
  EXPECT_EQ(lines[1].pen.style, PenStyle::Dash);
  EXPECT_EQ(lines[2].pen.style, PenStyle::Dash) << "an unknown pen style word changes nothing";
  EXPECT_EQ(lines[3].pen, (PenSpec{0xFF0000, 3, PenStyle::Solid})) << "LINECOLOR makes the pen solid";
  const auto texts = Bitmap(Op::TextOut);
  ASSERT_EQ(texts.size(), 6u);
  const std::uint8_t styles[] = {kStyleBold, kStyleItalic | kStyleBold, kStyleItalic | kStyleBold,
                                 kStyleStrikeOut, kStyleUnderline, kStyleItalic};
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i].font.style, styles[i]) << texts[i].text;
}

TEST_F(GraphicScript, IndentedCommandsRunAndIndentedSemicolonsMatchNothing) {
  RunBitmap("Size 20 20\n   ;Rect 0 0 5 5\n\tRect 1 2 3 4\nSizes 99 99\nRect\n");
  const auto rects = Bitmap(Op::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].box, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(rects[1].box, (Rect{0, 0, 0, 0})) << "missing arguments are 0";
  EXPECT_EQ(image.Width(), 20);
}

TEST_F(GraphicScript, ABlankSplitsTextIntoArguments) {
  RunBitmap("Size 100 100\nText 見 本 10 10\n");
  const auto texts = Bitmap(Op::TextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "見");
  EXPECT_EQ(texts[0].x, 0);
  EXPECT_EQ(texts[0].y, 10);
}

TEST_F(GraphicScript, ShapesTakeTheirBoxesAndTheFill) {
  RunBitmap(
      "Size 100 100\nBGCOLOR 0 0 0\nRect 1 2 30 40\nBGCOLOR 255 255 -1\nROUNDRECT 5 6 70 80 12\n"
      "BGCOLOR 300 0 0\nCircle 10 10 90 60\nBGCOLOR -1 0 0\nLine 3 4 50 60\n");
  const auto& calls = image.bitmap.calls;
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].op, Op::Rectangle);
  EXPECT_EQ(calls[0].brush, (BrushSpec{kBlack, BrushStyle::Solid}));
  EXPECT_EQ(calls[1].op, Op::RoundRect);
  EXPECT_EQ(calls[1].box, (Rect{5, 6, 70, 80}));
  EXPECT_EQ(calls[1].x, 12);
  EXPECT_EQ(calls[1].y, 12);
  EXPECT_EQ(calls[1].brush.style, BrushStyle::Clear) << "any -1 switches the fill off";
  EXPECT_EQ(calls[2].op, Op::Ellipse);
  EXPECT_EQ(calls[2].box, (Rect{10, 10, 90, 60}));
  EXPECT_EQ(calls[2].brush, (BrushSpec{300, BrushStyle::Solid})) << "red spills into green";
  EXPECT_EQ(calls[3].op, Op::MoveTo);
  EXPECT_EQ(calls[3].x, 3);
  EXPECT_EQ(calls[3].y, 4);
  EXPECT_EQ(calls[4].op, Op::LineTo);
  EXPECT_EQ(calls[4].x, 50);
  EXPECT_EQ(calls[4].y, 60);
}

TEST_F(GraphicScript, ColourComponentsSpillButStayWithinTwentyFourBits) {
  RunBitmap("Size 9 9\nLINECOLOR 256 0 0\nLine 0 0 1 1\nLINECOLOR 0 0 256\nLine 0 0 1 1\n"
            "LINECOLOR -2 0 0\nLine 0 0 1 1\n");
  const auto lines = Bitmap(Op::LineTo);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].pen.color, 0x000100u);
  EXPECT_EQ(lines[1].pen.color, 0x000000u);
  EXPECT_EQ(lines[2].pen.color, 0xFFFFFEu);
}

TEST_F(GraphicScript, TextCCentresWithTruncatingHalves) {
  // 20 points are 27 pixels with the fixed metric; a double-byte character
  // is as wide as it is high.
  RunBitmap("Size 100 100\nTextC 見本 0 0 100 50\nTextC 見本本 10 0 20 10\nFONTSIZE 10\nTextC ab 0 0 9 9\n");
  const auto texts = Bitmap(Op::TextOut);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].x, 23);
  EXPECT_EQ(texts[0].y, 11);
  EXPECT_EQ(texts[1].x, 10 + (10 - 81) / 2) << "toward zero: -35, not -36";
  EXPECT_EQ(texts[1].y, (10 - 27) / 2);
  EXPECT_EQ(texts[2].x, (9 - 12) / 2);
  EXPECT_EQ(texts[2].y, (9 - 13) / 2);
}

TEST_F(GraphicScript, FontNamesJoinTheirPartsPerInterpreter) {
  const char* script =
      "Size 10 10\nFONTSTYLE BOLD\nFONTNAME ＭＳ Ｐゴシック\nText a 0 0\n"
      "FONTNAME A B C D E\nText b 0 0\n";
  RunBitmap(script);
  RunMetafile(script);
  const auto bitmapTexts = Bitmap(Op::TextOut);
  const auto metaTexts = Metafile(Op::TextOut);
  ASSERT_EQ(bitmapTexts.size(), 2u);
  ASSERT_EQ(metaTexts.size(), 2u);
  EXPECT_EQ(bitmapTexts[0].font.name, "ＭＳ Ｐゴシック");
  EXPECT_EQ(metaTexts[0].font.name, "ＭＳ Ｐゴシック");
  EXPECT_EQ(bitmapTexts[0].font.style, 0) << "FONTNAME makes the bitmap font plain";
  EXPECT_EQ(bitmapTexts[1].font.name, "A B C D");
  EXPECT_EQ(metaTexts[1].font.name, "A B");
}

TEST_F(GraphicScript, TheMetafileInterpreterIgnoresFontStyleAndDateFormat) {
  RunMetafile("Size 60 60\nFONTSTYLE BOLD\nDateFormat 3 X\nText a 0 0\nDate 0 0\n");
  const auto texts = Metafile(Op::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].font.style, 0);
  EXPECT_EQ(texts[1].text, "24.05.07") << "the stored year style and header";
}

TEST_F(GraphicScript, ResoSetsTheResultInPixelsPerMetre) {
  EXPECT_EQ(RunBitmap("Size 9 9\n"), 14173);
  EXPECT_EQ(RunBitmap("Reso 300\n"), 11811);
  EXPECT_EQ(RunBitmap("RESO 600\n"), 23622);
  EXPECT_EQ(RunMetafile("Reso 300\nReso 360\n"), 14173) << "the last one counts";
  EXPECT_EQ(RunMetafile("Reso 72\n"), 2834);
  // No dpi is no resolution (the callers make no picture); huge ones are held.
  EXPECT_EQ(RunBitmap("Reso 0\n"), 0);
  EXPECT_EQ(RunBitmap("Reso\n"), 0) << "a missing argument";
  EXPECT_EQ(RunMetafile("Reso dpi\n"), 0) << "a word";
  EXPECT_EQ(RunBitmap("Reso -300\n"), 0);
  EXPECT_EQ(RunBitmap("Reso 99999999999\n"), 3937007);
}

TEST_F(GraphicScript, MetafileRestartsOnEverySize) {
  EXPECT_EQ(RunMetafile("Rect 0 0 5 5\nSize 200 120\nCircle 0 0 9 9\nSize 80 70\nLine 1 1 2 2\n"), 14173);
  EXPECT_EQ(image.MetafileRecordings(), 3) << "100 x 100 first, then one per Size";
  EXPECT_EQ(image.MetafileWidth(), 80);
  EXPECT_EQ(image.MetafileHeight(), 70);
  EXPECT_TRUE(image.HoldsMetafile());
  EXPECT_FALSE(image.HasBitmap());
  ASSERT_EQ(image.metafile.calls.size(), 2u) << "only what follows the last Size";
  EXPECT_EQ(image.metafile.calls[0].op, Op::MoveTo);
  ExpectScriptDefaults(image.metafile.calls[1]);

  MemoryWorkImage noSize;
  ScriptFile script("Rect 0 0 5 5\n");
  RunMetafileScript(noSize, script.Path(), form);
  EXPECT_EQ(noSize.MetafileWidth(), 100);
  EXPECT_EQ(noSize.MetafileHeight(), 100);
  ASSERT_EQ(noSize.metafile.calls.size(), 1u);
  ExpectScriptDefaults(noSize.metafile.calls[0]);
}

TEST_F(GraphicScript, DateTextsFollowTheYearStyleAndThePrefix) {
  DateSealSettings.Main.Years = 2;
  CopyToField(DateSealSettings.Main.Header, "H");
  const std::pair<const char*, const char*> cases[] = {
      {"DateFormat 1 令和\n", "令和24.05.07"},  // the prefix is free text
      {"DateFormat 2 令和\n", "令和06.05.07"},
      {"DateFormat 3\n", "2024.05.07"},
      {"DateFormat 9\n", "2024.05.07"},          // keeps Years, empties Header
      {"", "H2024.05.07"},
      {"DateFormat 2 ＡＢＣＤ\n", "ＡＢＣ06.05.07"},  // 8 bytes cut to 6 at a character boundary
      {"DateFormat 1 abcdefghij\n", "abcdefg24.05.07"},
  };
  for (const auto& [format, expected] : cases) {
    MemoryWorkImage fresh;
    ScriptFile script(std::string("Size 200 50\n") + format + "Date 5 5\n");
    RunGraphicScript(fresh, script.Path(), form);
    const auto texts = fresh.bitmap.Only(Op::TextOut);
    ASSERT_EQ(texts.size(), 1u) << format;
    EXPECT_EQ(texts[0].text, expected) << format;
    EXPECT_EQ(texts[0].x, 5);
    EXPECT_EQ(DateSealSettings.Main.Years, 2) << "put back after: " << format;
    EXPECT_STREQ(DateSealSettings.Main.Header, "H") << "put back after: " << format;
  }
}

TEST_F(GraphicScript, DateFormatLastsToTheEndOfTheRunOnly) {
  RunBitmap("Size 9 9\nDate 0 0\nDateFormat 2 R\nDate 0 0\nDateFormat 3\nDate 0 0\n");
  const auto texts = Bitmap(Op::TextOut);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "24.05.07");
  EXPECT_EQ(texts[1].text, "R06.05.07");
  EXPECT_EQ(texts[2].text, "2024.05.07");
  EXPECT_EQ(DateSealSettings.Main.Years, 0);
  EXPECT_STREQ(DateSealSettings.Main.Header, "");
}

TEST_F(GraphicScript, CheckDateAsksForTheDateExceptInAPreview) {
  std::vector<std::string> asked;
  std::string answer = "changed";
  form.AskDate = [&](std::string_view text) {
    asked.emplace_back(text);
    return answer;
  };
  OptionSettings.CheckDate = 1;
  RunBitmap("Size 9 9\nDateFormat 1 '\nDate 0 0\n");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "'24.05.07");
  EXPECT_EQ(BitmapText(), "changed");

  ScriptPreviewMode = true;
  image = MemoryWorkImage();
  RunBitmap("Size 9 9\nDate 0 0\n");
  EXPECT_EQ(asked.size(), 1u) << "a preview never asks";
  EXPECT_EQ(BitmapText(), "24.05.07");
  EXPECT_EQ(OptionSettings.CheckDate, 1) << "put back after the preview";

  // The metafile interpreter does not know about previews.
  RunMetafile("Size 9 9\nDate 0 0\n");
  EXPECT_EQ(asked.size(), 2u);

  // A longer answer is cut to 63 bytes at a character boundary.
  ScriptPreviewMode = false;
  image = MemoryWorkImage();
  std::string kanji;
  for (int i = 0; i < 40; ++i) kanji += "漢";
  answer = "x" + kanji;
  RunBitmap("Size 9 9\nDate 0 0\n");
  EXPECT_EQ(BitmapText(), answer.substr(0, 63));
  answer = kanji;
  image = MemoryWorkImage();
  RunBitmap("Size 9 9\nDate 0 0\n");
  EXPECT_EQ(BitmapText(), kanji.substr(0, 62)) << "63 bytes would split a character";

  // Without CheckDate, or without a way to ask, nothing is asked.
  OptionSettings.CheckDate = 0;
  RunBitmap("Size 9 9\nDate 0 0\n");
  form.AskDate = nullptr;
  OptionSettings.CheckDate = 1;
  RunBitmap("Size 9 9\nDate 0 0\n");
  EXPECT_EQ(asked.size(), 4u);
}

TEST_F(GraphicScript, AbsurdSizesAreHeldToTheSoundRange) {
  const std::pair<const char*, Extent> cases[] = {
      {"Size 0 0", {1, 1}},
      {"Size -5 100000", {1, 4000}},
      {"Size 100000 100000", {4000, 4000}},
      {"Size 99999999999 -99999999999", {4000, 1}},
      {"Size", {1, 1}},
  };
  for (const auto& [size, expected] : cases) {
    const std::string script = std::string(size) + "\nRect 0 0 5 5\n";
    MemoryWorkImage bitmap, metafile;
    ScriptFile file(script);
    RunGraphicScript(bitmap, file.Path(), form);
    RunMetafileScript(metafile, file.Path(), form);
    EXPECT_EQ((Extent{bitmap.BitmapWidth(), bitmap.BitmapHeight()}), expected) << size;
    EXPECT_EQ((Extent{metafile.MetafileWidth(), metafile.MetafileHeight()}), expected) << size;
  }
}

TEST_F(GraphicScript, PenFontAndCoordinatesStayWithinWhatGdiTakes) {
  RunBitmap(
      "Size 10 10\nLINEWIDTH 2147483647\nFONTSIZE 99999999\nRect -99999999999 0 99999999999 5\n"
      "LINEWIDTH -4\nFONTSIZE -99999999\nTextC x -2147483648 -2147483648 2147483647 2147483647\n"
      "ROUNDRECT 0 0 1 1 2147483647\nLINEWIDTH 0\nFONTSIZE 0\nLine 0 0 1 1\n");
  const auto& calls = image.bitmap.calls;
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].pen.width, kScriptMaxPenWidth);
  EXPECT_EQ(calls[0].font.size, kScriptMaxFontPoints);
  EXPECT_EQ(calls[0].box, (Rect{-32767, 0, 32767, 5}));
  EXPECT_EQ(calls[1].pen.width, 0);
  EXPECT_EQ(calls[1].font.size, -kScriptMaxFontPoints);
  EXPECT_EQ(calls[1].x, 0 - FixedTextExtent(calls[1].font, "x").cx / 2);
  EXPECT_EQ(calls[2].x, 32767);
  EXPECT_EQ(calls[4].pen.width, 0);
  EXPECT_EQ(calls[4].font.size, 0);
}

TEST_F(GraphicScript, HostileFilesGiveADefinedResult) {
  EXPECT_EQ(RunBitmap(""), 14173);
  EXPECT_FALSE(image.HasBitmap());
  EXPECT_EQ(RunMetafile(""), 14173);
  EXPECT_EQ(image.MetafileRecordings(), 1);

  std::mt19937 random(1234);
  std::string binary(64 * 1024, '\0');
  for (char& c : binary) c = static_cast<char>(random());
  binary += "\nReso 300\n";
  EXPECT_EQ(RunBitmap(binary), 11811);
  EXPECT_EQ(RunMetafile(binary), 11811);

  // One line of a megabyte: 1025 pieces, each read as a line of its own.
  std::string longLine;
  while (longLine.size() < 1024 * 1024) longLine += "Line 1 2 3 4 ";
  image = MemoryWorkImage();
  EXPECT_EQ(RunBitmap("Size 50 50\n" + longLine + "\nReso 600\n"), 23622);
  const auto lines = Bitmap(Op::LineTo);
  EXPECT_GE(lines.size(), 1u);
  EXPECT_LE(lines.size(), longLine.size() / 1023 + 1);

  EXPECT_EQ(RunBitmap(std::string(kScriptMaxFileBytes + 1, 'x')), 0) << "too large to read";
}

}  // namespace

namespace {

// The example scripts shipped in samples/: they must read as code page 932
// and keep everything they draw inside their picture.
struct Sample {
  const char* file;
  Extent size;
  const char* date;  // the date text drawn on 7 May 2024, or nullptr
};

TEST_F(GraphicScript, SamplesDrawInsideTheirPictures) {
  const Sample samples[] = {
      {"uketsuke.vgs", {300, 300}, "令和06.05.07"},
      {"kenin.vgs", {200, 130}, "2024.05.07"},
      {"kairan.vgs", {500, 170}, nullptr},
      {"shikyu.vgs", {220, 100}, nullptr},
  };
  const std::string knownFonts[] = {"ＭＳ 明朝", "ＭＳ ゴシック", "ＭＳ Ｐゴシック"};
  for (const Sample& sample : samples) {
    SCOPED_TRACE(sample.file);
    MemoryWorkImage picture;
    const std::string path = std::string(VARNEL_SAMPLES_DIR) + "/" + sample.file;
    ASSERT_EQ(RunGraphicScript(picture, path, form), 11811);
    EXPECT_EQ((Extent{picture.BitmapWidth(), picture.BitmapHeight()}), sample.size);
    int dates = 0;
    for (const DrawCall& text : picture.bitmap.Only(Op::TextOut)) {
      SCOPED_TRACE(text.text);
      EXPECT_NE(std::find(std::begin(knownFonts), std::end(knownFonts), text.font.name), std::end(knownFonts))
          << "font " << text.font.name;
      const Extent extent = FixedTextExtent(text.font, text.text);
      EXPECT_GE(text.x, 0);
      EXPECT_GE(text.y, 0);
      EXPECT_LE(text.x + extent.cx, sample.size.cx);
      EXPECT_LE(text.y + extent.cy, sample.size.cy);
      if (sample.date && text.text == sample.date) {
        ++dates;
        EXPECT_LE(std::abs(2 * text.x + extent.cx - sample.size.cx), 8) << "the date is centred";
      }
    }
    EXPECT_EQ(dates, sample.date ? 1 : 0);
    EXPECT_EQ(DateSealSettings.Main.Years, 0);
  }
}

}  // namespace
