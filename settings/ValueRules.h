#pragma once
// The per-value rules shared by every section of the settings tree.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "SettingsStore.h"

// Reads a value; when it is missing or empty, writes the default and reads
// it again, so after a first run every value exists in the store.
std::string LoadValueText(SettingsKey& key, std::string_view name, std::string_view defaultText);

// A style byte from its bold and italic values, each true only when it reads
// exactly "1"; underline and strike-out bits are dropped.
std::uint8_t LoadStyleByte(SettingsKey& key, std::string_view boldName, std::string_view italicName);
// Writes the bold and italic pair; a byte with any other bit writes neither.
void SaveStyleByte(SettingsKey& key, std::string_view boldName, std::string_view italicName,
                   std::uint8_t style);

void WriteInt(SettingsKey& key, std::string_view name, std::int32_t value);
