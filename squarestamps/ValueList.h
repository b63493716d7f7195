#pragma once
// The comma-separated value lists of the SimpleStamp key: fields joined by
// "," with no blanks, quoting or terminator. A text field never holds a ","
// (it is written as "."), so fields can always be told apart.

#include <cstdint>
#include <string>
#include <string_view>

#include "SettingsStore.h"

class ValueList {
 public:
  // Only this many fields of a read value are looked at.
  static constexpr int kMaxFields = 100;

  // Reads the named value; true when it was missing or empty.
  bool ReadValue(SettingsKey& key, std::string_view name);
  // Field i (0-based) of what was read: a missing field is 0 or "". An
  // integer field that is not a decimal number within 32 bits reads as 0.
  std::int32_t IntAt(int i) const;
  std::string TextAt(int i) const;

  // Appends a field to the list being built.
  void AddInt(std::int32_t n);
  void AddText(std::string_view s);
  // Writes the built list under name, only when anything was added.
  void WriteValue(SettingsKey& key, std::string_view name) const;

  // For the fields as text, read or built.
  void Assign(std::string_view value) { read_ = value; }
  const std::string& Built() const { return built_; }

 private:
  std::string read_;
  std::string built_;
  bool added_ = false;
};

// Whether text is a decimal integer: an optional sign and digits, within 32 bits.
bool ParseStrictDecimal(std::string_view text, std::int32_t& value);
