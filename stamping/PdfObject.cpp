#include "PdfObject.h"

#include <cstdio>

#include "Decimal.h"

PdfObject PdfObject::MakeInteger(std::int64_t value) {
  PdfObject o;
  o.kind = PdfKind::Integer;
  o.integer = value;
  return o;
}

PdfObject PdfObject::MakeReal(double value) {
  PdfObject o;
  o.kind = PdfKind::Real;
  o.real = value;
  return o;
}

PdfObject PdfObject::MakeName(std::string_view name) {
  PdfObject o;
  o.kind = PdfKind::Name;
  o.text = name;
  return o;
}

PdfObject PdfObject::MakeString(std::string_view bytes) {
  PdfObject o;
  o.kind = PdfKind::String;
  o.text = bytes;
  return o;
}

PdfObject PdfObject::MakeReference(PdfRef ref) {
  PdfObject o;
  o.kind = PdfKind::Reference;
  o.ref = ref;
  return o;
}

PdfObject PdfObject::MakeArray(std::vector<PdfObject> items) {
  PdfObject o;
  o.kind = PdfKind::Array;
  o.items = std::move(items);
  return o;
}

PdfObject PdfObject::MakeDictionary() {
  PdfObject o;
  o.kind = PdfKind::Dictionary;
  return o;
}

const PdfObject* PdfObject::Find(std::string_view key) const {
  if (kind != PdfKind::Dictionary) return nullptr;
  for (const auto& [name, value] : entries)
    if (name == key) return &value;
  return nullptr;
}

PdfObject* PdfObject::Find(std::string_view key) {
  return const_cast<PdfObject*>(static_cast<const PdfObject*>(this)->Find(key));
}

void PdfObject::Set(std::string_view key, PdfObject value) {
  if (PdfObject* existing = Find(key)) {
    *existing = std::move(value);
    return;
  }
  entries.emplace_back(std::string(key), std::move(value));
}

namespace {

bool IsRegularNameByte(unsigned char c) {
  if (c <= 0x20 || c >= 0x7F || c == '#') return false;
  static constexpr std::string_view kDelimiters = "()<>[]{}/%";
  return kDelimiters.find(static_cast<char>(c)) == std::string_view::npos;
}

void AppendName(std::string& out, std::string_view name) {
  out += '/';
  for (const unsigned char c : name) {
    if (IsRegularNameByte(c)) {
      out += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "#%02X", c);
      out += escaped;
    }
  }
}

// Hexadecimal, so any bytes (text in UTF-16, binary IDs) pass unchanged.
void AppendString(std::string& out, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '<';
  for (const unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  out += '>';
}

}  // namespace

std::string PdfNumberText(double value) {
  std::string text;
  AppendDecimal(text, value, 5);
  return text;
}

void AppendPdfObject(std::string& out, const PdfObject& object) {
  switch (object.kind) {
    case PdfKind::Null:
      out += "null";
      break;
    case PdfKind::Boolean:
      out += object.boolean ? "true" : "false";
      break;
    case PdfKind::Integer:
      out += std::to_string(object.integer);
      break;
    case PdfKind::Real:
      out += object.text.empty() ? PdfNumberText(object.real) : object.text;
      break;
    case PdfKind::String:
      AppendString(out, object.text);
      break;
    case PdfKind::Name:
      AppendName(out, object.text);
      break;
    case PdfKind::Reference:
      out += std::to_string(object.ref.number) + ' ' + std::to_string(object.ref.generation) + " R";
      break;
    case PdfKind::Array: {
      out += '[';
      bool first = true;
      for (const PdfObject& item : object.items) {
        if (!first) out += ' ';
        first = false;
        AppendPdfObject(out, item);
      }
      out += ']';
      break;
    }
    case PdfKind::Dictionary:
      out += "<<";
      for (const auto& [key, value] : object.entries) {
        AppendName(out, key);
        out += ' ';
        AppendPdfObject(out, value);
      }
      out += ">>";
      break;
  }
}
