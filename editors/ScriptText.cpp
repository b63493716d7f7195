#include "ScriptText.h"

#include <cstdio>
#include <cstdlib>

#include "ScriptReader.h"

std::string EditorTextOfFile(std::string_view fileBytes) {
  const std::string text = WithTextModeLineEnds(fileBytes);
  std::string lines;
  std::size_t at = 0;
  bool first = true;
  while (at < text.size()) {
    const std::string_view piece = TrimScriptText(NextScriptPiece(text, at));
    if (!first) lines += "\r\n";
    lines += piece;
    first = false;
  }
  return lines;
}

std::string MillimetreText(int dots, int dpi) {
  if (dpi == 0) return "-";
  const double millimetres = static_cast<double>(dots) / dpi * 25.4;
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", millimetres);
  // The platform writes an exponent without a plus sign or leading zeros:
  // 1.2E-8, 3E+20 becomes 3E20.
  std::string text = buffer;
  const std::size_t e = text.find('E');
  if (e == std::string::npos) return text;
  const int exponent = std::atoi(text.c_str() + e + 1);
  return text.substr(0, e + 1) + std::to_string(exponent);
}
