#pragma once
// The platform's own description of an error code, in the system's
// language. Header-only, so that VrnCtl.dll, which carries no more of the
// Win32 layer than it needs, says the same as the program.

#include <windows.h>

#include <string>

inline std::wstring SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring result = n && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
    result.pop_back();
  if (result.empty()) result = L"エラー " + std::to_wstring(error);
  return result;
}
