#include "SealFormatFile.h"

#include <cstring>

namespace {

template <typename Record>
std::optional<Record> FromBytes(std::string_view bytes, std::size_t mainBytes, std::size_t extBytes) {
  if (bytes.size() < mainBytes) return std::nullopt;
  Record record{};
  std::memcpy(&record, bytes.data(), mainBytes);
  // A part of the extension block is no extension at all.
  if (bytes.size() >= mainBytes + extBytes)
    std::memcpy(reinterpret_cast<char*>(&record) + mainBytes, bytes.data() + mainBytes, extBytes);
  return record;
}

static_assert(offsetof(NameSealRecord, Ext) == sizeof(NameSealMain) && sizeof(NameSealRecord) == kNameSealFileBytes);
static_assert(offsetof(DateSealRecord, Ext) == sizeof(DateSealMain) && sizeof(DateSealRecord) == kDateSealFileBytes);

}  // namespace

std::optional<NameSealRecord> NameSealFromFormatFile(std::string_view bytes) {
  return FromBytes<NameSealRecord>(bytes, sizeof(NameSealMain), sizeof(NameSealExt));
}

std::optional<DateSealRecord> DateSealFromFormatFile(std::string_view bytes) {
  return FromBytes<DateSealRecord>(bytes, sizeof(DateSealMain), sizeof(DateSealExt));
}
