#include "PdfDocument.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

#include "PdfFilters.h"
#include "PdfSyntax.h"

namespace {

// Thrown inside the reader only, caught at its public functions.
struct PdfFailure {
  PdfReadStatus status;
};

[[noreturn]] void Fail(PdfReadStatus status) { throw PdfFailure{status}; }
[[noreturn]] void Broken() { Fail(PdfReadStatus::BrokenXref); }

constexpr std::size_t kFirstWindow = 4096;
// No dictionary or array outside a stream is larger than this in a real file.
constexpr std::size_t kMaxWindow = std::size_t{16} << 20;
// Cross-reference and object streams decode to at most this.
constexpr std::size_t kMaxDecoded = std::size_t{64} << 20;
constexpr int kMaxNesting = 32;
constexpr std::size_t kMaxSections = 4096;
constexpr std::int64_t kMaxObjectNumber = std::int64_t{1} << 31;
constexpr std::size_t kObjectStreamCache = 4;

template <typename F>
PdfReadStatus Guarded(F&& work) {
  try {
    work();
    return PdfReadStatus::Ok;
  } catch (const PdfFailure& failure) {
    return failure.status;
  } catch (const std::bad_alloc&) {
    return PdfReadStatus::Unsupported;
  } catch (const std::length_error&) {
    return PdfReadStatus::Unsupported;
  }
}

bool ReadBox(const PdfObject& object, PdfBox& box) {
  if (!object.Is(PdfKind::Array) || object.items.size() != 4) return false;
  double v[4];
  for (int i = 0; i < 4; ++i) {
    if (!object.items[i].IsNumber() || !std::isfinite(object.items[i].Number())) return false;
    v[i] = object.items[i].Number();
  }
  box = {std::min(v[0], v[2]), std::min(v[1], v[3]), std::max(v[0], v[2]), std::max(v[1], v[3])};
  return true;
}

}  // namespace

PdfBox VisibleBox(const PdfPage& page) {
  const PdfBox& m = page.mediaBox;
  const PdfBox& c = page.cropBox;
  PdfBox v{std::max(m.left, c.left), std::max(m.bottom, c.bottom), std::min(m.right, c.right),
           std::min(m.top, c.top)};
  // A crop box outside the media box shows nothing; readers fall back to the media box.
  return v.Width() > 0 && v.Height() > 0 ? v : m;
}

std::string PdfDocument::ReadBytes(std::uint64_t offset, std::size_t n) {
  std::string bytes(n, '\0');
  const std::size_t read = file_.ReadAt(offset, bytes.data(), n);
  const std::uint64_t available = offset < file_.Size() ? file_.Size() - offset : 0;
  if (read < std::min<std::uint64_t>(n, available)) Fail(PdfReadStatus::ReadFailed);
  bytes.resize(read);
  return bytes;
}

void PdfDocument::CheckHeader() {
  const std::string head = ReadBytes(0, 1024);
  if (head.find("%PDF-") == std::string::npos) Fail(PdfReadStatus::NotPdf);
}

std::uint64_t PdfDocument::FindStartXref() {
  const std::uint64_t size = file_.Size();
  const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(size, 4096));
  const std::string end = ReadBytes(size - tail, tail);
  const std::size_t at = end.rfind("startxref");
  if (at == std::string::npos) Broken();
  PdfParser parser(std::string_view(end).substr(at + 9), true);
  std::int64_t offset = 0;
  if (parser.Integer(offset) != ParseStatus::Ok || offset <= 0 || static_cast<std::uint64_t>(offset) >= size)
    Broken();
  return static_cast<std::uint64_t>(offset);
}

// What parse reads from offset on, from a window that grows until it holds it.
template <typename Parse>
PdfDocument::Indirect PdfDocument::ParseGrowingAt(std::uint64_t offset, Parse parse) {
  const std::uint64_t size = file_.Size();
  if (offset >= size) Broken();
  for (std::size_t n = kFirstWindow;; n *= 4) {
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(n, size - offset));
    const bool complete = offset + length >= size;
    const std::string bytes = ReadBytes(offset, length);
    PdfParser parser(bytes, complete);
    Indirect result;
    const ParseStatus s = parse(parser, result);
    if (s == ParseStatus::Ok) return result;
    if (s == ParseStatus::Bad || complete || n >= kMaxWindow) Broken();
  }
}

PdfReadStatus PdfDocument::Open() {
  return Guarded([&] {
    CheckHeader();
    startXref_ = FindStartXref();
    ReadXrefChain();
    if (trailer_.Find("Encrypt")) Fail(PdfReadStatus::Encrypted);
    catalog_ = Catalog();
    const PdfObject pages = ResolvedEntry(catalog_, "Pages");
    const std::int64_t count = IntegerOr(pages.Find("Count"), -1);
    if (!pages.Is(PdfKind::Dictionary) || count < 0 || count > 10'000'000) Broken();
    pageCount_ = static_cast<int>(count);
  });
}

void PdfDocument::AddEntry(std::int64_t number, const Entry& entry) {
  if (number < 0 || number >= kMaxObjectNumber) Broken();
  entries_.try_emplace(number, entry);
  nextNumber_ = std::max(nextNumber_, number + 1);
}

// Newest section first: an object an update redefined keeps its newest entry.
void PdfDocument::ReadXrefChain() {
  std::set<std::uint64_t> seen;
  std::uint64_t offset = startXref_;
  bool newest = true;
  for (;;) {
    if (!seen.insert(offset).second || seen.size() > kMaxSections) Broken();
    const std::string start = ReadBytes(offset, 4);
    PdfObject trailer;
    if (start == "xref") {
      std::vector<std::pair<std::int64_t, Entry>> freed;
      const std::uint64_t xrefStm = ReadXrefTable(offset, trailer, freed);
      // A hybrid file: objects the table leaves out are in its stream.
      if (xrefStm) {
        PdfObject streamTrailer;
        ReadXrefStream(xrefStm, streamTrailer);
      }
      for (const auto& [number, entry] : freed) AddEntry(number, entry);
      if (newest) newestIsStream_ = false;
    } else {
      ReadXrefStream(offset, trailer);
      if (newest) newestIsStream_ = true;
    }
    if (newest) {
      trailer_ = trailer;
    } else {
      for (const char* key : {"Root", "Info", "ID", "Encrypt"})
        if (!trailer_.Find(key) && trailer.Find(key)) trailer_.Set(key, *trailer.Find(key));
    }
    nextNumber_ = std::max(nextNumber_, IntegerOr(trailer.Find("Size"), 0));
    newest = false;
    const PdfObject* prev = trailer.Find("Prev");
    if (!prev) break;
    if (!prev->IsNumber() || prev->Number() <= 0 || prev->Number() >= static_cast<double>(file_.Size())) Broken();
    offset = static_cast<std::uint64_t>(prev->Number());
  }
  if (nextNumber_ >= kMaxObjectNumber) Broken();
}

// A table: "xref", then subsections "first count" of "offset generation n|f"
// lines, then "trailer" and its dictionary. Returns the hybrid's /XRefStm.
std::uint64_t PdfDocument::ReadXrefTable(std::uint64_t offset, PdfObject& trailer,
                                         std::vector<std::pair<std::int64_t, Entry>>& freed) {
  const std::uint64_t size = file_.Size();
  std::uint64_t windowStart = offset;
  std::string window;
  std::size_t pos = 4;  // after "xref"
  auto refill = [&] {
    windowStart += pos;
    window = ReadBytes(windowStart, static_cast<std::size_t>(std::min<std::uint64_t>(65536, size - windowStart)));
    pos = 0;
  };
  refill();
  // The next word of the table, or empty at the end of the file.
  auto word = [&]() -> std::string {
    for (;;) {
      while (pos < window.size() && IsPdfSpace(window[pos])) ++pos;
      if (pos < window.size()) break;
      if (windowStart + pos >= size) return {};
      refill();
    }
    if (window.size() - pos < 64 && windowStart + window.size() < size) refill();
    const std::size_t start = pos;
    while (pos < window.size() && !IsPdfSpace(window[pos]) && !IsPdfDelimiter(window[pos])) ++pos;
    if (pos == start) return {};
    return window.substr(start, pos - start);
  };
  auto number = [](const std::string& text, std::int64_t& value) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::stoll(text);
    return true;
  };
  for (;;) {
    const std::string first = word();
    if (first == "trailer") break;
    std::int64_t start = 0, count = 0;
    if (!number(first, start) || !number(word(), count) || start + count > kMaxObjectNumber) Broken();
    for (std::int64_t i = 0; i < count; ++i) {
      std::int64_t entryOffset = 0, generation = 0;
      if (!number(word(), entryOffset) || !number(word(), generation)) Broken();
      const std::string type = word();
      Entry entry;
      if (type == "n") {
        // Offset 0 in use is how some writers mark a free entry.
        if (entryOffset == 0) continue;
        if (static_cast<std::uint64_t>(entryOffset) >= size || generation > 65535) Broken();
        entry.type = Entry::Type::InFile;
        entry.offset = static_cast<std::uint64_t>(entryOffset);
        entry.second = static_cast<std::uint32_t>(generation);
        AddEntry(start + i, entry);
      } else if (type == "f") {
        freed.emplace_back(start + i, entry);
      } else {
        Broken();
      }
    }
  }
  // The trailer dictionary, parsed where the word "trailer" ended.
  const auto object = [](PdfParser& parser, Indirect& result) { return parser.Object(result.value); };
  trailer = ParseGrowingAt(windowStart + pos, object).value;
  if (!trailer.Is(PdfKind::Dictionary)) Broken();
  const PdfObject* xrefStm = trailer.Find("XRefStm");
  if (xrefStm && xrefStm->Is(PdfKind::Integer) && xrefStm->integer > 0 &&
      static_cast<std::uint64_t>(xrefStm->integer) < size)
    return static_cast<std::uint64_t>(xrefStm->integer);
  return 0;
}

void PdfDocument::ReadXrefStream(std::uint64_t offset, PdfObject& trailer) {
  const Indirect stream = ParseIndirectAt(offset, nullptr);
  if (!stream.isStream || !stream.value.Is(PdfKind::Dictionary)) Broken();
  const PdfObject& dictionary = stream.value;
  const PdfObject* type = dictionary.Find("Type");
  if (type && !type->IsName("XRef")) Broken();
  const PdfObject* widths = dictionary.Find("W");
  if (!widths || !widths->Is(PdfKind::Array) || widths->items.size() != 3) Broken();
  int w[3];
  for (int i = 0; i < 3; ++i) {
    const std::int64_t width = IntegerOr(&widths->items[i], -1);
    if (width < 0 || width > 8) Broken();
    w[i] = static_cast<int>(width);
  }
  const std::size_t entryBytes = static_cast<std::size_t>(w[0] + w[1] + w[2]);
  if (entryBytes == 0) Broken();
  const std::int64_t size = IntegerOr(dictionary.Find("Size"), -1);
  if (size < 0 || size > kMaxObjectNumber) Broken();
  std::vector<std::int64_t> index;
  if (const PdfObject* indexArray = dictionary.Find("Index")) {
    if (!indexArray->Is(PdfKind::Array) || indexArray->items.size() % 2) Broken();
    for (const PdfObject& item : indexArray->items) {
      const std::int64_t value = IntegerOr(&item, -1);
      if (value < 0 || value > kMaxObjectNumber) Broken();
      index.push_back(value);
    }
  } else {
    index = {0, size};
  }
  const std::string data = StreamData(stream, kMaxDecoded);
  std::size_t at = 0;
  auto field = [&](int width, std::uint64_t fallback) {
    if (width == 0) return fallback;
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) value = (value << 8) | static_cast<unsigned char>(data[at++]);
    return value;
  };
  for (std::size_t section = 0; section < index.size(); section += 2) {
    for (std::int64_t i = 0; i < index[section + 1]; ++i) {
      if (data.size() - at < entryBytes) Broken();
      const std::uint64_t kind = field(w[0], 1);
      const std::uint64_t second = field(w[1], 0);
      const std::uint64_t third = field(w[2], 0);
      Entry entry;
      const std::int64_t number = index[section] + i;
      if (kind == 0) {
        AddEntry(number, entry);
      } else if (kind == 1) {
        if (second == 0) continue;
        if (second >= file_.Size()) Broken();
        entry.type = Entry::Type::InFile;
        entry.offset = second;
        entry.second = static_cast<std::uint32_t>(std::min<std::uint64_t>(third, 65535));
        AddEntry(number, entry);
      } else if (kind == 2) {
        if (second >= static_cast<std::uint64_t>(kMaxObjectNumber) || third > 0xFFFFFFFFu) Broken();
        entry.type = Entry::Type::InStream;
        entry.offset = second;
        entry.second = static_cast<std::uint32_t>(third);
        AddEntry(number, entry);
      }
    }
  }
  trailer = dictionary;
}

PdfDocument::Indirect PdfDocument::ParseIndirectAt(std::uint64_t offset, const PdfRef* expected) {
  return ParseGrowingAt(offset, [&](PdfParser& parser, Indirect& result) {
    PdfRef ref;
    ParseStatus s = parser.ObjectHeader(ref);
    if (s == ParseStatus::Ok && expected && !(ref == *expected)) Broken();
    if (s == ParseStatus::Ok) s = parser.Object(result.value);
    std::size_t dataStart = 0;
    if (s == ParseStatus::Ok && result.value.Is(PdfKind::Dictionary))
      s = parser.StreamStart(result.isStream, dataStart);
    result.dataOffset = offset + dataStart;
    return s;
  });
}

std::string PdfDocument::StreamData(const Indirect& stream, std::size_t maxDecoded) {
  const PdfObject length = ResolvedEntry(stream.value, "Length");
  if (!length.Is(PdfKind::Integer) || length.integer < 0) Broken();
  const std::uint64_t size = file_.Size();
  if (stream.dataOffset > size || static_cast<std::uint64_t>(length.integer) > size - stream.dataOffset) Broken();
  if (static_cast<std::uint64_t>(length.integer) > kMaxDecoded) Fail(PdfReadStatus::Unsupported);
  const std::string encoded = ReadBytes(stream.dataOffset, static_cast<std::size_t>(length.integer));
  const PdfObject filter = ResolvedEntry(stream.value, "Filter");
  const PdfObject parms = ResolvedEntry(stream.value, "DecodeParms");
  DecodeResult decoded = DecodePdfStream(encoded, filter, parms, maxDecoded);
  switch (decoded.status) {
    case DecodeStatus::Ok:
      return std::move(decoded.data);
    case DecodeStatus::Bad:
      Broken();
    default:
      Fail(PdfReadStatus::Unsupported);
  }
}

PdfObject PdfDocument::Object(PdfRef ref) {
  const auto found = entries_.find(ref.number);
  if (found == entries_.end()) return {};
  const Entry entry = found->second;
  // A length or an object stream is itself an object: references may chain.
  struct DepthGuard {
    int& depth;
    ~DepthGuard() { --depth; }
  } guard{++depth_};
  if (depth_ > kMaxNesting) Broken();
  PdfObject result;
  if (entry.type == Entry::Type::InFile) {
    if (static_cast<int>(entry.second) == ref.generation) {
      Indirect indirect = ParseIndirectAt(entry.offset, &ref);
      result = std::move(indirect.value);
    }
  } else if (entry.type == Entry::Type::InStream && ref.generation == 0) {
    result = ObjectFromStream(ref.number, entry);
  }
  return result;
}

const PdfDocument::ObjectStream& PdfDocument::LoadObjectStream(std::int64_t number) {
  for (auto it = objectStreams_.begin(); it != objectStreams_.end(); ++it) {
    if (it->first == number) {
      objectStreams_.splice(objectStreams_.begin(), objectStreams_, it);
      return objectStreams_.front().second;
    }
  }
  const auto found = entries_.find(number);
  if (found == entries_.end() || found->second.type != Entry::Type::InFile) Broken();
  const PdfRef ref{number, static_cast<int>(found->second.second)};
  const Indirect indirect = ParseIndirectAt(found->second.offset, &ref);
  if (!indirect.isStream) Broken();
  ObjectStream stream;
  stream.data = StreamData(indirect, kMaxDecoded);
  const std::int64_t count = IntegerOr(indirect.value.Find("N"), -1);
  stream.first = IntegerOr(indirect.value.Find("First"), -1);
  if (count < 0 || stream.first < 0 || static_cast<std::uint64_t>(stream.first) > stream.data.size()) Broken();
  PdfParser header(std::string_view(stream.data).substr(0, static_cast<std::size_t>(stream.first)), true);
  for (std::int64_t i = 0; i < count; ++i) {
    std::int64_t objectNumber = 0, offset = 0;
    if (header.Integer(objectNumber) != ParseStatus::Ok || header.Integer(offset) != ParseStatus::Ok || offset < 0)
      Broken();
    // The index in the cross-reference counts pairs; the map keeps both ways.
    stream.offsets.emplace(-1 - i, offset);
    stream.offsets.emplace(objectNumber, offset);
  }
  objectStreams_.emplace_front(number, std::move(stream));
  if (objectStreams_.size() > kObjectStreamCache) objectStreams_.pop_back();
  return objectStreams_.front().second;
}

PdfObject PdfDocument::ObjectFromStream(std::int64_t number, const Entry& entry) {
  const ObjectStream& stream = LoadObjectStream(static_cast<std::int64_t>(entry.offset));
  auto found = stream.offsets.find(-1 - static_cast<std::int64_t>(entry.second));
  if (found == stream.offsets.end()) found = stream.offsets.find(number);
  if (found == stream.offsets.end()) Broken();
  const std::uint64_t at = static_cast<std::uint64_t>(stream.first) + static_cast<std::uint64_t>(found->second);
  if (at >= stream.data.size()) Broken();
  PdfParser parser(std::string_view(stream.data).substr(static_cast<std::size_t>(at)), true);
  PdfObject object;
  if (parser.Object(object) != ParseStatus::Ok) Broken();
  return object;
}

PdfObject PdfDocument::Resolved(const PdfObject& object) {
  PdfObject current = object;
  for (int hops = 0; current.Is(PdfKind::Reference); ++hops) {
    if (hops > kMaxNesting) Broken();
    current = Object(current.ref);
  }
  return current;
}

PdfObject PdfDocument::ResolvedEntry(const PdfObject& dictionary, std::string_view key) {
  const PdfObject* value = dictionary.Find(key);
  return value ? Resolved(*value) : PdfObject{};
}

PdfReadStatus PdfDocument::Resolve(const PdfObject& object, PdfObject& out) {
  return Guarded([&] { out = Resolved(object); });
}

PdfObject PdfDocument::Catalog() {
  const PdfObject* root = trailer_.Find("Root");
  if (!root || !root->Is(PdfKind::Reference)) Broken();
  PdfObject catalog = Resolved(*root);
  if (!catalog.Is(PdfKind::Dictionary)) Broken();
  return catalog;
}

PdfChangePermission PdfDocument::ChangePermission() {
  PdfChangePermission permission = PdfChangePermission::NotCertified;
  Guarded([&] {
    const PdfObject perms = ResolvedEntry(catalog_, "Perms");
    const PdfObject signature = ResolvedEntry(perms, "DocMDP");
    if (!signature.Is(PdfKind::Dictionary)) return;
    // Certified without a readable level: the strictest reading.
    permission = PdfChangePermission::NoChanges;
    const PdfObject references = ResolvedEntry(signature, "Reference");
    for (const PdfObject& item : references.items) {
      const PdfObject reference = Resolved(item);
      const PdfObject* method = reference.Find("TransformMethod");
      if (!method || !method->IsName("DocMDP")) continue;
      const PdfObject params = ResolvedEntry(reference, "TransformParams");
      const std::int64_t p = IntegerOr(params.Find("P"), 2);
      permission = p == 3 ? PdfChangePermission::Annotations
                          : p == 2 ? PdfChangePermission::FormFilling : PdfChangePermission::NoChanges;
    }
  });
  return permission;
}

bool PdfDocument::HasSignatures() {
  bool signatures = false;
  Guarded([&] {
    const PdfObject form = ResolvedEntry(catalog_, "AcroForm");
    const PdfObject flags = ResolvedEntry(form, "SigFlags");
    signatures = (flags.Is(PdfKind::Integer) && (flags.integer & 1)) || catalog_.Find("Perms");
  });
  return signatures;
}

PdfReadStatus PdfDocument::Page(int index, PdfPage& page) {
  if (index < 0 || index >= pageCount_) return PdfReadStatus::PageOutOfRange;
  return Guarded([&] { FindPage(index, page); });
}

// Down the tree by the nodes' /Count, so only the nodes on the way are read.
void PdfDocument::FindPage(int index, PdfPage& page) {
  page = PdfPage{};
  const PdfObject* pagesRef = catalog_.Find("Pages");
  if (!pagesRef || !pagesRef->Is(PdfKind::Reference)) Broken();
  PdfObject node = Resolved(*pagesRef);
  PdfObject inheritedMedia, inheritedCrop, inheritedRotate, inheritedResources;
  // A node's or the page's own attributes override those of the nodes above.
  auto inherit = [&](const PdfObject& from) {
    for (auto [key, slot] : {std::pair{"MediaBox", &inheritedMedia}, std::pair{"CropBox", &inheritedCrop},
                             std::pair{"Rotate", &inheritedRotate}, std::pair{"Resources", &inheritedResources}})
      if (const PdfObject* value = from.Find(key)) *slot = *value;
  };
  std::set<std::int64_t> visited{pagesRef->ref.number};
  std::int64_t remaining = index;
  for (int depth = 0;; ++depth) {
    if (depth > kMaxNesting || !node.Is(PdfKind::Dictionary)) Broken();
    inherit(node);
    const PdfObject kids = ResolvedEntry(node, "Kids");
    if (!kids.Is(PdfKind::Array)) Broken();
    bool descended = false;
    for (const PdfObject& kid : kids.items) {
      if (!kid.Is(PdfKind::Reference)) Broken();
      PdfObject child = Resolved(kid);
      if (!child.Is(PdfKind::Dictionary)) Broken();
      const PdfObject* type = child.Find("Type");
      const bool isNode = child.Find("Kids") && !(type && type->IsName("Page"));
      const std::int64_t count = isNode ? IntegerOr(child.Find("Count"), -1) : 1;
      if (count < 0) Broken();
      if (remaining >= count) {
        remaining -= count;
        continue;
      }
      if (!visited.insert(kid.ref.number).second) Broken();
      if (!isNode) {
        page.ref = kid.ref;
        page.dictionary = std::move(child);
        descended = true;
        break;
      }
      node = std::move(child);
      descended = true;
      break;
    }
    if (!descended) Broken();  // the counts promised more pages than the kids hold
    if (!page.dictionary.Is(PdfKind::Null)) break;
  }
  const PdfObject& dictionary = page.dictionary;
  inherit(dictionary);
  // US Letter when the file names no media box, as readers assume.
  if (!ReadBox(Resolved(inheritedMedia), page.mediaBox)) page.mediaBox = {0, 0, 612, 792};
  if (!ReadBox(Resolved(inheritedCrop), page.cropBox)) page.cropBox = page.mediaBox;
  const PdfObject rotate = Resolved(inheritedRotate);
  const std::int64_t degrees = rotate.IsNumber() ? static_cast<std::int64_t>(rotate.Number()) : 0;
  page.rotate = static_cast<int>(((degrees % 360) + 360) % 360) / 90 * 90;
  const PdfObject unit = ResolvedEntry(dictionary, "UserUnit");
  page.userUnit = unit.IsNumber() && unit.Number() > 0 && unit.Number() < 1e6 ? unit.Number() : 1;
  page.resources = inheritedResources;
  if (page.mediaBox.Width() <= 0 || page.mediaBox.Height() <= 0) Broken();
}
