#pragma once
// The one place where code-page-932 bytes and UTF-16 meet. Conversions are
// strict: invalid bytes or characters outside code page 932 fail instead of
// turning into '?'.

#include <optional>
#include <string>
#include <string_view>

inline constexpr unsigned kCodePage932 = 932;

std::optional<std::wstring> WideFromCp932(std::string_view text);
std::optional<std::string> Cp932FromWide(std::wstring_view text);

// For UI texts that are known to be valid (literals, record fields already
// checked): a failed conversion gives an empty string.
std::wstring Wide(std::string_view cp932);
// For drawn texts and face names from files and scripts: what can be
// decoded, with each byte that is no code-page-932 character shown as "・".
std::wstring WideShowingInvalid(std::string_view cp932);
std::string Narrow(std::wstring_view wide);

// UTF-8, as the stamp log keeps its texts. Unpaired surrogates and bytes that
// are not UTF-8 become U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);
std::wstring WideFromUtf8(std::string_view utf8);
// UTF-8 that must stay exact, as requests between programs carry file names:
// anything that is not valid text fails.
std::optional<std::string> StrictUtf8FromWide(std::wstring_view wide);
std::optional<std::wstring> StrictWideFromUtf8(std::string_view utf8);
// A record's code-page-932 text as UTF-8, invalid bytes shown as "・".
std::string Utf8FromCp932(std::string_view cp932);
