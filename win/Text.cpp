#include "Text.h"

#include <windows.h>

#include "Sjis.h"

namespace {

// Multi-byte text in codePage as UTF-16; flags MB_ERR_INVALID_CHARS makes
// invalid bytes fail instead of becoming U+FFFD.
std::optional<std::wstring> ToWide(unsigned codePage, DWORD flags, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), length, out.data(), n);
  return out;
}

// UTF-16 as UTF-8; flags WC_ERR_INVALID_CHARS makes unpaired surrogates
// fail instead of becoming U+FFFD.
std::optional<std::string> ToUtf8(DWORD flags, std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_UTF8, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, flags, text.data(), length, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::optional<std::wstring> WideFromCp932(std::string_view text) {
  return ToWide(kCodePage932, MB_ERR_INVALID_CHARS, text);
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

std::wstring WideShowingInvalid(std::string_view cp932) {
  if (auto whole = WideFromCp932(cp932)) return *whole;
  // Character by character: a lead byte with its trail byte, or one byte.
  std::wstring out;
  std::size_t i = 0;
  while (i < cp932.size()) {
    const std::size_t length = IsSjisLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size() ? 2 : 1;
    if (auto one = WideFromCp932(cp932.substr(i, length))) {
      out += *one;
      i += length;
    } else {
      out += L'\u30FB';  // "・" for the byte; the next one starts afresh
      ++i;
    }
  }
  return out;
}

std::string Narrow(std::wstring_view wide) { return Cp932FromWide(wide).value_or(std::string()); }

std::string Utf8FromWide(std::wstring_view wide) { return ToUtf8(0, wide).value_or(std::string()); }

std::wstring WideFromUtf8(std::string_view utf8) { return ToWide(CP_UTF8, 0, utf8).value_or(std::wstring()); }

std::optional<std::string> StrictUtf8FromWide(std::wstring_view wide) { return ToUtf8(WC_ERR_INVALID_CHARS, wide); }

std::optional<std::wstring> StrictWideFromUtf8(std::string_view utf8) {
  return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
}

std::string Utf8FromCp932(std::string_view cp932) { return Utf8FromWide(WideShowingInvalid(cp932)); }
