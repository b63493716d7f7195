#include "ScriptReader.h"

#include "FileSystem.h"
#include "Settings.h"
#include "Sjis.h"

namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trim(std::string_view text) { return TrimScriptText(text); }

bool IsSeparator(char c) { return c == '\t' || c == ' ' || c == '\n'; }

// Splits at runs of tab, blank and LF, never at the second byte of a
// double-byte character; stops after kScriptMaxTokens tokens.
std::vector<std::string_view> SplitTokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < text.size() && static_cast<int>(tokens.size()) < kScriptMaxTokens) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    if (i == text.size()) break;
    const std::size_t start = i;
    while (i < text.size() && !IsSeparator(text[i]))
      i += (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    tokens.push_back(Trim(text.substr(start, i - start)));
  }
  return tokens;
}

}  // namespace

// Text-mode reading turns CR LF into LF; a lone CR stays.
std::string WithTextModeLineEnds(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
  return text;
}

// One read of at most kScriptPieceBytes bytes, ending after an LF when there
// is one. The piece is kept as a C string, so it ends at a NUL byte.
std::string_view NextScriptPiece(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  std::size_t end = start;
  while (end < text.size() && end - start < kScriptPieceBytes && text[end++] != '\n') {
  }
  at = end;
  std::string_view piece = text.substr(start, end - start);
  return piece.substr(0, piece.find('\0'));
}

std::string_view TrimScriptText(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

int ScriptReader::Load(std::string_view cp932Path) {
  text_.clear();
  lines_.clear();
  const std::optional<std::string> bytes = ReadFileBytes(cp932Path, kScriptMaxFileBytes);
  if (!bytes) return -1;
  LoadBytes(*bytes);
  return 0;
}

void ScriptReader::LoadBytes(std::string_view fileBytes) {
  text_ = WithTextModeLineEnds(fileBytes);
  lines_.clear();
  std::size_t at = 0;
  while (at < text_.size()) {
    const std::size_t start = at;
    const std::string_view piece = NextScriptPiece(text_, at);
    // Only a ';' in the very first column makes a comment.
    if (piece.empty() || piece.front() != ';')
      lines_.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(piece.size())});
  }
}

std::string_view ScriptReader::Line(int line) const {
  if (line < 0 || line >= Count()) return {};
  return std::string_view(text_).substr(lines_[line].offset, lines_[line].size);
}

std::string ScriptReader::Token(int line, int n) const {
  if (n < 0) return {};
  const std::vector<std::string_view> tokens = SplitTokens(Trim(Line(line)));
  if (static_cast<std::size_t>(n) >= tokens.size()) return {};
  return std::string(tokens[n].substr(0, kScriptPieceBytes));
}

int ScriptReader::TokenInt(int line, int n) const { return ParseDecimal(Token(line, n)); }
