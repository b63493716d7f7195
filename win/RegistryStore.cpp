#include "RegistryStore.h"

#include <windows.h>

#include <vector>

#include "Sjis.h"
#include "Text.h"
#include "UniqueHandle.h"

namespace {

class RegistryKey : public SettingsKey {
 public:
  RegistryKey(UniqueHkey key, RegistryStore::Snapshot& snapshot) : key_(std::move(key)), snapshot_(snapshot) {}

  std::string Read(std::string_view name) override {
    const std::string id = SjisLowerAscii(name);
    if (auto known = snapshot_.values.find(id); known != snapshot_.values.end()) return known->second;
    std::string value = ReadFromRegistry(name);
    snapshot_.values[id] = value;
    return value;
  }

  bool Write(std::string_view name, std::string_view value) override {
    const bool written = WriteToRegistry(name, value);
    if (written)
      snapshot_.values[SjisLowerAscii(name)] = std::string(value);
    else
      snapshot_.values.erase(SjisLowerAscii(name));
    return written;
  }

 private:
  // Values of another type, and strings with characters outside code page
  // 932, read as empty: the caller then stores its default.
  std::string ReadFromRegistry(std::string_view name) {
    const std::optional<std::wstring> wideName = WideFromCp932(name);
    if (!wideName) return {};
    // Most values are short: one query into a small buffer, a second only
    // for a longer value. One character more than the data is kept free, as
    // a stored string need not end in NUL.
    std::vector<wchar_t> buffer(256, L'\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    LONG result = RegQueryValueExW(key_.get(), wideName->c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result == ERROR_MORE_DATA) {
      buffer.assign(size / sizeof(wchar_t) + 2, L'\0');
      size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
      result = RegQueryValueExW(key_.get(), wideName->c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    std::wstring_view text(buffer.data(), std::min<std::size_t>(size / sizeof(wchar_t), buffer.size() - 1));
    if (auto nul = text.find(L'\0'); nul != std::wstring_view::npos) text = text.substr(0, nul);
    return Cp932FromWide(text).value_or(std::string());
  }

  bool WriteToRegistry(std::string_view name, std::string_view value) {
    const std::optional<std::wstring> wideName = WideFromCp932(name);
    const std::optional<std::wstring> wideValue = WideFromCp932(value);
    if (!wideName || !wideValue) return false;
    const DWORD bytes = static_cast<DWORD>((wideValue->size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_.get(), wideName->c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wideValue->c_str()), bytes) == ERROR_SUCCESS;
  }

  UniqueHkey key_;
  RegistryStore::Snapshot& snapshot_;
};

unsigned long long LastWriteTime(HKEY key) {
  FILETIME written{};
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, &written) != ERROR_SUCCESS)
    return 0;
  return (static_cast<unsigned long long>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

UniqueHkey OpenLevel(HKEY parent, const std::wstring& name, bool create) {
  UniqueHkey key;
  LONG result;
  if (create)
    result = RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr);
  else
    result = RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
  if (result != ERROR_SUCCESS) key.reset();
  return key;
}

}  // namespace

std::unique_ptr<SettingsKey> RegistryStore::Open(std::string_view path, bool create) {
  const std::optional<std::wstring> widePath = WideFromCp932(path);
  if (!widePath) return nullptr;
  // One level at a time, each relative to the previous one.
  UniqueHkey current;
  HKEY parent = HKEY_CURRENT_USER;
  std::size_t pos = 0;
  while (pos <= widePath->size()) {
    std::size_t next = widePath->find(L'\\', pos);
    if (next == std::wstring::npos) next = widePath->size();
    UniqueHkey level = OpenLevel(parent, widePath->substr(pos, next - pos), create);
    if (!level) return nullptr;
    current = std::move(level);
    parent = current.get();
    pos = next + 1;
  }
  // A key whose last-write time moved (or cannot be told) is read afresh.
  const unsigned long long written = LastWriteTime(current.get());
  Snapshot& snapshot = snapshots_[SjisLowerAscii(path)];
  if (written == 0 || snapshot.written != written) snapshot = Snapshot{written, {}};
  return std::make_unique<RegistryKey>(std::move(current), snapshot);
}
