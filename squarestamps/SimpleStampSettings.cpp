#include "SimpleStampSettings.h"

#include <algorithm>

#include "Records.h"
#include "Settings.h"
#include "ValueList.h"
#include "ValueRules.h"

const std::array<std::string_view, kSlotCount> kDefaultSlotTexts = {
    "正本", "コピー", "見本", "社外秘", "ＦＡＸ済", "処理済", "回覧", "持出禁止", "参考", "至急"};

namespace {

std::string Numbered(std::string_view name, int n) { return std::string(name) + std::to_string(n); }

// A record for a slot without a stored format: the common settings.
void FromCommon(SquareTextFormat& record, const CommonTextSettings& common) {
  record.OwnFormat = 0;
  record.FontName = common.FontName;
  record.FontSize = common.FontSize();
  record.StyleCode = StyleCodeOf(common.FontStyle, 0);
  record.Color = common.Color;
}

// Any stored angle is the turn it names: 315 is -45. The track bar's range
// holds every turn, and the layout's quadrants expect no more than a turn.
std::int32_t SameAngleInTrackRange(std::int32_t angle) {
  std::int32_t a = angle % 360;
  if (a > kAngleMax) a -= 360;
  if (a < kAngleMin) a += 360;
  return a;
}

void ReadFormatFields(const ValueList& list, SquareTextFormat& record) {
  record.OwnFormat = list.IntAt(0);
  record.FontName = list.TextAt(1);
  record.FontSize = list.IntAt(2);
  record.StyleCode = list.IntAt(3);
  record.Color = list.IntAt(4);
}

void AddFormatFields(ValueList& list, const SquareTextFormat& record) {
  list.AddInt(record.OwnFormat);
  list.AddText(record.FontName);
  list.AddInt(record.FontSize);
  list.AddInt(record.StyleCode);
  list.AddInt(record.Color);
}

}  // namespace

int StyleCodeOf(std::uint8_t style, int plain) {
  switch (style) {
    case kStyleBold: return 1;
    case kStyleItalic: return 2;
    case kStyleBold | kStyleItalic: return 3;
  }
  return plain;
}

std::uint8_t StyleOfCode(int styleCode) {
  switch (styleCode) {
    case 1: return kStyleBold;
    case 2: return kStyleItalic;
    case 3: return kStyleBold | kStyleItalic;
  }
  return 0;
}

std::string_view FontStyleText(std::uint8_t style) {
  switch (StyleCodeOf(style, 0)) {
    case 1: return "1";
    case 2: return "2";
    case 3: return "3";
  }
  return "0";
}

std::uint8_t FontStyleFromText(std::string_view text) {
  if (text == "1") return kStyleBold;
  if (text == "2") return kStyleItalic;
  if (text == "3") return kStyleBold | kStyleItalic;
  return 0;
}

int TrackPositionForFontSize(int points) { return std::clamp(points, kTrackMin * 4, kTrackMax * 4) / 4; }

std::string_view KindChangeText(int kind) { return kind == skSquare ? "文字列" : "印名"; }

void LoadSimpleStamp(SettingsStore& store, SimpleStampState& state) {
  auto key = store.Open(VarnelKeyPath(kSimpleStampSection));
  if (!key) return;
  for (int n = 0; n < kSlotCount; ++n)
    state.Slots[n].Text = LoadValueText(*key, Numbered("Text", n + 1), kDefaultSlotTexts[n]);
  // The track bar holds its position within its range.
  state.Common.TrackPosition =
      std::clamp(ParseDecimal(LoadValueText(*key, "FontSize", std::to_string(kTrackInitial))), kTrackMin, kTrackMax);
  state.Common.Color = ParseDecimal(LoadValueText(*key, "StampColor", "255"));
  for (int n = 0; n < kSlotCount; ++n) {
    const int kind = ParseDecimal(LoadValueText(*key, Numbered("Stamp", n + 1), "0"));
    // A kind the list does not have stamps as a square stamp and shows as one.
    state.Slots[n].Kind = kind >= 0 && kind < kStampKindCount ? kind : skSquare;
  }
  for (int n = 0; n < kSlotCount; ++n) state.Slots[n].File = LoadValueText(*key, Numbered("StampFile", n + 1), "");
  state.Common.FontName = LoadValueText(*key, "FontName", "ＭＳ Ｐゴシック");
  state.Common.FontStyle = FontStyleFromText(LoadValueText(*key, "FontStyle", "0"));

  for (int n = 0; n < kSlotCount; ++n) {
    ValueList list;
    SquareTextFormat& square = state.SquareFormats[n];
    if (list.ReadValue(*key, Numbered("SimpleStampFormt", n)))
      FromCommon(square, state.Common);
    else
      ReadFormatFields(list, square);

    RotatedTextFormat& rotated = state.RotatedFormats[n];
    if (list.ReadValue(*key, Numbered("RotateTextFormt", n))) {
      FromCommon(rotated, state.Common);
      rotated.Angle = 0;
    } else {
      ReadFormatFields(list, rotated);
      rotated.Angle = SameAngleInTrackRange(list.IntAt(5));
    }
  }
}

void SaveSimpleStamp(SettingsStore& store, const SimpleStampState& state, int x, int y) {
  auto key = store.Open(VarnelKeyPath(kSimpleStampSection));
  if (!key) return;
  for (int n = 0; n < kSlotCount; ++n) key->Write(Numbered("Text", n + 1), state.Slots[n].Text);
  WriteInt(*key, "X", x);
  WriteInt(*key, "Y", y);
  WriteInt(*key, "FontSize", state.Common.TrackPosition);
  WriteInt(*key, "StampColor", state.Common.Color);
  key->Write("FontName", state.Common.FontName);
  key->Write("FontStyle", FontStyleText(state.Common.FontStyle));
  for (int n = 0; n < kSlotCount; ++n) WriteInt(*key, Numbered("Stamp", n + 1), state.Slots[n].Kind);
  for (int n = 0; n < kSlotCount; ++n) key->Write(Numbered("StampFile", n + 1), state.Slots[n].File);
  for (int n = 0; n < kSlotCount; ++n) {
    ValueList square;
    AddFormatFields(square, state.SquareFormats[n]);
    square.WriteValue(*key, Numbered("SimpleStampFormt", n));
    ValueList rotated;
    AddFormatFields(rotated, state.RotatedFormats[n]);
    rotated.AddInt(state.RotatedFormats[n].Angle);
    rotated.WriteValue(*key, Numbered("RotateTextFormt", n));
  }
}
