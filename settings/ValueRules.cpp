#include "ValueRules.h"

#include <limits>

#include "Records.h"
#include "Settings.h"

int ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(value == kLimit ? kLimit - 1 : value);
}

std::string LoadValueText(SettingsKey& key, std::string_view name, std::string_view defaultText) {
  std::string text = key.Read(name);
  if (text.empty()) {
    key.Write(name, defaultText);
    text = key.Read(name);
  }
  return text;
}

std::uint8_t LoadStyleByte(SettingsKey& key, std::string_view boldName, std::string_view italicName) {
  const bool bold = LoadValueText(key, boldName, "1") == "1";
  const bool italic = LoadValueText(key, italicName, "0") == "1";
  return static_cast<std::uint8_t>((bold ? kStyleBold : 0) | (italic ? kStyleItalic : 0));
}

void SaveStyleByte(SettingsKey& key, std::string_view boldName, std::string_view italicName,
                   std::uint8_t style) {
  if (style > (kStyleBold | kStyleItalic)) return;
  key.Write(boldName, (style & kStyleBold) ? "1" : "0");
  key.Write(italicName, (style & kStyleItalic) ? "1" : "0");
}

void WriteInt(SettingsKey& key, std::string_view name, std::int32_t value) {
  key.Write(name, std::to_string(value));
}
