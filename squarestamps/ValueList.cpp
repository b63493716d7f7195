#include "ValueList.h"

#include <limits>
#include <optional>

namespace {

// The text of field i, or nothing when the list has fewer fields.
std::optional<std::string_view> Field(std::string_view list, int i) {
  if (i < 0 || i >= ValueList::kMaxFields) return std::nullopt;
  std::size_t start = 0;
  for (int n = 0; n < i; ++n) {
    const std::size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) return std::nullopt;
    start = comma + 1;
  }
  const std::size_t end = list.find(',', start);
  return list.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

bool ParseStrictDecimal(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
  }
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<std::int32_t>(signedValue);
  return true;
}

bool ValueList::ReadValue(SettingsKey& key, std::string_view name) {
  read_ = key.Read(name);
  return read_.empty();
}

std::int32_t ValueList::IntAt(int i) const {
  const auto field = Field(read_, i);
  std::int32_t value = 0;
  if (!field || !ParseStrictDecimal(*field, value)) return 0;
  return value;
}

std::string ValueList::TextAt(int i) const {
  const auto field = Field(read_, i);
  return field ? std::string(*field) : std::string();
}

void ValueList::AddInt(std::int32_t n) {
  if (added_) built_ += ',';
  built_ += std::to_string(n);
  added_ = true;
}

void ValueList::AddText(std::string_view s) {
  if (added_) built_ += ',';
  // A comma byte is never the trail byte of a double-byte character, so
  // replacing it cannot break one.
  for (char c : s) built_ += c == ',' ? '.' : c;
  added_ = true;
}

void ValueList::WriteValue(SettingsKey& key, std::string_view name) const {
  if (added_) key.Write(name, built_);
}
