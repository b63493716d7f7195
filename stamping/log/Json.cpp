#include "Json.h"

#include <cstdint>

#include "Utf8.h"

namespace {

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<JsonObject> Object() {
    SkipSpace();
    if (!Take('{')) return Stop("an object must start with {");
    JsonObject object;
    SkipSpace();
    if (Take('}')) return End(std::move(object));
    for (;;) {
      SkipSpace();
      std::string name;
      if (!String(name)) return std::nullopt;
      SkipSpace();
      if (!Take(':')) return Stop("a name must be followed by :");
      SkipSpace();
      JsonValue value;
      if (!Value(value)) return std::nullopt;
      if (!object.emplace(std::move(name), std::move(value)).second) return Stop("a name is repeated");
      SkipSpace();
      if (Take('}')) return End(std::move(object));
      if (!Take(',')) return Stop("members must be separated by ,");
    }
  }

  std::string why;

 private:
  std::optional<JsonObject> End(JsonObject object) {
    SkipSpace();
    if (at_ != text_.size()) return Stop("text follows the object");
    return object;
  }

  bool Fail(const char* reason) {
    if (why.empty()) why = std::string(reason) + " (at byte " + std::to_string(at_ + 1) + ")";
    return false;
  }
  std::nullopt_t Stop(const char* reason) {
    Fail(reason);
    return std::nullopt;
  }

  bool Take(char c) {
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  void SkipSpace() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  bool Value(JsonValue& value) {
    if (at_ >= text_.size()) return Fail("a value is missing");
    const char c = text_[at_];
    if (c == '"') {
      value.isString = true;
      return String(value.text);
    }
    if (c == '{' || c == '[') return Fail("nested objects and arrays are not records");
    for (const char* literal : {"true", "false", "null"}) {
      if (text_.substr(at_).starts_with(literal)) {
        value.text = literal;
        at_ += value.text.size();
        return true;
      }
    }
    return Number(value.text);
  }

  bool Digits() {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    return at_ > start;
  }

  bool Number(std::string& out) {
    const std::size_t start = at_;
    Take('-');
    if (Take('0')) {
      // no leading zeros
    } else if (!Digits()) {
      return Fail("not a value");
    }
    if (Take('.') && !Digits()) return Fail("a fraction needs digits");
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digits()) return Fail("an exponent needs digits");
    }
    out.assign(text_.substr(start, at_ - start));
    return true;
  }

  bool Hex4(std::uint32_t& code) {
    if (at_ + 4 > text_.size()) return false;
    code = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = text_[at_++];
      code <<= 4;
      if (c >= '0' && c <= '9') code |= static_cast<std::uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') code |= static_cast<std::uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') code |= static_cast<std::uint32_t>(c - 'A' + 10);
      else return false;
    }
    return true;
  }

  bool Escape(std::string& out) {
    if (at_ >= text_.size()) return Fail("an escape is cut off");
    const char c = text_[at_++];
    switch (c) {
      case '"': out += '"'; return true;
      case '\\': out += '\\'; return true;
      case '/': out += '/'; return true;
      case 'b': out += '\b'; return true;
      case 'f': out += '\f'; return true;
      case 'n': out += '\n'; return true;
      case 'r': out += '\r'; return true;
      case 't': out += '\t'; return true;
      case 'u': break;
      default: return Fail("an unknown escape");
    }
    std::uint32_t code = 0;
    if (!Hex4(code)) return Fail("\\u needs four hexadecimal digits");
    if (code >= 0xDC00 && code <= 0xDFFF) return Fail("a lone low surrogate");
    if (code >= 0xD800 && code <= 0xDBFF) {
      std::uint32_t low = 0;
      if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF)
        return Fail("a high surrogate without its low surrogate");
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, code);
    return true;
  }

  bool String(std::string& out) {
    if (!Take('"')) return Fail("a string must start with \"");
    for (;;) {
      if (at_ >= text_.size()) return Fail("a string is not closed");
      const char c = text_[at_];
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c == '\\') {
        ++at_;
        if (!Escape(out)) return false;
        continue;
      }
      if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character in a string");
      const std::size_t length = DecodeUtf8(text_, at_).length;
      if (length == 0) return Fail("a string is not UTF-8");
      out.append(text_.substr(at_, length));
      at_ += length;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

std::optional<JsonObject> ParseJsonObject(std::string_view text, std::string* why) {
  Reader reader(text);
  std::optional<JsonObject> object = reader.Object();
  if (!object && why) *why = reader.why;
  return object;
}

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else if (const std::size_t length = DecodeUtf8(text, i).length; length > 1) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    } else if (length == 0) {
      out += "\xEF\xBF\xBD";
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  out += '"';
}

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = DecodeUtf8(text, i).length;
    if (length == 0) return false;
    i += length;
  }
  return true;
}
