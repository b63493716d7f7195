#include "Text.h"

#include <windows.h>

std::optional<std::wstring> WideFromCp932(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(kCodePage932, MB_ERR_INVALID_CHARS, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage932, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                      out.data(), n);
  return out;
}

std::optional<std::string> Cp932FromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                      out.data(), n, nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

std::wstring Wide(std::string_view cp932) { return WideFromCp932(cp932).value_or(std::wstring()); }

std::string Narrow(std::wstring_view wide) { return Cp932FromWide(wide).value_or(std::string()); }
