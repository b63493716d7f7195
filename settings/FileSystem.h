#pragma once
// Files named by code-page-932 paths. On Windows the path is converted to
// UTF-16 with code page 932 explicitly, so names work on any system locale.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The whole file as bytes; nullopt when it cannot be opened or is larger
// than maxBytes.
std::optional<std::string> ReadFileBytes(std::string_view path, std::size_t maxBytes);
bool FileExists(std::string_view path);
