#include <gtest/gtest.h>

#include "DateSeal.h"
#include "Dib.h"
#include "MemoryStore.h"
#include "NameSeal.h"
#include "RecordingCanvas.h"
#include "Settings.h"
#include "Sjis.h"
#include "TestPrinters.h"

namespace {

using Op = DrawCall::Op;

class DateSeal : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadAllSettings(store, [](std::string_view) { return false; });
    form.clock = &clock;
    form.AskDate = [this](std::string_view text) {
      asked.emplace_back(text);
      return answer.empty() ? std::string(text) : answer;
    };
    Fresh();
  }
  void Fresh() { form.WorkImage = std::make_unique<MemoryWorkImage>(); }
  MemoryWorkImage& Image() { return static_cast<MemoryWorkImage&>(*form.WorkImage); }
  std::vector<DrawCall> Bitmap(Op op) { return Image().bitmap.Only(op); }
  const DrawCall* TextCall(std::string_view text) {
    for (const DrawCall& c : Image().bitmap.calls)
      if (c.op == Op::TextOut && c.text == text) return &c;
    return nullptr;
  }

  FixedClock clock{{2019, 5, 1}};
  SealForm form;
  std::vector<std::string> asked;
  std::string answer;
  DateSealMain& seal = DateSealSettings.Main;
  DateSealExt& ext = DateSealSettings.Ext;
};

TEST_F(DateSeal, BandLinesMeetTheRingAt18DegreesPlusSpaceM) {
  DrawDateSealBitmap(form, false);
  ASSERT_EQ(Image().BitmapWidth(), 2 * 115 + 4 + 4);
  const auto moves = Bitmap(Op::MoveTo), lines = Bitmap(Op::LineTo);
  ASSERT_EQ(moves.size(), 2u);
  ASSERT_EQ(lines.size(), 2u);
  // a = 115 cos 0.314 = 109.38, b = 115 sin 0.314 = 35.52 around the centre 119.
  EXPECT_EQ(moves[0].x, 10);
  EXPECT_EQ(lines[0].x, 227);
  EXPECT_EQ(moves[0].y, 83);
  EXPECT_EQ(lines[0].y, 83);
  EXPECT_EQ(moves[1].y, 154);
  EXPECT_EQ(lines[1].y, 154);

  seal.SpaceM = 5;
  Fresh();
  DrawDateSealBitmap(form, false);
  EXPECT_LT(Bitmap(Op::MoveTo)[0].y, 83) << "a wider date band moves the upper line up";
}

TEST_F(DateSeal, RingStylesSizeThePictureAndDrawTheirRings) {
  seal.TwinRing = 1;
  DrawDateSealBitmap(form, false);
  EXPECT_EQ(Image().BitmapWidth(), 2 * 115 + 24);
  auto rings = Bitmap(Op::Ellipse);
  ASSERT_EQ(rings.size(), 2u);
  EXPECT_EQ(rings[0].pen.width, 2) << "8 / 3";
  EXPECT_EQ(rings[1].box.left, rings[0].box.left - 4);
  EXPECT_EQ(rings[1].box.bottom, rings[0].box.bottom + 4);
  EXPECT_EQ(Bitmap(Op::LineTo)[0].pen.width, 4) << "the pen is back to L for the band lines";

  seal.TwinRing = 2;
  Fresh();
  DrawDateSealBitmap(form, false);
  rings = Bitmap(Op::Ellipse);
  ASSERT_EQ(rings.size(), 2u);
  EXPECT_EQ(rings[1].box.left, rings[0].box.left - 8);
  EXPECT_EQ(rings[1].pen.width, 4);

  seal.TwinRing = 3;
  Fresh();
  DrawDateSealBitmap(form, false);
  const int c = (2 * 115 + 16 + 4) / 2;
  rings = Bitmap(Op::Ellipse);
  ASSERT_EQ(rings.size(), 1u);
  EXPECT_EQ(rings[0].box, (Rect{c - 115 - 4, c - 115 - 4, c + 115, c + 115})) << "only left and top move out";
  EXPECT_EQ(rings[0].pen.width, 12);

  seal.TwinRing = 7;
  Fresh();
  DrawDateSealBitmap(form, false);
  EXPECT_EQ(Image().BitmapWidth(), 105) << "an unknown style keeps the image's size";
  EXPECT_TRUE(Bitmap(Op::Ellipse).empty());
  EXPECT_TRUE(Bitmap(Op::LineTo).empty());
  EXPECT_NE(TextCall("19.05.01"), nullptr) << "the texts are still drawn";
}

TEST_F(DateSeal, UpperBandSitsOnTheBandLine) {
  DrawDateSealBitmap(form, false);
  const int side = 238, h = FontPixelHeight(46);
  const DrawCall* text1 = TextCall("組織");
  ASSERT_NE(text1, nullptr);
  EXPECT_EQ(text1->y, static_cast<int>(side / 2 - h - 35.52) - 2);
  EXPECT_EQ(text1->x, side / 2 - 2 * h / 2);

  seal.Text1[0] = '\0';
  CopyToField(ext.Text3, "課");
  ext.U_T2Space = 3;
  Fresh();
  DrawDateSealBitmap(form, false);
  const DrawCall* text3 = TextCall("課");
  ASSERT_NE(text3, nullptr);
  EXPECT_EQ(text3->y, static_cast<int>(side / 2 - h - 35.52) - 2) << "Text3 alone still sits on the line";
  EXPECT_EQ(TextCall(""), nullptr);
}

TEST_F(DateSeal, LowerBandPairsText4AtItsSmallerSize) {
  CopyToField(ext.Text4, "様");
  ext.L_T2FontSize = 30;
  ext.L_T2Space = 6;
  DrawDateSealBitmap(form, false);
  const DrawCall* text2 = TextCall("名字");
  const DrawCall* text4 = TextCall("様");
  ASSERT_NE(text2, nullptr);
  ASSERT_NE(text4, nullptr);
  EXPECT_EQ(text2->font.size, 48);
  EXPECT_EQ(text4->font.size, 33) << "30 % smaller than 48 points";
  const int w2 = 2 * FontPixelHeight(48), w4 = FontPixelHeight(33);
  EXPECT_EQ(text2->x, 119 - w2 / 2 - w4 / 2 - 3);
  EXPECT_EQ(text4->x, 119 + w2 / 2 - w4 / 2 + 3);
  const int lineY = static_cast<int>(119 + 35.52) + 2;
  EXPECT_EQ(text2->y, lineY);
  EXPECT_EQ(text4->y, lineY + (FontPixelHeight(48) - FontPixelHeight(33)) / 2);

  CopyToField(ext.Text5, "二行目");
  ext.L_T3Space = 4;
  Fresh();
  DrawDateSealBitmap(form, false);
  const DrawCall* text5 = TextCall("二行目");
  ASSERT_NE(text5, nullptr);
  EXPECT_EQ(text5->font.size, 48);
  EXPECT_EQ(text5->y, static_cast<int>(119 + FontPixelHeight(48) + 4 + 35.52) + 2);
}

TEST_F(DateSeal, MiddleTextFollowsTheYearStyle) {
  struct Case {
    int years, dateNZ;
    const char* header;
    const char* text;
  } cases[] = {{0, 0, "", "19.05.01"}, {1, 0, "R", "R01.05.01"}, {2, 0, "", "2019.05.01"},
               {2, 1, "", "2019.5.1"}, {5, 0, "'", "'"}};
  for (const Case& c : cases) {
    seal.Years = c.years;
    ext.DateNZ = c.dateNZ;
    CopyToField(seal.Header, c.header);
    form.DateText.clear();
    Fresh();
    DrawDateSealBitmap(form, false);
    EXPECT_EQ(form.DateText, c.text) << "Years " << c.years;
    const DrawCall* middle = TextCall(c.text);
    ASSERT_NE(middle, nullptr) << c.text;
    EXPECT_EQ(middle->font.size, 36);
    EXPECT_EQ(middle->y, 119 - FontPixelHeight(36) / 2);
  }
}

TEST_F(DateSeal, TheDateIsAskedOnlyWhenStampingByHand) {
  DrawDateSealBitmap(form, false);
  EXPECT_TRUE(asked.empty()) << "previews never ask";
  form.ExternalRequest = true;
  DrawDateSealBitmap(form, true);
  EXPECT_TRUE(asked.empty()) << "control requests never ask";
  form.ExternalRequest = false;
  form.DateChangeLocked = true;
  DrawDateSealBitmap(form, true);
  EXPECT_TRUE(asked.empty()) << "the policy's date lock";
  form.DateChangeLocked = false;
  OptionSettings.CheckDate = 0;
  DrawDateSealBitmap(form, true);
  EXPECT_TRUE(asked.empty()) << "CheckDate off";

  OptionSettings.CheckDate = 1;
  answer = "19.12.24";
  Fresh();
  DrawDateSealBitmap(form, true);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "19.05.01");
  EXPECT_EQ(form.DateText, "19.12.24");
  EXPECT_NE(TextCall("19.12.24"), nullptr);

  // The metafile of the same stamp reuses the chosen date without asking.
  Fresh();
  DrawDateSealMetafile(form, true);
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(Image().metafile.Only(Op::TextOut).back().text, "19.12.24");
}

TEST_F(DateSeal, MetafileFormAsksOnItsOwnButIgnoresTheDateLock) {
  form.DateChangeLocked = true;
  DrawDateSealMetafile(form, true);
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_TRUE(form.DateText.empty()) << "only the bitmap form records the text";
  EXPECT_EQ(Image().MetafileWidth(), 238);
}

TEST_F(DateSeal, AnOverlongAnswerIsCutAtACharacterBoundary) {
  answer = std::string(61, '1') + "日日";
  DrawDateSealBitmap(form, true);
  EXPECT_EQ(form.DateText, std::string(61, '1') + "日");
}

TEST_F(DateSeal, FixedRotationReplacesTheBitmapAndTheMetafileStaysUpright) {
  OptionSettings.Rotate = 1;
  OptionSettings.RotateAngle = 10;
  OptionSettings.RotateSz = 1;
  DrawDateSealBitmap(form, false);
  EXPECT_GT(Image().BitmapWidth(), 238) << "the canvas grows so corners are not cut";
  Fresh();
  DrawDateSealMetafile(form, false);
  EXPECT_EQ(Image().MetafileWidth(), 238);
  EXPECT_FALSE(Image().HasBitmap());
}

}  // namespace
