// Windows: code-page-932 paths become UTF-16 before they reach the system.
#include <windows.h>

#include "FileSystem.h"
#include "FileSystemWide.h"
#include "Text.h"
#include "UniqueHandle.h"

std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t maxBytes) {
  if (path.empty()) return std::nullopt;
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > maxBytes)
    return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
    return std::nullopt;
  return bytes;
}

std::optional<std::string> ReadFileBytes(std::string_view path, std::size_t maxBytes) {
  const std::optional<std::wstring> widePath = WideFromCp932(path);
  if (!widePath) return std::nullopt;
  return ReadFileBytes(*widePath, maxBytes);
}

bool FileExists(std::string_view path) {
  const std::optional<std::wstring> widePath = WideFromCp932(path);
  if (!widePath || widePath->empty()) return false;
  const DWORD attributes = GetFileAttributesW(widePath->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
