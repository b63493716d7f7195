#include "Registry.h"

#include <stdexcept>

#include "UniqueHandle.h"

namespace harness {
namespace {

UniqueHkey OpenKey(const std::wstring& path, bool create) {
  UniqueHkey key;
  const LONG r = create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr)
                        : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put());
  if (r != ERROR_SUCCESS) key.reset();
  return key;
}

void SetValue(const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
              DWORD size) {
  UniqueHkey key = OpenKey(path, true);
  if (!key || RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) !=
                  ERROR_SUCCESS)
    throw std::runtime_error("cannot write a registry value");
}

}  // namespace

std::optional<std::wstring> ReadString(const std::wstring& keyPath, const std::wstring& name) {
  UniqueHkey key = OpenKey(keyPath, false);
  if (!key) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
  text.resize(wcsnlen(text.c_str(), size / sizeof(wchar_t)));
  return text;
}

DWORD ValueType(const std::wstring& keyPath, const std::wstring& name) {
  UniqueHkey key = OpenKey(keyPath, false);
  DWORD type = REG_NONE;
  if (!key || RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
    return REG_NONE;
  return type;
}

std::vector<std::wstring> ValueNames(const std::wstring& keyPath) {
  std::vector<std::wstring> names;
  UniqueHkey key = OpenKey(keyPath, false);
  if (!key) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD length = 512;
    if (RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

bool KeyExists(const std::wstring& keyPath) { return static_cast<bool>(OpenKey(keyPath, false)); }

void WriteString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value) {
  SetValue(keyPath, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteDword(const std::wstring& keyPath, const std::wstring& name, DWORD value) {
  SetValue(keyPath, name, REG_DWORD, &value, sizeof value);
}

void WriteBinary(const std::wstring& keyPath, const std::wstring& name, const std::vector<BYTE>& data) {
  SetValue(keyPath, name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
}

void DeleteTree(const std::wstring& keyPath) { RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str()); }

}  // namespace harness
