#include "Sjis.h"

#include <cstring>

std::string_view SjisPrefix(std::string_view text, std::size_t maxBytes) {
  if (auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t width = IsSjisLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > maxBytes || end + width > text.size()) break;
    end += width;
  }
  return text.substr(0, end);
}

void CopyToField(char* field, std::size_t fieldWidth, std::string_view text) {
  if (fieldWidth == 0) return;
  const std::string_view kept = SjisPrefix(text, fieldWidth - 1);
  std::memcpy(field, kept.data(), kept.size());
  field[kept.size()] = '\0';
}

namespace {
// Walks text character by character, calling f(byte, isTrailByte).
template <typename F>
void ForEachByte(std::string_view text, F f) {
  bool trail = false;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    f(c, trail);
    trail = !trail && IsSjisLeadByte(b);
  }
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string SjisLowerAscii(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachByte(text, [&](char c, bool trail) { out += trail ? c : LowerAscii(c); });
  return out;
}

bool SjisEqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && SjisLowerAscii(a) == SjisLowerAscii(b);
}
