#pragma once
// The line and token reading of graphic scripts (".vgs", code page 932).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A file is read in pieces of at most this many bytes (one line, or the part
// of a longer line); a token is handed out with at most as many.
inline constexpr std::size_t kScriptPieceBytes = 1023;
inline constexpr int kScriptMaxTokens = 99;
// Scripts are a few kilobytes; a larger file is not read at all, which keeps a
// hostile file's line list within a few megabytes.
inline constexpr std::size_t kScriptMaxFileBytes = 4 * 1024 * 1024;

// A file is read as text (CR LF becomes LF) in pieces of at most
// kScriptPieceBytes bytes: one line with its LF, or the part of a longer
// line. NextScriptPiece hands out the piece at `at` and moves `at` past it;
// the piece ends at a NUL byte, as the C string it is read into would.
std::string WithTextModeLineEnds(std::string_view fileBytes);
std::string_view NextScriptPiece(std::string_view textModeBytes, std::size_t& at);
// The text without the characters of codes 0 to 32 at either end.
std::string_view TrimScriptText(std::string_view text);

class ScriptReader {
 public:
  // 0 when the file was read, -1 when it cannot be opened (or is larger than
  // kScriptMaxFileBytes); the reader then holds no lines.
  int Load(std::string_view cp932Path);
  // Reads the bytes of a whole file as Load does.
  void LoadBytes(std::string_view fileBytes);

  int Count() const { return static_cast<int>(lines_.size()); }
  // Token n (0-based) of a line, or "" when the line has n or fewer tokens or
  // there is no such line.
  std::string Token(int line, int n) const;
  // The token converted like atol.
  int TokenInt(int line, int n) const;

 private:
  // Each kept line as a slice of text_, so a file of many short lines costs
  // eight bytes a line rather than a string each.
  struct Slice {
    std::uint32_t offset, size;
  };
  std::string_view Line(int line) const;
  std::string text_;
  std::vector<Slice> lines_;
};
