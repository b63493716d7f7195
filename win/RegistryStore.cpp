#include "RegistryStore.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "Sjis.h"
#include "Text.h"

namespace {

UniqueHkey OpenLevel(HKEY parent, const std::wstring& name, bool create) {
  UniqueHkey key;
  LONG result;
  if (create)
    result = RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                             nullptr, key.put(), nullptr);
  else
    result = RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
  if (result != ERROR_SUCCESS) key.reset();
  return key;
}

// One level at a time, each relative to the previous one.
UniqueHkey OpenPath(std::string_view path, bool create) {
  const std::optional<std::wstring> widePath = WideFromCp932(path);
  if (!widePath) return {};
  UniqueHkey current;
  HKEY parent = HKEY_CURRENT_USER;
  std::size_t pos = 0;
  while (pos <= widePath->size()) {
    std::size_t next = widePath->find(L'\\', pos);
    if (next == std::wstring::npos) next = widePath->size();
    UniqueHkey level = OpenLevel(parent, widePath->substr(pos, next - pos), create);
    if (!level) return {};
    current = std::move(level);
    parent = current.get();
    pos = next + 1;
  }
  return current;
}

bool BelowRoot(std::string_view path) {
  return path.size() >= kVarnelRoot.size() && SjisEqualsNoCase(path.substr(0, kVarnelRoot.size()), kVarnelRoot) &&
         (path.size() == kVarnelRoot.size() || path[kVarnelRoot.size()] == '\\');
}

// A key of the store. The registry key itself is opened only when a value
// is not known yet or is written.
class RegistryKey : public SettingsKey {
 public:
  RegistryKey(std::string path, UniqueHkey key, RegistryStore::Snapshot* snapshot)
      : path_(std::move(path)), key_(std::move(key)), snapshot_(snapshot) {}

  std::string Read(std::string_view name) override {
    const std::string id = SjisLowerAscii(name);
    if (snapshot_)
      if (auto known = snapshot_->values.find(id); known != snapshot_->values.end()) return known->second;
    std::string value = ReadFromRegistry(name);
    if (snapshot_) snapshot_->values[id] = value;
    return value;
  }

  bool Write(std::string_view name, std::string_view value) override {
    const bool written = WriteToRegistry(name, value);
    if (snapshot_) {
      if (written)
        snapshot_->values[SjisLowerAscii(name)] = std::string(value);
      else
        snapshot_->values.erase(SjisLowerAscii(name));
    }
    return written;
  }

 private:
  HKEY Key() {
    if (!key_) key_ = OpenPath(path_, true);
    return key_.get();
  }

  // Values of another type, and strings with characters outside code page
  // 932, read as empty: the caller then stores its default.
  std::string ReadFromRegistry(std::string_view name) {
    const std::optional<std::wstring> wideName = WideFromCp932(name);
    if (!wideName || !Key()) return {};
    // Most values are short: one query into a small buffer, a second only
    // for a longer value. One character more than the data is kept free, as
    // a stored string need not end in NUL.
    std::vector<wchar_t> buffer(256, L'\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    LONG result =
        RegQueryValueExW(Key(), wideName->c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result == ERROR_MORE_DATA) {
      buffer.assign(size / sizeof(wchar_t) + 2, L'\0');
      size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
      result = RegQueryValueExW(Key(), wideName->c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                &size);
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    std::wstring_view text(buffer.data(), std::min<std::size_t>(size / sizeof(wchar_t), buffer.size() - 1));
    if (auto nul = text.find(L'\0'); nul != std::wstring_view::npos) text = text.substr(0, nul);
    return Cp932FromWide(text).value_or(std::string());
  }

  bool WriteToRegistry(std::string_view name, std::string_view value) {
    const std::optional<std::wstring> wideName = WideFromCp932(name);
    const std::optional<std::wstring> wideValue = WideFromCp932(value);
    if (!wideName || !wideValue || !Key()) return false;
    const DWORD bytes = static_cast<DWORD>((wideValue->size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(Key(), wideName->c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wideValue->c_str()),
                          bytes) == ERROR_SUCCESS;
  }

  std::string path_;
  UniqueHkey key_;
  RegistryStore::Snapshot* snapshot_;  // none outside the program's root
};

}  // namespace

bool RegistryStore::WatchRoot() {
  watchedRoot_ = OpenPath(kVarnelRoot, true);
  if (!changed_) changed_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!watchedRoot_ || !changed_) return false;
  ResetEvent(changed_.get());
  return RegNotifyChangeKeyValue(watchedRoot_.get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                 changed_.get(), TRUE) == ERROR_SUCCESS;
}

bool RegistryStore::SnapshotsStand() {
  if (watching_ && WaitForSingleObject(changed_.get(), 0) == WAIT_TIMEOUT) return true;
  // Watch again before reading, so that a change made while we read is
  // seen at the next opening. Without a watch nothing is served from memory.
  // Snapshots are emptied in place: keys still open point at them.
  for (auto& [path, snapshot] : snapshots_) snapshot = Snapshot{};
  watching_ = WatchRoot();
  return false;
}

std::unique_ptr<SettingsKey> RegistryStore::Open(std::string_view path, bool create) {
  if (!BelowRoot(path)) {
    UniqueHkey key = OpenPath(path, create);
    if (!key) return nullptr;
    return std::make_unique<RegistryKey>(std::string(path), std::move(key), nullptr);
  }
  const bool stand = SnapshotsStand();
  Snapshot* snapshot = watching_ ? &snapshots_[SjisLowerAscii(path)] : nullptr;
  if (stand && snapshot && snapshot->exists)
    return std::make_unique<RegistryKey>(std::string(path), UniqueHkey{}, snapshot);
  UniqueHkey key = OpenPath(path, create);
  if (!key) return nullptr;
  if (snapshot) snapshot->exists = true;
  return std::make_unique<RegistryKey>(std::string(path), std::move(key), snapshot);
}
