#pragma once
// PDF syntax over a window of a file's bytes. When the window ends inside
// what is being read, the parser says so (NeedMore) rather than guessing,
// and the reader fetches a larger window.

#include <cstdint>
#include <string_view>

#include "PdfObject.h"

enum class ParseStatus { Ok, NeedMore, Bad };

class PdfParser {
 public:
  // complete: the window reaches the end of the file (or of a decoded
  // stream), so running out of bytes is the end, not a short window.
  PdfParser(std::string_view data, bool complete) : data_(data), complete_(complete) {}

  ParseStatus Object(PdfObject& out);
  ParseStatus Integer(std::int64_t& value);
  // The next token is this keyword (true, false, null, obj, xref, trailer …).
  ParseStatus Keyword(std::string_view word);
  // "12 0 obj"
  ParseStatus ObjectHeader(PdfRef& ref);
  // After a stream's dictionary: whether the keyword "stream" follows, and
  // where its data starts (after the end of its line).
  ParseStatus StreamStart(bool& isStream, std::size_t& dataStart);

 private:
  enum class TokenKind { Integer, Real, Name, String, Keyword, ArrayOpen, ArrayClose, DictOpen, DictClose, End };
  struct Token {
    TokenKind kind = TokenKind::End;
    std::int64_t integer = 0;
    double real = 0;
    std::string_view raw;
    std::string text;
  };

  ParseStatus SkipSpace();
  ParseStatus Next(Token& token);
  ParseStatus LiteralString(Token& token);
  ParseStatus HexString(Token& token);
  ParseStatus Name(Token& token);
  ParseStatus Regular(Token& token);
  ParseStatus Value(const Token& token, PdfObject& out, int depth);
  ParseStatus Array(PdfObject& out, int depth);
  ParseStatus Dictionary(PdfObject& out, int depth);
  ParseStatus AfterInteger(const Token& first, PdfObject& out);
  ParseStatus OutOfData() const { return complete_ ? ParseStatus::Bad : ParseStatus::NeedMore; }

  std::string_view data_;
  bool complete_;
  std::size_t pos_ = 0;
};

bool IsPdfSpace(char c);
bool IsPdfDelimiter(char c);
