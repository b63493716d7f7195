#pragma once
// The three process-wide settings records. The two seal records keep a fixed
// byte layout because seal format files carry them byte for byte.

#include <cstddef>
#include <cstdint>

struct NameSealMain {
  char Text1[20];
  char Text2[20];
  char Text3[20];
  char Text4[20];
  char FontName[40];
  std::uint8_t FontStyle;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
  std::uint8_t padding1[3];
  std::int32_t FontSize;
  std::int32_t StampSize;
  std::int32_t TextSpace;
  std::int32_t StampColor;  // 0x00BBGGRR
  std::int32_t LineWidth;
  std::int32_t CircleParameter;
  std::int32_t OffsetX;
  std::int32_t OffsetY;
  std::int32_t Resolution;
  std::uint8_t reserved[8];
};

struct NameSealExt {
  std::int32_t UseNameEX;
  char ExText1[20];
  char ExText2[20];
  char ExText3[20];
  char ExText4[20];
  char ExFontName[40];
  std::uint8_t ExFontStyle;
  std::uint8_t padding1[3];
  std::int32_t ExFontSize;
  std::int32_t ExTextSpace;
  std::int32_t ExOffsetX;
  std::int32_t ExOffsetY;
  std::uint8_t reserved[1000];
};

struct NameSealRecord {
  NameSealMain Main;
  NameSealExt Ext;
};

struct DateSealMain {
  char Text1[20];
  char Text2[20];
  char FontNameU[40];
  char FontNameM[40];
  char FontNameL[40];
  std::uint8_t FontStyleU;
  std::uint8_t FontStyleM;
  std::uint8_t FontStyleL;
  std::uint8_t padding1;
  std::int32_t FontSizeU;
  std::int32_t FontSizeM;
  std::int32_t FontSizeL;
  std::int32_t StampSize;
  std::int32_t StampColor;
  std::int32_t LineWidth;
  std::int32_t SpaceM;
  std::int32_t PositionU;
  std::int32_t PositionL;
  std::int32_t Years;
  char Header[8];
  std::int32_t TwinRing;
  std::uint8_t reserved[8];
};

struct DateSealExt {
  char Text3[20];
  std::int32_t U_T2Space;
  char Text4[20];
  std::int32_t L_T2FontSize;
  std::int32_t L_T2Space;
  char Text5[20];
  std::int32_t L_T3Space;
  std::int32_t DateNZ;
  std::uint8_t reserved[4016];
};

struct DateSealRecord {
  DateSealMain Main;
  DateSealExt Ext;
};

inline constexpr int kEraCount = 5;

struct OptionRecord {
  std::int32_t PasswordCheck;
  std::int32_t EditorLock;
  std::int32_t CheckDate;
  std::int32_t Wx;
  std::int32_t Wy;
  std::int32_t Bitmap1Resolution;
  char UserPassword[40];  // scrambled, at most 20 bytes significant
  std::int32_t ClipboardFormat;
  std::int32_t DocumentFilter;
  std::int32_t ShowMessage;
  char Bitmap1[64];
  std::int32_t ColorBits;
  std::int32_t FocusGet;
  std::int32_t HideMenu;
  std::int32_t PasswordOnStamp;
  std::int32_t ShowExBar;
  std::int32_t CopyGuard;
  std::int32_t BackImage;
  char UIDK[32];  // plain in memory, at most 8 bytes
  std::int32_t RezoHosei;
  std::int32_t Rotate;
  std::int32_t RotateSz;
  std::int32_t RotateAngle;
  std::int32_t TaskTrayIconDoubleClick;
  std::int32_t StayOnTaskTray;
  std::int32_t MainToolBar;
  std::int32_t TerminateAsStamped;
  std::int32_t NoDispCopyGuardTitle;
  std::int32_t ClipBrdClear;
  std::int32_t GenMetafile;
  std::int32_t SecTextColor;
  std::int32_t SecLineColor;
  std::int32_t ClipboardPng;  // 1: a transparent PNG beside the other formats
  std::int32_t InkEffect;     // hand-pressed ink: 0 off, 1 light, 2 medium, 3 strong
  std::int32_t InkTilt;       // 1: a small random tilt and offset per stamp
  std::int32_t InkSeed;       // 0: a new impression every stamp; else always this one
  std::int32_t StampLog;  // 1: every stamp leaves a record in the stamp log
  char WarekiName[kEraCount][6];
  char WarekiDate[kEraCount][12];
};

// Style byte bits.
inline constexpr std::uint8_t kStyleBold = 1;
inline constexpr std::uint8_t kStyleItalic = 2;
inline constexpr std::uint8_t kStyleUnderline = 4;
inline constexpr std::uint8_t kStyleStrikeOut = 8;

// Choice indices that several Parts test.
inline constexpr int kClipboardEmf = 0;
inline constexpr int kClipboardDib = 1;
inline constexpr int kClipboardBoth = 2;
inline constexpr int kFilterSolid = 0;
inline constexpr int kFilterTransparent = 1;
inline constexpr int kFilterInvert = 2;
inline constexpr int kInkOff = 0;
inline constexpr int kInkStrong = 3;

// The process-wide records, zero-filled at start.
extern NameSealRecord NameSealSettings;
extern DateSealRecord DateSealSettings;
extern OptionRecord OptionSettings;

static_assert(sizeof(NameSealMain) == 168 && sizeof(NameSealExt) == 1144);
static_assert(sizeof(DateSealMain) == 224 && sizeof(DateSealExt) == 4096);
static_assert(offsetof(NameSealMain, FontName) == 80 && offsetof(NameSealMain, FontStyle) == 120);
static_assert(offsetof(NameSealMain, FontSize) == 124 && offsetof(NameSealMain, StampSize) == 128);
static_assert(offsetof(NameSealMain, TextSpace) == 132 && offsetof(NameSealMain, StampColor) == 136);
static_assert(offsetof(NameSealMain, LineWidth) == 140 && offsetof(NameSealMain, CircleParameter) == 144);
static_assert(offsetof(NameSealMain, OffsetX) == 148 && offsetof(NameSealMain, OffsetY) == 152);
static_assert(offsetof(NameSealMain, Resolution) == 156 && offsetof(NameSealMain, reserved) == 160);
static_assert(offsetof(NameSealMain, Text2) == 20 && offsetof(NameSealMain, Text3) == 40 &&
              offsetof(NameSealMain, Text4) == 60);
static_assert(offsetof(NameSealExt, ExText1) == 4 && offsetof(NameSealExt, ExText2) == 24);
static_assert(offsetof(NameSealExt, ExText3) == 44 && offsetof(NameSealExt, ExText4) == 64);
static_assert(offsetof(NameSealExt, ExFontName) == 84 && offsetof(NameSealExt, ExFontStyle) == 124);
static_assert(offsetof(NameSealExt, ExFontSize) == 128 && offsetof(NameSealExt, ExTextSpace) == 132);
static_assert(offsetof(NameSealExt, ExOffsetX) == 136 && offsetof(NameSealExt, ExOffsetY) == 140);
static_assert(offsetof(NameSealExt, reserved) == 144);
static_assert(offsetof(DateSealMain, Text2) == 20 && offsetof(DateSealMain, FontNameU) == 40);
static_assert(offsetof(DateSealMain, FontNameM) == 80 && offsetof(DateSealMain, FontNameL) == 120);
static_assert(offsetof(DateSealMain, FontStyleU) == 160 && offsetof(DateSealMain, FontStyleM) == 161);
static_assert(offsetof(DateSealMain, FontStyleL) == 162 && offsetof(DateSealMain, FontSizeU) == 164);
static_assert(offsetof(DateSealMain, FontSizeM) == 168 && offsetof(DateSealMain, FontSizeL) == 172);
static_assert(offsetof(DateSealMain, StampSize) == 176 && offsetof(DateSealMain, StampColor) == 180);
static_assert(offsetof(DateSealMain, LineWidth) == 184 && offsetof(DateSealMain, SpaceM) == 188);
static_assert(offsetof(DateSealMain, PositionU) == 192 && offsetof(DateSealMain, PositionL) == 196);
static_assert(offsetof(DateSealMain, Years) == 200 && offsetof(DateSealMain, Header) == 204);
static_assert(offsetof(DateSealMain, TwinRing) == 212 && offsetof(DateSealMain, reserved) == 216);
static_assert(offsetof(DateSealExt, U_T2Space) == 20 && offsetof(DateSealExt, Text4) == 24);
static_assert(offsetof(DateSealExt, L_T2FontSize) == 44 && offsetof(DateSealExt, L_T2Space) == 48);
static_assert(offsetof(DateSealExt, Text5) == 52 && offsetof(DateSealExt, L_T3Space) == 72);
static_assert(offsetof(DateSealExt, DateNZ) == 76 && offsetof(DateSealExt, reserved) == 80);
