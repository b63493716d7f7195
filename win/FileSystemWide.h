#pragma once
// Whole files named by UTF-16 paths, as the file dialogs give them.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

// The file's bytes; nullopt when it cannot be opened or read, or is larger
// than maxBytes (error, when given, says why: the platform's reason, or
// ERROR_FILE_TOO_LARGE).
std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t maxBytes, DWORD* error = nullptr);
