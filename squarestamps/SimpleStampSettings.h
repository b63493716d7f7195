#pragma once
// What the square-stamp toolbar keeps in the SimpleStamp key: ten slots
// (text, kind, file), the common text settings, and per slot a square and a
// rotated-text format record.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "Canvas.h"
#include "SettingsStore.h"

// The kind of a slot: the item index of its kind list and the stored value.
enum StampKind : int {
  skSquare = 0,
  skNameSealFile = 1,
  skDateSealFile = 2,
  skImageFile = 3,
  skTextFile = 4,
  skLaunch = 5,
  skWallpaperCentre = 6,
  skWallpaperTile = 7,
  skGraphicScript = 8,
  skRotatedText = 9,
  skMetafileScript = 10,
};
inline constexpr int kStampKindCount = 11;
inline constexpr int kSlotCount = 10;

// The size track bar: its position times 4 is the common font size in points.
inline constexpr int kTrackMin = 2;
inline constexpr int kTrackMax = 20;
inline constexpr int kTrackInitial = 10;
// The format dialogs' size range and the angle range of rotated text.
inline constexpr int kFormatSizeMin = 8;
inline constexpr int kFormatSizeMax = 200;
inline constexpr int kAngleMin = -180;
inline constexpr int kAngleMax = 180;

struct SquareTextFormat {
  std::int32_t OwnFormat = 0;  // 1: use this record, else the common settings
  std::string FontName;
  std::int32_t FontSize = 0;   // points
  std::int32_t StyleCode = 0;  // 1 bold, 2 italic, 3 both, anything else plain
  std::int32_t Color = 0;
};

struct RotatedTextFormat : SquareTextFormat {
  std::int32_t Angle = 0;  // degrees, counter-clockwise
};

struct CommonTextSettings {
  std::string FontName = "ＭＳ Ｐゴシック";
  int TrackPosition = kTrackInitial;
  std::uint8_t FontStyle = 0;  // style byte; only bold and italic are kept
  std::int32_t Color = 255;
  int FontSize() const { return TrackPosition * 4; }
};

struct StampSlot {
  std::string Text;
  int Kind = skSquare;
  std::string File;
};

struct SimpleStampState {
  std::array<StampSlot, kSlotCount> Slots;
  CommonTextSettings Common;
  std::array<SquareTextFormat, kSlotCount> SquareFormats;
  std::array<RotatedTextFormat, kSlotCount> RotatedFormats;
};

// The slot texts of a first start.
extern const std::array<std::string_view, kSlotCount> kDefaultSlotTexts;

// Style code of a style byte compared exactly: 1 bold, 2 italic, 3 both,
// else `plain` (0 for the toolbar's defaults, 4 from the format dialogs).
int StyleCodeOf(std::uint8_t style, int plain);
// The style byte a style code asks for: bold, italic, both or plain.
std::uint8_t StyleOfCode(int styleCode);
// The FontStyle value: "1" bold, "2" italic, "3" both; "0" for anything else.
std::string_view FontStyleText(std::uint8_t style);
std::uint8_t FontStyleFromText(std::string_view text);

// A size chosen in the font dialog becomes a track-bar position: clamped to
// 8...80 points, then a quarter of it (30 points give 7, so 28 points).
int TrackPositionForFontSize(int points);

// What a slot's text becomes when its kind changes.
std::string_view KindChangeText(int kind);

// Reads the whole key, writing the defaults of missing or empty values first.
void LoadSimpleStamp(SettingsStore& store, SimpleStampState& state);
// Writes the whole key; x and y are the toolbar's compact-form left and top.
void SaveSimpleStamp(SettingsStore& store, const SimpleStampState& state, int x, int y);

inline constexpr std::string_view kSimpleStampSection = "SimpleStamp";
