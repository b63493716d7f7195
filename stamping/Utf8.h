#pragma once
// One character of UTF-8 text, well-formed only: the shortest form, no
// surrogates, nothing beyond U+10FFFF. The stamp log, the SVG writer and
// the PDF writer each decide what becomes of bytes that are no character.

#include <cstddef>
#include <string_view>

struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;  // 0: the bytes there are no character
};

// The character starting at text[i] (i < text.size()).
inline Utf8Char DecodeUtf8(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
  } else {
    return {};
  }
  if (length > text.size() - i) return {};
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return {};
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, length};
}
