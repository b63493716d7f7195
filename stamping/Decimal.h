#pragma once
// Numbers as SVG and PDF take them: plain decimals with a point, whatever
// the locale, without exponent or trailing zeros.

#include <charconv>
#include <cmath>
#include <string>

inline void AppendDecimal(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) value = 0;
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) {
    out += '0';
    return;
  }
  char* last = end;
  if (std::char_traits<char>::find(buffer, static_cast<std::size_t>(end - buffer), '.')) {
    while (last[-1] == '0') --last;
    if (last[-1] == '.') --last;
  }
  std::string text(buffer, last);
  out += text == "-0" ? "0" : text;
}
