#pragma once
// Reading and preparing the real registry (HKEY_CURRENT_USER) from tests,
// independently of the program's own settings store.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace harness {

// The string value exactly as stored (UTF-16); nullopt when missing or not a string.
std::optional<std::wstring> ReadString(const std::wstring& keyPath, const std::wstring& name);
// The value's registry type, or REG_NONE when it does not exist.
DWORD ValueType(const std::wstring& keyPath, const std::wstring& name);
std::vector<std::wstring> ValueNames(const std::wstring& keyPath);
bool KeyExists(const std::wstring& keyPath);

void WriteString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value);
void WriteDword(const std::wstring& keyPath, const std::wstring& name, DWORD value);
void WriteBinary(const std::wstring& keyPath, const std::wstring& name, const std::vector<BYTE>& data);
void DeleteTree(const std::wstring& keyPath);

inline const std::wstring kRoot = L"Software\\Qdx\\Varnel";
inline std::wstring Section(const std::wstring& name) { return kRoot + L"\\" + name; }

}  // namespace harness
