// Loading and saving the name and date seal records. Each value is described
// once (name, kind, place in the record, default); the loaders and savers
// walk the descriptions in the stored order.

#include <array>
#include <cstring>
#include <span>

#include "Records.h"
#include "Settings.h"
#include "Sjis.h"
#include "ValueRules.h"

NameSealRecord NameSealSettings{};
DateSealRecord DateSealSettings{};

namespace {

enum class Kind {
  Int,         // decimal text
  Flag,        // decimal on load, "1"/"0" on save
  Text,        // stored as it is, also when empty
  MarkedText,  // an empty text is stored as "_"
  Style,       // a style byte kept as a bold and an italic value
};

struct SealValue {
  const char* name;
  Kind kind;
  std::size_t offset;
  std::size_t width;  // texts only
  const char* defaultText;
  const char* italicName = nullptr;  // styles only; name is the bold value
};

constexpr SealValue Int(const char* name, std::size_t offset, const char* def) {
  return {name, Kind::Int, offset, 4, def};
}
constexpr SealValue Text(const char* name, Kind kind, std::size_t offset, std::size_t width,
                         const char* def) {
  return {name, kind, offset, width, def};
}
constexpr SealValue Style(const char* bold, const char* italic, std::size_t offset) {
  return {bold, Kind::Style, offset, 1, "", italic};
}

#define NAME_AT(field) offsetof(NameSealRecord, field)
#define NAME_TEXT(field, kind, def) Text(#field, kind, NAME_AT(Main.field), sizeof(NameSealMain::field), def)
#define NAME_EXTEXT(field, kind, def) Text(#field, kind, NAME_AT(Ext.field), sizeof(NameSealExt::field), def)

constexpr const char* kMincho = "ＭＳ 明朝";

const std::array kNameSealValues = {
    NAME_TEXT(Text1, Kind::MarkedText, "名"),
    NAME_TEXT(Text2, Kind::MarkedText, "字"),
    NAME_TEXT(Text3, Kind::MarkedText, ""),
    NAME_TEXT(Text4, Kind::MarkedText, ""),
    NAME_TEXT(FontName, Kind::Text, kMincho),
    Int("FontSize", NAME_AT(Main.FontSize), "76"),
    Int("StampSize", NAME_AT(Main.StampSize), "117"),
    Int("TextSpace", NAME_AT(Main.TextSpace), "0"),
    Int("StampColor", NAME_AT(Main.StampColor), "255"),
    Int("LineWidth", NAME_AT(Main.LineWidth), "4"),
    Int("CircleParameter", NAME_AT(Main.CircleParameter), "100"),
    Int("OffsetX", NAME_AT(Main.OffsetX), "0"),
    Int("OffsetY", NAME_AT(Main.OffsetY), "0"),
    Int("Resolution", NAME_AT(Main.Resolution), "0"),
    Style("FontStyleBold", "FontStyleItalic", NAME_AT(Main.FontStyle)),
    Int("UseNameEX", NAME_AT(Ext.UseNameEX), "0"),
    NAME_EXTEXT(ExText1, Kind::MarkedText, ""),
    NAME_EXTEXT(ExText2, Kind::MarkedText, ""),
    NAME_EXTEXT(ExText3, Kind::MarkedText, ""),
    NAME_EXTEXT(ExText4, Kind::MarkedText, ""),
    NAME_EXTEXT(ExFontName, Kind::Text, kMincho),
    Int("ExFontSize", NAME_AT(Ext.ExFontSize), "76"),
    Int("ExTextSpace", NAME_AT(Ext.ExTextSpace), "0"),
    Int("ExOffsetX", NAME_AT(Ext.ExOffsetX), "0"),
    Int("ExOffsetY", NAME_AT(Ext.ExOffsetY), "0"),
    Style("ExFontStyleBold", "ExFontStyleItalic", NAME_AT(Ext.ExFontStyle)),
};

#define DATE_AT(field) offsetof(DateSealRecord, field)
#define DATE_TEXT(field, kind, def) Text(#field, kind, DATE_AT(Main.field), sizeof(DateSealMain::field), def)
#define DATE_EXTEXT(field, kind, def) Text(#field, kind, DATE_AT(Ext.field), sizeof(DateSealExt::field), def)

constexpr SealValue kDateTwinRing = Int("TwinRing", DATE_AT(Main.TwinRing), "0");

// The load order; saving writes TwinRing before SpaceM instead (see below).
const std::array kDateSealValues = {
    DATE_TEXT(Text1, Kind::MarkedText, "組織"),
    DATE_TEXT(Text2, Kind::MarkedText, "名字"),
    DATE_TEXT(FontNameU, Kind::Text, kMincho),
    DATE_TEXT(FontNameM, Kind::Text, kMincho),
    DATE_TEXT(FontNameL, Kind::Text, kMincho),
    Int("FontSizeU", DATE_AT(Main.FontSizeU), "46"),
    Int("FontSizeM", DATE_AT(Main.FontSizeM), "36"),
    Int("FontSizeL", DATE_AT(Main.FontSizeL), "48"),
    Int("StampSize", DATE_AT(Main.StampSize), "115"),
    Int("StampColor", DATE_AT(Main.StampColor), "255"),
    Int("LineWidth", DATE_AT(Main.LineWidth), "4"),
    Int("SpaceM", DATE_AT(Main.SpaceM), "0"),
    Int("PositionU", DATE_AT(Main.PositionU), "2"),
    Int("PositionL", DATE_AT(Main.PositionL), "-2"),
    Int("Years", DATE_AT(Main.Years), "0"),
    DATE_TEXT(Header, Kind::Text, ""),
    kDateTwinRing,
    Style("FontStyleUBold", "FontStyleUItalic", DATE_AT(Main.FontStyleU)),
    Style("FontStyleMBold", "FontStyleMItalic", DATE_AT(Main.FontStyleM)),
    Style("FontStyleLBold", "FontStyleLItalic", DATE_AT(Main.FontStyleL)),
    DATE_EXTEXT(Text3, Kind::MarkedText, "_"),
    DATE_EXTEXT(Text4, Kind::MarkedText, "_"),
    Int("U_T2Space", DATE_AT(Ext.U_T2Space), "0"),
    Int("L_T2FontSize", DATE_AT(Ext.L_T2FontSize), "0"),
    Int("L_T2Space", DATE_AT(Ext.L_T2Space), "0"),
    DATE_EXTEXT(Text5, Kind::MarkedText, "_"),
    Int("L_T3Space", DATE_AT(Ext.L_T3Space), "0"),
    SealValue{"DateNZ", Kind::Flag, DATE_AT(Ext.DateNZ), 4, "0"},
};

std::int32_t GetInt(const unsigned char* base, std::size_t offset) {
  std::int32_t v;
  std::memcpy(&v, base + offset, sizeof v);
  return v;
}

void SetInt(unsigned char* base, std::size_t offset, std::int32_t v) {
  std::memcpy(base + offset, &v, sizeof v);
}

void LoadValue(SettingsKey& key, const SealValue& value, unsigned char* base) {
  switch (value.kind) {
    case Kind::Int:
    case Kind::Flag:
      SetInt(base, value.offset, ParseDecimal(LoadValueText(key, value.name, value.defaultText)));
      break;
    case Kind::Text:
    case Kind::MarkedText: {
      std::string text = LoadValueText(key, value.name, value.defaultText);
      if (value.kind == Kind::MarkedText && text == "_") text.clear();
      CopyToField(reinterpret_cast<char*>(base + value.offset), value.width, text);
      break;
    }
    case Kind::Style:
      base[value.offset] = LoadStyleByte(key, value.name, value.italicName);
      break;
  }
}

void SaveValue(SettingsKey& key, const SealValue& value, const unsigned char* base) {
  switch (value.kind) {
    case Kind::Int:
      WriteInt(key, value.name, GetInt(base, value.offset));
      break;
    case Kind::Flag:
      key.Write(value.name, GetInt(base, value.offset) != 0 ? "1" : "0");
      break;
    case Kind::Text:
    case Kind::MarkedText: {
      const auto* field = reinterpret_cast<const char*>(base + value.offset);
      const std::string_view text = SjisPrefix({field, value.width}, value.width - 1);
      key.Write(value.name, text.empty() && value.kind == Kind::MarkedText ? "_" : text);
      break;
    }
    case Kind::Style:
      SaveStyleByte(key, value.name, value.italicName, base[value.offset]);
      break;
  }
}

template <typename Record>
void LoadSection(SettingsStore& store, std::string_view section, std::span<const SealValue> values,
                 Record& record) {
  auto key = store.Open(VarnelKeyPath(section));
  if (!key) return;
  auto* base = reinterpret_cast<unsigned char*>(&record);
  for (const SealValue& value : values) LoadValue(*key, value, base);
}

template <typename Record>
void SaveSection(SettingsStore& store, std::string_view section,
                 std::span<const SealValue* const> values, const Record& record) {
  auto key = store.Open(VarnelKeyPath(section));
  if (!key) return;
  const auto* base = reinterpret_cast<const unsigned char*>(&record);
  for (const SealValue* value : values) SaveValue(*key, *value, base);
}

template <std::size_t N>
std::array<const SealValue*, N> InOrder(const std::array<SealValue, N>& values) {
  std::array<const SealValue*, N> order{};
  for (std::size_t i = 0; i < N; ++i) order[i] = &values[i];
  return order;
}

// The date seal saves TwinRing right after LineWidth.
std::array<const SealValue*, kDateSealValues.size()> DateSaveOrder() {
  std::array<const SealValue*, kDateSealValues.size()> order{};
  std::size_t n = 0;
  for (const SealValue& value : kDateSealValues) {
    if (std::strcmp(value.name, "TwinRing") == 0) continue;
    order[n++] = &value;
    if (std::strcmp(value.name, "LineWidth") == 0) order[n++] = &kDateTwinRing;
  }
  return order;
}

}  // namespace

void LoadNameSealSettings(SettingsStore& store, NameSealRecord& record) {
  LoadSection(store, "NameStamp", kNameSealValues, record);
}

void LoadDateSealSettings(SettingsStore& store, DateSealRecord& record) {
  LoadSection(store, "DateStamp", kDateSealValues, record);
}

void SaveNameSealSettings(SettingsStore& store, const NameSealRecord& record) {
  const auto order = InOrder(kNameSealValues);
  SaveSection(store, "NameStamp", std::span<const SealValue* const>(order), record);
}

void SaveDateSealSettings(SettingsStore& store, const DateSealRecord& record) {
  const auto order = DateSaveOrder();
  SaveSection(store, "DateStamp", std::span<const SealValue* const>(order), record);
}
