#pragma once
// Code-page-932 (Shift-JIS) byte strings as the records hold them.

#include <cstddef>
#include <string>
#include <string_view>

// Lead bytes of double-byte characters: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsSjisLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The longest prefix of text that has at most maxBytes bytes and does not
// split a double-byte character; text also ends at its first NUL.
std::string_view SjisPrefix(std::string_view text, std::size_t maxBytes);

// Copies text into a NUL-terminated field of fieldWidth bytes, cut at a
// character boundary; the rest of the field is left as it was.
void CopyToField(char* field, std::size_t fieldWidth, std::string_view text);

template <std::size_t N>
void CopyToField(char (&field)[N], std::string_view text) {
  CopyToField(field, N, text);
}

// The field's text up to its NUL (or its whole width when there is none).
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return {field, n};
}

// ASCII letters compared without regard to case; other bytes, including the
// trail bytes of double-byte characters, must match exactly.
bool SjisEqualsNoCase(std::string_view a, std::string_view b);

// The text with its ASCII letters made lower case, trail bytes left alone.
std::string SjisLowerAscii(std::string_view text);
