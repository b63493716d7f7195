#pragma once
// Whole files named by UTF-16 paths, as the file dialogs give them.

#include <cstddef>
#include <optional>
#include <string>

// The file's bytes; nullopt when it cannot be opened or is larger than maxBytes.
std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t maxBytes);
