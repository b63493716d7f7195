#include <gtest/gtest.h>

#include <cstring>

#include "MemoryStore.h"
#include "RecordingCanvas.h"
#include "SealFormatFile.h"
#include "Settings.h"
#include "SimpleStampSettings.h"
#include "TestPrinters.h"
#include "TextStamps.h"
#include "ValueList.h"

namespace {

const std::string kPath = "Software\\Qdx\\Varnel\\SimpleStamp";

TEST(ValueListTest, FieldsReadAndWriteAsTheListRulesSay) {
  MemoryStore store;
  auto key = store.Open(kPath);
  ValueList built;
  built.AddInt(1);
  built.AddText("Arial,Narrow");
  built.AddInt(-36);
  built.WriteValue(*key, "List");
  EXPECT_EQ(store.Get(kPath, "List"), "1,Arial.Narrow,-36") << "a comma in a text becomes a full stop";
  ValueList().WriteValue(*key, "Nothing");
  EXPECT_FALSE(store.Get(kPath, "Nothing").has_value()) << "nothing added, nothing written";

  ValueList read;
  EXPECT_TRUE(read.ReadValue(*key, "Missing"));
  EXPECT_EQ(read.IntAt(0), 0);
  EXPECT_EQ(read.TextAt(0), "");
  EXPECT_FALSE(read.ReadValue(*key, "List"));
  EXPECT_EQ(read.IntAt(0), 1);
  EXPECT_EQ(read.TextAt(1), "Arial.Narrow");
  EXPECT_EQ(read.IntAt(2), -36);
  EXPECT_EQ(read.IntAt(3), 0) << "a missing field";
  EXPECT_EQ(read.TextAt(3), "");

  // Fields that are no decimal number read as 0; the others still read.
  read.Assign("12x,,0x10, 5,+7,2147483648,-2147483648");
  EXPECT_EQ(read.IntAt(0), 0);
  EXPECT_EQ(read.IntAt(1), 0);
  EXPECT_EQ(read.IntAt(2), 0);
  EXPECT_EQ(read.IntAt(3), 0);
  EXPECT_EQ(read.IntAt(4), 7);
  EXPECT_EQ(read.IntAt(5), 0) << "beyond 32 bits";
  EXPECT_EQ(read.IntAt(6), -2147483647 - 1);

  std::string many;
  for (int i = 0; i < 120; ++i) many += std::to_string(i) + ",";
  read.Assign(many);
  EXPECT_EQ(read.IntAt(99), 99);
  EXPECT_EQ(read.IntAt(100), 0) << "only 100 fields are looked at";
}

TEST(SimpleStampSettingsTest, FirstLoadWritesTheTableDefaultsButNoFormats) {
  MemoryStore store;
  SimpleStampState state;
  LoadSimpleStamp(store, state);
  EXPECT_EQ(state.Slots[0].Text, "正本");
  EXPECT_EQ(state.Slots[9].Text, "至急");
  for (int n = 1; n <= 10; ++n) {
    EXPECT_EQ(store.Get(kPath, "Stamp" + std::to_string(n)), "0");
    EXPECT_EQ(store.Get(kPath, "StampFile" + std::to_string(n)), "") << "written as the empty string";
  }
  EXPECT_EQ(store.Get(kPath, "FontSize"), "10");
  EXPECT_EQ(store.Get(kPath, "StampColor"), "255");
  EXPECT_EQ(store.Get(kPath, "FontName"), "ＭＳ Ｐゴシック");
  EXPECT_EQ(store.Get(kPath, "FontStyle"), "0");
  EXPECT_FALSE(store.Get(kPath, "SimpleStampFormt0").has_value());
  EXPECT_FALSE(store.Get(kPath, "RotateTextFormt9").has_value());
  // A slot without a stored format takes the common settings.
  const SquareTextFormat& square = state.SquareFormats[3];
  EXPECT_EQ(square.OwnFormat, 0);
  EXPECT_EQ(square.FontName, "ＭＳ Ｐゴシック");
  EXPECT_EQ(square.FontSize, 40);
  EXPECT_EQ(square.Color, 255);
  EXPECT_EQ(state.RotatedFormats[3].Angle, 0);
}

TEST(SimpleStampSettingsTest, RecordsAndCommonStyleRoundTripAsStored) {
  MemoryStore store;
  store.Set(kPath, "FontStyle", "2");
  store.Set(kPath, "FontSize", "99");
  store.Set(kPath, "Stamp4", "11");
  store.Set(kPath, "RotateTextFormt1", "1,ＭＳ 明朝,24,1,16711680");  // five fields: no angle
  store.Set(kPath, "RotateTextFormt2", "0,,0,0,0,-400");
  store.Set(kPath, "RotateTextFormt3", "0,,0,0,0,315");
  store.Set(kPath, "RotateTextFormt4", "0,,0,0,0,-2147483648");
  SimpleStampState state;
  LoadSimpleStamp(store, state);
  EXPECT_EQ(state.Common.FontStyle, kStyleItalic);
  EXPECT_EQ(state.SquareFormats[0].StyleCode, 2) << "an exactly italic common font";
  EXPECT_EQ(state.Common.TrackPosition, 20) << "the track bar keeps its range";
  EXPECT_EQ(state.Slots[3].Kind, skSquare) << "a kind the list lacks";
  EXPECT_EQ(state.RotatedFormats[1].FontName, "ＭＳ 明朝");
  EXPECT_EQ(state.RotatedFormats[1].Color, 16711680);
  EXPECT_EQ(state.RotatedFormats[1].Angle, 0);
  // Every stored angle is the turn it names, within the track bar's range.
  EXPECT_EQ(state.RotatedFormats[2].Angle, -40);
  EXPECT_EQ(state.RotatedFormats[3].Angle, -45);
  EXPECT_EQ(state.RotatedFormats[4].Angle, -128) << "-2147483648 = -5965232 x 360 - 128";

  state.Common.FontStyle = kStyleBold | kStyleUnderline;
  state.SquareFormats[5] = {1, "Font, Inc", 36, 4, 32768};
  state.RotatedFormats[5].Angle = 45;
  SaveSimpleStamp(store, state, -5, 300);
  EXPECT_EQ(store.Get(kPath, "FontStyle"), "0") << "an underlined font";
  EXPECT_EQ(store.Get(kPath, "SimpleStampFormt5"), "1,Font. Inc,36,4,32768");
  EXPECT_EQ(store.Get(kPath, "RotateTextFormt5"), "0,ＭＳ Ｐゴシック,80,2,255,45");
  EXPECT_EQ(store.Get(kPath, "X"), "-5");
  EXPECT_EQ(store.Get(kPath, "Stamp4"), "0");
  SimpleStampState again;
  LoadSimpleStamp(store, again);
  EXPECT_EQ(again.SquareFormats[5].FontName, "Font. Inc");
  EXPECT_EQ(again.SquareFormats[5].StyleCode, 4);
  EXPECT_EQ(again.RotatedFormats[5].Angle, 45);
}

TEST(SimpleStampSettingsTest, FontSizesSnapToTheTrackBarAndKindsRenameTheSlot) {
  EXPECT_EQ(TrackPositionForFontSize(30) * 4, 28);
  EXPECT_EQ(TrackPositionForFontSize(100) * 4, 80);
  EXPECT_EQ(TrackPositionForFontSize(5) * 4, 8);
  EXPECT_EQ(KindChangeText(skSquare), "文字列");
  EXPECT_EQ(KindChangeText(skRotatedText), "印名");
  EXPECT_EQ(KindChangeText(skNameSealFile), "印名");
  EXPECT_EQ(StyleCodeOf(kStyleBold | kStyleItalic, 4), 3);
  EXPECT_EQ(StyleCodeOf(kStyleItalic | kStyleStrikeOut, 4), 4);
}

TEST(SealFormatFileTest, TheThreeLengthsOfANameSealFile) {
  NameSealRecord design{};
  std::memset(&design, 0x11, sizeof design);
  design.Ext.UseNameEX = 1;
  const std::string whole(reinterpret_cast<const char*>(&design), sizeof design);

  const auto complete = NameSealFromFormatFile(whole + "extra bytes");
  ASSERT_TRUE(complete);
  EXPECT_EQ(std::memcmp(&*complete, &design, sizeof design), 0);

  for (std::size_t size : {std::size_t{168}, std::size_t{1000}}) {
    const auto partial = NameSealFromFormatFile(whole.substr(0, size));
    ASSERT_TRUE(partial) << size;
    EXPECT_EQ(std::memcmp(&partial->Main, &design.Main, sizeof design.Main), 0);
    EXPECT_EQ(partial->Ext.UseNameEX, 0) << "the extension block counts as zero";
    EXPECT_EQ(partial->Ext.ExText1[0], 0);
  }
  EXPECT_FALSE(NameSealFromFormatFile(whole.substr(0, 100)));
  EXPECT_FALSE(NameSealFromFormatFile(whole.substr(0, 167)));

  DateSealRecord date{};
  date.Main.Years = 1;
  const std::string dateBytes(reinterpret_cast<const char*>(&date), sizeof date);
  EXPECT_EQ(DateSealFromFormatFile(dateBytes.substr(0, 224))->Main.Years, 1);
  EXPECT_FALSE(DateSealFromFormatFile(dateBytes.substr(0, 223)));
}

TEST(TextStampTest, FontsComeFromTheRecordOrTheCommonSettings) {
  CommonTextSettings common;
  common.Color = 0xFF0000;
  common.TrackPosition = 7;
  common.FontStyle = kStyleBold;
  SquareTextFormat own{1, "ＭＳ 明朝", 50, 3, 0x00FF00};
  const FontSpec square = SquareStampFont(own, common);
  EXPECT_EQ(square.name, "ＭＳ 明朝");
  EXPECT_EQ(square.size, 50);
  EXPECT_EQ(square.style, kStyleBold | kStyleItalic);
  EXPECT_EQ(square.color, 0x00FF00u);
  EXPECT_EQ(square.charset, 128);

  SquareTextFormat none{};
  EXPECT_EQ(SquareStampFont(none, common).color, 0xFF0000u) << "the common colour";
  EXPECT_EQ(SquareStampFont(none, common).size, 28);
  EXPECT_EQ(SquareStampFont(none, common).style, kStyleBold);
  RotatedTextFormat rotated{};
  EXPECT_EQ(RotatedTextFont(rotated, common).color, kRed) << "rotated text without its own format is red";
  EXPECT_EQ(RotatedTextFont(rotated, common).charset, kDefaultCharset);
}

TEST(TextStampTest, SquareStampIsFortyPercentLargerThanItsText) {
  MemoryWorkImage image;
  FontSpec font;
  font.size = 30;  // 40 pixels in the fixed metric: "至急" measures 80 x 40
  font.color = 0x123456;
  const SquareStampLayout layout = DrawSquareStamp(image, "至急", font);
  EXPECT_EQ(image.MetafileWidth(), 112);
  EXPECT_EQ(image.MetafileHeight(), 56);
  const auto frames = image.metafile.Only(DrawCall::Op::RoundRect);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].box, (Rect{8, 4, 104, 52}));
  EXPECT_EQ(frames[0].x, 8);
  EXPECT_EQ(frames[0].y, 8);
  EXPECT_EQ(frames[0].pen.width, 2);
  EXPECT_EQ(frames[0].pen.color, 0x123456u);
  EXPECT_EQ(frames[0].brush.style, BrushStyle::Clear);
  const auto texts = image.metafile.Only(DrawCall::Op::TextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].x, 16);
  EXPECT_EQ(texts[0].y, 8);
  EXPECT_EQ(texts[0].brush.style, BrushStyle::Clear) << "transparent text";
  EXPECT_EQ(layout.corner, 8);
}

TEST(TextStampTest, RotatedTextTurnsItsBoxWithTruncatedCorners) {
  struct Case {
    int angle, width, height, x, y, escapement;
  } cases[] = {{0, 81, 41, 0, 0, 0},        {90, 41, 80, 0, 79, 900}, {-90, 40, 81, 39, 0, 2700},
               {180, 80, 41, 79, 39, 1800}, {45, 85, 85, 0, 56, 450}, {-45, 85, 85, 28, 0, 3150}};
  for (const Case& c : cases) {
    MemoryWorkImage image;
    FontSpec font;
    font.size = 30;
    font.style = kStyleBold | kStyleItalic;
    DrawRotatedText(image, "至急", font, c.angle);
    EXPECT_EQ(image.MetafileWidth(), c.width) << c.angle;
    EXPECT_EQ(image.MetafileHeight(), c.height) << c.angle;
    const auto texts = image.metafile.Only(DrawCall::Op::TextOut);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].x, c.x) << c.angle;
    EXPECT_EQ(texts[0].y, c.y) << c.angle;
    EXPECT_EQ(texts[0].font.escapement, c.escapement) << c.angle;
    EXPECT_EQ(texts[0].font.style, 0) << "drawn at normal weight, upright";
  }
}

}  // namespace
