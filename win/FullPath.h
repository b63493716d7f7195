#pragma once
// A path as the user or a caller gave it, made whole against the current
// folder. Header-only, so that VrnCtl.dll, which carries no more of the
// Win32 layer than it needs, resolves names as the program does.

#include <windows.h>

#include <string>

// The path itself when the platform cannot make it whole.
inline std::wstring FullPath(const std::wstring& path) {
  const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  const DWORD written = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  if (written == 0 || written >= n) return path;
  full.resize(written);
  return full;
}
