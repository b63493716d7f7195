#include "PdfSyntax.h"

#include <charconv>
#include <cstdlib>
#include <string>

namespace {

// Nesting deeper than any real file's, shallow enough for the stack.
constexpr int kMaxDepth = 64;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool IsPdfSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }

bool IsPdfDelimiter(char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' ||
         c == '/' || c == '%';
}

ParseStatus PdfParser::SkipSpace() {
  while (pos_ < data_.size()) {
    const char c = data_[pos_];
    if (IsPdfSpace(c)) {
      ++pos_;
    } else if (c == '%') {
      while (pos_ < data_.size() && data_[pos_] != '\n' && data_[pos_] != '\r') ++pos_;
    } else {
      return ParseStatus::Ok;
    }
  }
  return OutOfData();
}

ParseStatus PdfParser::Next(Token& token) {
  token = Token{};
  if (const ParseStatus s = SkipSpace(); s != ParseStatus::Ok) return s;
  const char c = data_[pos_];
  switch (c) {
    case '(':
      return LiteralString(token);
    case '/':
      return Name(token);
    case '[':
      ++pos_;
      token.kind = TokenKind::ArrayOpen;
      return ParseStatus::Ok;
    case ']':
      ++pos_;
      token.kind = TokenKind::ArrayClose;
      return ParseStatus::Ok;
    case '<':
      if (pos_ + 1 >= data_.size()) return OutOfData();
      if (data_[pos_ + 1] == '<') {
        pos_ += 2;
        token.kind = TokenKind::DictOpen;
        return ParseStatus::Ok;
      }
      return HexString(token);
    case '>':
      if (pos_ + 1 >= data_.size()) return OutOfData();
      if (data_[pos_ + 1] != '>') return ParseStatus::Bad;
      pos_ += 2;
      token.kind = TokenKind::DictClose;
      return ParseStatus::Ok;
    case ')':
    case '{':
    case '}':
      return ParseStatus::Bad;
    default:
      return Regular(token);
  }
}

ParseStatus PdfParser::LiteralString(Token& token) {
  token.kind = TokenKind::String;
  ++pos_;
  int open = 1;
  while (pos_ < data_.size()) {
    char c = data_[pos_++];
    if (c == '(') {
      ++open;
    } else if (c == ')') {
      if (--open == 0) return ParseStatus::Ok;
    } else if (c == '\\') {
      if (pos_ >= data_.size()) break;
      c = data_[pos_++];
      switch (c) {
        case 'n': token.text += '\n'; continue;
        case 'r': token.text += '\r'; continue;
        case 't': token.text += '\t'; continue;
        case 'b': token.text += '\b'; continue;
        case 'f': token.text += '\f'; continue;
        case '\r':
          if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
          continue;
        case '\n':
          continue;
        default:
          break;
      }
      if (c >= '0' && c <= '7') {
        int value = c - '0';
        for (int i = 0; i < 2 && pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '7'; ++i)
          value = value * 8 + (data_[pos_++] - '0');
        token.text += static_cast<char>(value & 0xFF);
        continue;
      }
      token.text += c;
      continue;
    }
    token.text += c;
  }
  return OutOfData();
}

ParseStatus PdfParser::HexString(Token& token) {
  token.kind = TokenKind::String;
  ++pos_;
  int high = -1;
  while (pos_ < data_.size()) {
    const char c = data_[pos_++];
    if (c == '>') {
      if (high >= 0) token.text += static_cast<char>(high << 4);
      return ParseStatus::Ok;
    }
    if (IsPdfSpace(c)) continue;
    const int value = HexValue(c);
    if (value < 0) return ParseStatus::Bad;
    if (high < 0) {
      high = value;
    } else {
      token.text += static_cast<char>((high << 4) | value);
      high = -1;
    }
  }
  return OutOfData();
}

ParseStatus PdfParser::Name(Token& token) {
  token.kind = TokenKind::Name;
  ++pos_;
  while (pos_ < data_.size()) {
    const char c = data_[pos_];
    if (IsPdfSpace(c) || IsPdfDelimiter(c)) return ParseStatus::Ok;
    if (c == '#' && pos_ + 2 < data_.size() && HexValue(data_[pos_ + 1]) >= 0 && HexValue(data_[pos_ + 2]) >= 0) {
      token.text += static_cast<char>(HexValue(data_[pos_ + 1]) * 16 + HexValue(data_[pos_ + 2]));
      pos_ += 3;
      continue;
    }
    if (c == '#' && pos_ + 2 >= data_.size() && !complete_) return ParseStatus::NeedMore;
    token.text += c;
    ++pos_;
  }
  return OutOfData();
}

// Numbers and keywords: a run of regular characters.
ParseStatus PdfParser::Regular(Token& token) {
  const std::size_t start = pos_;
  while (pos_ < data_.size() && !IsPdfSpace(data_[pos_]) && !IsPdfDelimiter(data_[pos_])) ++pos_;
  if (pos_ == data_.size() && !complete_) return ParseStatus::NeedMore;
  token.raw = data_.substr(start, pos_ - start);
  const std::string_view raw = token.raw;
  const char first = raw.front();
  if ((first >= '0' && first <= '9') || first == '+' || first == '-' || first == '.') {
    std::string_view digits = raw.front() == '+' ? raw.substr(1) : raw;
    if (digits.find('.') == std::string_view::npos) {
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), token.integer);
      if (error == std::errc() && end == digits.data() + digits.size()) {
        token.kind = TokenKind::Integer;
        return ParseStatus::Ok;
      }
    }
    // Reals, and integers too large for 64 bits, which some producers write.
    const std::string copy(raw);
    char* end = nullptr;
    token.real = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return ParseStatus::Bad;
    token.kind = TokenKind::Real;
    return ParseStatus::Ok;
  }
  token.kind = TokenKind::Keyword;
  return ParseStatus::Ok;
}

ParseStatus PdfParser::Object(PdfObject& out) {
  Token token;
  if (const ParseStatus s = Next(token); s != ParseStatus::Ok) return s;
  return Value(token, out, 0);
}

ParseStatus PdfParser::Value(const Token& token, PdfObject& out, int depth) {
  out = PdfObject{};
  switch (token.kind) {
    case TokenKind::Integer:
      return AfterInteger(token, out);
    case TokenKind::Real:
      out = PdfObject::MakeReal(token.real);
      out.text = token.raw;
      return ParseStatus::Ok;
    case TokenKind::Name:
      out = PdfObject::MakeName(token.text);
      return ParseStatus::Ok;
    case TokenKind::String:
      out = PdfObject::MakeString(token.text);
      return ParseStatus::Ok;
    case TokenKind::ArrayOpen:
      return Array(out, depth + 1);
    case TokenKind::DictOpen:
      return Dictionary(out, depth + 1);
    case TokenKind::Keyword:
      if (token.raw == "true" || token.raw == "false") {
        out.kind = PdfKind::Boolean;
        out.boolean = token.raw == "true";
        return ParseStatus::Ok;
      }
      if (token.raw == "null") return ParseStatus::Ok;
      return ParseStatus::Bad;
    default:
      return ParseStatus::Bad;
  }
}

// An integer, or the first of "number generation R".
ParseStatus PdfParser::AfterInteger(const Token& first, PdfObject& out) {
  out = PdfObject::MakeInteger(first.integer);
  const std::size_t after = pos_;
  Token second;
  ParseStatus s = Next(second);
  if (s == ParseStatus::NeedMore) return s;
  if (s == ParseStatus::Ok && second.kind == TokenKind::Integer) {
    Token third;
    s = Next(third);
    if (s == ParseStatus::NeedMore) return s;
    if (s == ParseStatus::Ok && third.kind == TokenKind::Keyword && third.raw == "R") {
      if (first.integer < 0 || second.integer < 0 || second.integer > 65535) return ParseStatus::Bad;
      out = PdfObject::MakeReference({first.integer, static_cast<int>(second.integer)});
      return ParseStatus::Ok;
    }
  }
  pos_ = after;
  return ParseStatus::Ok;
}

ParseStatus PdfParser::Array(PdfObject& out, int depth) {
  if (depth > kMaxDepth) return ParseStatus::Bad;
  out = PdfObject::MakeArray();
  for (;;) {
    Token token;
    if (const ParseStatus s = Next(token); s != ParseStatus::Ok) return s;
    if (token.kind == TokenKind::ArrayClose) return ParseStatus::Ok;
    PdfObject item;
    if (const ParseStatus s = Value(token, item, depth); s != ParseStatus::Ok) return s;
    out.items.push_back(std::move(item));
  }
}

ParseStatus PdfParser::Dictionary(PdfObject& out, int depth) {
  if (depth > kMaxDepth) return ParseStatus::Bad;
  out = PdfObject::MakeDictionary();
  for (;;) {
    Token key;
    if (const ParseStatus s = Next(key); s != ParseStatus::Ok) return s;
    if (key.kind == TokenKind::DictClose) return ParseStatus::Ok;
    if (key.kind != TokenKind::Name) return ParseStatus::Bad;
    Token token;
    if (const ParseStatus s = Next(token); s != ParseStatus::Ok) return s;
    PdfObject value;
    if (const ParseStatus s = Value(token, value, depth); s != ParseStatus::Ok) return s;
    // A later duplicate key does not replace the first, as most readers do.
    if (!out.Find(key.text)) out.entries.emplace_back(std::move(key.text), std::move(value));
  }
}

ParseStatus PdfParser::Integer(std::int64_t& value) {
  Token token;
  if (const ParseStatus s = Next(token); s != ParseStatus::Ok) return s;
  if (token.kind != TokenKind::Integer) return ParseStatus::Bad;
  value = token.integer;
  return ParseStatus::Ok;
}

ParseStatus PdfParser::Keyword(std::string_view word) {
  Token token;
  if (const ParseStatus s = Next(token); s != ParseStatus::Ok) return s;
  return token.kind == TokenKind::Keyword && token.raw == word ? ParseStatus::Ok : ParseStatus::Bad;
}

ParseStatus PdfParser::ObjectHeader(PdfRef& ref) {
  std::int64_t number = 0, generation = 0;
  if (const ParseStatus s = Integer(number); s != ParseStatus::Ok) return s;
  if (const ParseStatus s = Integer(generation); s != ParseStatus::Ok) return s;
  if (const ParseStatus s = Keyword("obj"); s != ParseStatus::Ok) return s;
  if (number < 0 || generation < 0 || generation > 65535) return ParseStatus::Bad;
  ref = {number, static_cast<int>(generation)};
  return ParseStatus::Ok;
}

ParseStatus PdfParser::StreamStart(bool& isStream, std::size_t& dataStart) {
  const std::size_t before = pos_;
  isStream = false;
  if (const ParseStatus s = SkipSpace(); s != ParseStatus::Ok) {
    if (s == ParseStatus::Bad) pos_ = before;
    return s == ParseStatus::Bad ? ParseStatus::Ok : s;
  }
  constexpr std::string_view kStream = "stream";
  if (data_.size() - pos_ < kStream.size() + 2 && !complete_) return ParseStatus::NeedMore;
  if (data_.substr(pos_, kStream.size()) != kStream) {
    pos_ = before;
    return ParseStatus::Ok;
  }
  std::size_t p = pos_ + kStream.size();
  // The data starts after CR LF or LF; a lone CR is tolerated too.
  if (p < data_.size() && data_[p] == '\r') ++p;
  if (p < data_.size() && data_[p] == '\n') ++p;
  isStream = true;
  dataStart = p;
  pos_ = p;
  return ParseStatus::Ok;
}
