// Windows: code-page-932 paths become UTF-16 before they reach the system.
#include <windows.h>

#include "FileSystem.h"
#include "FileSystemWide.h"
#include "Text.h"
#include "UniqueHandle.h"

std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t maxBytes, DWORD* error) {
  const auto failed = [error](DWORD why) -> std::optional<std::string> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (path.empty()) return failed(ERROR_PATH_NOT_FOUND);
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) return failed(GetLastError());
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxBytes)
    return failed(ERROR_FILE_TOO_LARGE);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return failed(GetLastError());
  if (read != bytes.size()) return failed(ERROR_HANDLE_EOF);
  if (error) *error = ERROR_SUCCESS;
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
