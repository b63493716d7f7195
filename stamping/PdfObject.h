#pragma once
// The objects of a PDF file as the reader parses them and the writer writes
// them back: a parsed page dictionary is written again unchanged apart from
// the entries the stamp adds.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class PdfKind { Null, Boolean, Integer, Real, String, Name, Array, Dictionary, Reference };

struct PdfRef {
  std::int64_t number = 0;
  int generation = 0;
  friend bool operator==(const PdfRef&, const PdfRef&) = default;
};

struct PdfObject {
  PdfKind kind = PdfKind::Null;
  bool boolean = false;
  std::int64_t integer = 0;  // Integer
  double real = 0;           // Real
  PdfRef ref;                // Reference
  // String: its bytes; Name: decoded, without the slash; Real: the token as
  // written, so it is written back digit for digit.
  std::string text;
  std::vector<PdfObject> items;                            // Array
  std::vector<std::pair<std::string, PdfObject>> entries;  // Dictionary, in file order

  static PdfObject MakeInteger(std::int64_t value);
  static PdfObject MakeReal(double value);
  static PdfObject MakeName(std::string_view name);
  static PdfObject MakeString(std::string_view bytes);
  static PdfObject MakeReference(PdfRef ref);
  static PdfObject MakeArray(std::vector<PdfObject> items = {});
  static PdfObject MakeDictionary();

  bool Is(PdfKind k) const { return kind == k; }
  bool IsNumber() const { return kind == PdfKind::Integer || kind == PdfKind::Real; }
  double Number() const { return kind == PdfKind::Integer ? static_cast<double>(integer) : real; }
  bool IsName(std::string_view name) const { return kind == PdfKind::Name && text == name; }

  // Dictionary entries; nullptr when absent (or this is no dictionary).
  const PdfObject* Find(std::string_view key) const;
  PdfObject* Find(std::string_view key);
  void Set(std::string_view key, PdfObject value);
};

// The object's integer; fallback when it is absent (nullptr) or no integer.
inline std::int64_t IntegerOr(const PdfObject* object, std::int64_t fallback) {
  return object && object->Is(PdfKind::Integer) ? object->integer : fallback;
}

// The object in PDF syntax, as it goes into a file.
void AppendPdfObject(std::string& out, const PdfObject& object);
// A number with at most five decimals (AppendDecimal): no exponent, no trailing zeros.
std::string PdfNumberText(double value);
