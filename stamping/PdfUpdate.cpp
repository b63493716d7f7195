#include "PdfUpdate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "PdfFilters.h"
#include "Utf8.h"

namespace {

// The largest page a reader must support is 14400 units on a side.
constexpr double kMaxSealPoints = 14400;
constexpr std::size_t kMaxImagePixels = std::size_t{1} << 26;

bool IsValidImage(const PdfImage& image) {
  if (image.name.empty() || image.width <= 0 || image.height <= 0) return false;
  for (const char c : image.name)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')) return false;
  const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  if (pixels > kMaxImagePixels) return false;
  return image.rgb.size() == pixels * 3 && (image.alpha.empty() || image.alpha.size() == pixels);
}

bool IsValidAppearance(const PdfAppearance& appearance) {
  const auto fine = [](double v) { return std::isfinite(v) && v > 0 && v <= kMaxSealPoints; };
  if (!fine(appearance.width) || !fine(appearance.height) || appearance.content.empty()) return false;
  return std::all_of(appearance.images.begin(), appearance.images.end(), IsValidImage);
}

// A PDF text string: UTF-16BE with its byte order mark. Bytes that are no
// UTF-8 become U+FFFD.
std::string PdfText(std::string_view utf8) {
  std::string out = "\xFE\xFF";
  auto put = [&out](unsigned unit) {
    out += static_cast<char>(unit >> 8);
    out += static_cast<char>(unit & 0xFF);
  };
  for (std::size_t i = 0; i < utf8.size();) {
    auto [code, length] = DecodeUtf8(utf8, i);
    if (length == 0) {
      put(0xFFFD);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      put(0xD800 | (code >> 10));
      put(0xDC00 | (code & 0x3FF));
    } else {
      put(code);
    }
    i += length;
  }
  return out;
}

PdfObject NumberArray(const double* values, int n) {
  PdfObject array = PdfObject::MakeArray();
  for (int i = 0; i < n; ++i) array.items.push_back(PdfObject::MakeReal(values[i]));
  return array;
}

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash) {
  for (const unsigned char c : bytes) hash = (hash ^ c) * 0x100000001B3ull;
  return hash;
}

// Writes the appended part: objects, each recorded for the new
// cross-reference section.
class UpdateWriter {
 public:
  UpdateWriter(std::uint64_t base, std::int64_t next) : base_(base), next_(next) {}

  PdfRef Reserve() { return {next_++, 0}; }
  std::int64_t Next() const { return next_; }
  std::string& Out() { return out_; }

  void Write(PdfRef ref, const PdfObject& object) {
    Begin(ref);
    AppendPdfObject(out_, object);
    out_ += "\nendobj\n";
  }

  void WriteStream(PdfRef ref, PdfObject dictionary, std::string_view data, bool compress) {
    std::string compressed;
    if (compress) {
      compressed = FlateCompress(data);
      if (compressed.empty() && !data.empty()) throw std::bad_alloc();
      dictionary.Set("Filter", PdfObject::MakeName("FlateDecode"));
      data = compressed;
    }
    dictionary.Set("Length", PdfObject::MakeInteger(static_cast<std::int64_t>(data.size())));
    Begin(ref);
    AppendPdfObject(out_, dictionary);
    out_ += "\nstream\n";
    out_ += data;
    out_ += "\nendstream\nendobj\n";
  }

  // A table, as files with tables have.
  void FinishWithTable(PdfObject trailer, std::uint64_t previous) {
    const std::uint64_t at = base_ + out_.size();
    out_ += "xref\n";
    for (const auto& run : Runs()) {
      out_ += std::to_string(run.front().number) + ' ' + std::to_string(run.size()) + '\n';
      for (const Written& w : run) {
        char line[32];
        std::snprintf(line, sizeof line, "%010llu %05d n\r\n", static_cast<unsigned long long>(w.offset),
                      w.generation);
        out_ += line;
      }
    }
    trailer.Set("Size", PdfObject::MakeInteger(next_));
    trailer.Set("Prev", PdfObject::MakeInteger(static_cast<std::int64_t>(previous)));
    out_ += "trailer\n";
    AppendPdfObject(out_, trailer);
    out_ += "\nstartxref\n" + std::to_string(at) + "\n%%EOF\n";
  }

  // A cross-reference stream, as files that use them have.
  void FinishWithStream(PdfObject dictionary, std::uint64_t previous) {
    const PdfRef self = Reserve();
    const std::uint64_t at = base_ + out_.size();
    written_.push_back({self.number, 0, at});
    int offsetBytes = 1;
    while (offsetBytes < 8 && (at >> (8 * offsetBytes)) != 0) ++offsetBytes;
    std::string data;
    PdfObject index = PdfObject::MakeArray();
    for (const auto& run : Runs()) {
      index.items.push_back(PdfObject::MakeInteger(run.front().number));
      index.items.push_back(PdfObject::MakeInteger(static_cast<std::int64_t>(run.size())));
      for (const Written& w : run) {
        data += '\x01';
        for (int b = offsetBytes - 1; b >= 0; --b) data += static_cast<char>((w.offset >> (8 * b)) & 0xFF);
        data += static_cast<char>(w.generation >> 8);
        data += static_cast<char>(w.generation & 0xFF);
      }
    }
    dictionary.Set("Type", PdfObject::MakeName("XRef"));
    dictionary.Set("Size", PdfObject::MakeInteger(next_));
    dictionary.Set("Index", index);
    dictionary.Set("W", PdfObject::MakeArray({PdfObject::MakeInteger(1), PdfObject::MakeInteger(offsetBytes),
                                               PdfObject::MakeInteger(2)}));
    dictionary.Set("Prev", PdfObject::MakeInteger(static_cast<std::int64_t>(previous)));
    written_.pop_back();  // WriteStream records it again
    WriteStream(self, dictionary, data, false);
    out_ += "startxref\n" + std::to_string(at) + "\n%%EOF\n";
  }

 private:
  struct Written {
    std::int64_t number;
    int generation;
    std::uint64_t offset;
  };

  void Begin(PdfRef ref) {
    written_.push_back({ref.number, ref.generation, base_ + out_.size()});
    out_ += std::to_string(ref.number) + ' ' + std::to_string(ref.generation) + " obj\n";
  }

  std::vector<std::vector<Written>> Runs() {
    std::vector<Written> sorted = written_;
    std::sort(sorted.begin(), sorted.end(), [](const Written& a, const Written& b) { return a.number < b.number; });
    std::vector<std::vector<Written>> runs;
    for (const Written& w : sorted) {
      if (runs.empty() || runs.back().back().number + 1 != w.number) runs.emplace_back();
      runs.back().push_back(w);
    }
    return runs;
  }

  std::uint64_t base_;
  std::int64_t next_;
  std::string out_;
  std::vector<Written> written_;
};

struct StampContext {
  PdfDocument& document;
  const PdfPage& page;
  const PdfStampSpec& spec;
  const PdfAppearance& appearance;
  const PdfPlacement& placement;
  UpdateWriter& writer;
};

PdfRef WriteImage(UpdateWriter& writer, const PdfImage& image) {
  const auto imageDictionary = [&](const char* colourSpace) {
    PdfObject dictionary = PdfObject::MakeDictionary();
    dictionary.Set("Type", PdfObject::MakeName("XObject"));
    dictionary.Set("Subtype", PdfObject::MakeName("Image"));
    dictionary.Set("Width", PdfObject::MakeInteger(image.width));
    dictionary.Set("Height", PdfObject::MakeInteger(image.height));
    dictionary.Set("ColorSpace", PdfObject::MakeName(colourSpace));
    dictionary.Set("BitsPerComponent", PdfObject::MakeInteger(8));
    return dictionary;
  };
  const auto bytes = [](const std::vector<std::uint8_t>& samples) {
    return std::string_view(reinterpret_cast<const char*>(samples.data()), samples.size());
  };
  const PdfRef ref = writer.Reserve();
  PdfObject dictionary = imageDictionary("DeviceRGB");
  if (!image.alpha.empty()) {
    const PdfRef mask = writer.Reserve();
    writer.WriteStream(mask, imageDictionary("DeviceGray"), bytes(image.alpha), true);
    dictionary.Set("SMask", PdfObject::MakeReference(mask));
  }
  writer.WriteStream(ref, dictionary, bytes(image.rgb), true);
  return ref;
}

// The seal as a Form XObject at its designed size; on a page that is shown
// turned, its /Matrix turns it back when it is an annotation's appearance.
PdfRef WriteForm(const StampContext& c, bool withTurn) {
  PdfObject xobjects = PdfObject::MakeDictionary();
  for (const PdfImage& image : c.appearance.images)
    xobjects.Set(image.name, PdfObject::MakeReference(WriteImage(c.writer, image)));
  PdfObject resources = PdfObject::MakeDictionary();
  if (!xobjects.entries.empty()) resources.Set("XObject", xobjects);
  const PdfRef ref = c.writer.Reserve();
  PdfObject form = PdfObject::MakeDictionary();
  form.Set("Type", PdfObject::MakeName("XObject"));
  form.Set("Subtype", PdfObject::MakeName("Form"));
  form.Set("FormType", PdfObject::MakeInteger(1));
  const double bbox[4] = {0, 0, c.appearance.width, c.appearance.height};
  form.Set("BBox", NumberArray(bbox, 4));
  static constexpr double kIdentity[6] = {1, 0, 0, 1, 0, 0};
  form.Set("Matrix", NumberArray(withTurn ? c.placement.formMatrix : kIdentity, 6));
  form.Set("Resources", resources);
  c.writer.WriteStream(ref, form, c.appearance.content, true);
  return ref;
}

void AddAnnotation(const StampContext& c) {
  const PdfRef form = WriteForm(c, true);
  const PdfRef annotation = c.writer.Reserve();
  PdfObject dictionary = PdfObject::MakeDictionary();
  dictionary.Set("Type", PdfObject::MakeName("Annot"));
  dictionary.Set("Subtype", PdfObject::MakeName("Stamp"));
  const PdfBox& r = c.placement.rect;
  const double rect[4] = {r.left, r.bottom, r.right, r.top};
  dictionary.Set("Rect", NumberArray(rect, 4));
  dictionary.Set("F", PdfObject::MakeInteger(4));  // printed with the page
  dictionary.Set("P", PdfObject::MakeReference(c.page.ref));
  PdfObject appearances = PdfObject::MakeDictionary();
  appearances.Set("N", PdfObject::MakeReference(form));
  dictionary.Set("AP", appearances);
  dictionary.Set("Contents", PdfObject::MakeString(PdfText(c.appearance.text)));
  dictionary.Set("T", PdfObject::MakeString(PdfText(c.appearance.author)));
  dictionary.Set("NM", PdfObject::MakeString(c.spec.annotationName));
  dictionary.Set("M", PdfObject::MakeString(c.spec.date));
  dictionary.Set("CreationDate", PdfObject::MakeString(c.spec.date));
  c.writer.Write(annotation, dictionary);

  // An indirect /Annots array is rewritten in its own place; otherwise the
  // page carries the array itself.
  const PdfObject* annots = c.page.dictionary.Find("Annots");
  if (annots && annots->Is(PdfKind::Reference)) {
    PdfObject array;
    if (c.document.Resolve(*annots, array) == PdfReadStatus::Ok && array.Is(PdfKind::Array)) {
      array.items.push_back(PdfObject::MakeReference(annotation));
      c.writer.Write(annots->ref, array);
      return;
    }
  }
  PdfObject page = c.page.dictionary;
  PdfObject array = annots && annots->Is(PdfKind::Array) ? *annots : PdfObject::MakeArray();
  array.items.push_back(PdfObject::MakeReference(annotation));
  page.Set("Annots", array);
  c.writer.Write(c.page.ref, page);
}

// Flattening: the old content between q and Q so whatever state it leaves
// cannot move the seal, which is drawn after it.
bool DrawIntoContent(const StampContext& c) {
  const PdfRef form = WriteForm(c, false);
  PdfObject resources, xobjects;
  if (c.document.Resolve(c.page.resources, resources) != PdfReadStatus::Ok) return false;
  if (!resources.Is(PdfKind::Dictionary)) resources = PdfObject::MakeDictionary();
  const PdfObject* oldXobjects = resources.Find("XObject");
  if (oldXobjects && c.document.Resolve(*oldXobjects, xobjects) != PdfReadStatus::Ok) return false;
  if (!xobjects.Is(PdfKind::Dictionary)) xobjects = PdfObject::MakeDictionary();
  std::string name;
  for (int n = 1; name.empty() || xobjects.Find(name); ++n) name = "VarnelSeal" + std::to_string(n);
  xobjects.Set(name, PdfObject::MakeReference(form));
  resources.Set("XObject", xobjects);

  PdfObject contents = PdfObject::MakeArray();
  const PdfRef before = c.writer.Reserve();
  c.writer.WriteStream(before, PdfObject::MakeDictionary(), "q\n", false);
  contents.items.push_back(PdfObject::MakeReference(before));
  if (const PdfObject* old = c.page.dictionary.Find("Contents")) {
    PdfObject resolved;
    if (c.document.Resolve(*old, resolved) != PdfReadStatus::Ok) return false;
    if (resolved.Is(PdfKind::Array)) {
      for (const PdfObject& item : resolved.items) contents.items.push_back(item);
    } else if (old->Is(PdfKind::Reference)) {
      contents.items.push_back(*old);
    }
  }
  std::string draw = "\nQ\nq ";
  for (const double v : c.placement.drawMatrix) draw += PdfNumberText(v) + ' ';
  draw += "cm /" + name + " Do Q\n";
  const PdfRef after = c.writer.Reserve();
  c.writer.WriteStream(after, PdfObject::MakeDictionary(), draw, true);
  contents.items.push_back(PdfObject::MakeReference(after));

  PdfObject page = c.page.dictionary;
  page.Set("Resources", resources);
  page.Set("Contents", contents);
  c.writer.Write(c.page.ref, page);
  return true;
}

PdfObject NewId(const PdfObject& trailer, const PdfStampSpec& spec, std::uint64_t fileSize) {
  std::string seed = spec.annotationName + spec.date + std::to_string(fileSize);
  const std::uint64_t h1 = Fnv1a(seed, 0xCBF29CE484222325ull);
  const std::uint64_t h2 = Fnv1a(seed + "\x01", h1);
  std::string id;
  for (const std::uint64_t h : {h1, h2})
    for (int b = 0; b < 8; ++b) id += static_cast<char>((h >> (8 * b)) & 0xFF);
  const PdfObject* old = trailer.Find("ID");
  PdfObject first = old && old->Is(PdfKind::Array) && !old->items.empty() && old->items[0].Is(PdfKind::String)
                        ? old->items[0]
                        : PdfObject::MakeString(id);
  return PdfObject::MakeArray({first, PdfObject::MakeString(id)});
}

PdfStampResult CheckPermission(PdfDocument& document, bool flatten) {
  const PdfChangePermission permission = document.ChangePermission();
  if (permission == PdfChangePermission::NoChanges || permission == PdfChangePermission::FormFilling)
    return flatten ? PdfStampResult::ChangesNotAllowed : PdfStampResult::AnnotationsNotAllowed;
  // Drawing into a signed page changes what the signature covered as shown.
  if (flatten && (permission != PdfChangePermission::NotCertified || document.HasSignatures()))
    return PdfStampResult::ChangesNotAllowed;
  return PdfStampResult::Stamped;
}

}  // namespace

int PageIndex(const PdfPageChoice& choice, int count) {
  switch (choice.kind) {
    case PdfPageChoice::Kind::First:
      return 0;
    case PdfPageChoice::Kind::Last:
      return count - 1;
    case PdfPageChoice::Kind::Number:
      break;
  }
  return choice.number - 1;
}

PdfStampResult ResultOfRead(PdfReadStatus status) {
  switch (status) {
    case PdfReadStatus::Ok: return PdfStampResult::Stamped;
    case PdfReadStatus::NotPdf: return PdfStampResult::NotPdf;
    case PdfReadStatus::Encrypted: return PdfStampResult::Encrypted;
    case PdfReadStatus::BrokenXref: return PdfStampResult::BrokenXref;
    case PdfReadStatus::Unsupported: return PdfStampResult::Unsupported;
    case PdfReadStatus::ReadFailed: return PdfStampResult::CannotOpen;
    case PdfReadStatus::PageOutOfRange: return PdfStampResult::PageOutOfRange;
  }
  return PdfStampResult::Unsupported;
}

std::string PdfDate(int year, int month, int day, int hour, int minute, int second, int utcOffsetMinutes) {
  char text[40];
  const int offset = std::abs(utcOffsetMinutes);
  const char sign = utcOffsetMinutes > 0 ? '+' : utcOffsetMinutes < 0 ? '-' : 'Z';
  if (sign == 'Z') {
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02dZ", year, month, day, hour, minute, second);
  } else {
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d%c%02d'%02d'", year, month, day, hour, minute,
                  second, sign, offset / 60 % 100, offset % 60);
  }
  return text;
}

PdfUpdate MakePdfUpdate(RandomAccessFile& file, const PdfStampSpec& spec, const PdfAppearance& appearance) {
  PdfUpdate update;
  PdfDocument document(file);
  if (const PdfReadStatus s = document.Open(); s != PdfReadStatus::Ok) {
    update.result = ResultOfRead(s);
    return update;
  }
  update.pageCount = document.PageCount();
  const int index = PageIndex(spec.page, update.pageCount);
  PdfPage page;
  if (const PdfReadStatus s = document.Page(index, page); s != PdfReadStatus::Ok) {
    update.result = ResultOfRead(s);
    return update;
  }
  update.pageNumber = index + 1;
  if (const PdfStampResult refusal = CheckPermission(document, spec.flatten); refusal != PdfStampResult::Stamped) {
    update.result = refusal;
    return update;
  }
  if (!IsValidAppearance(appearance)) {
    update.result = PdfStampResult::NoSeal;
    return update;
  }
  update.placement = PlaceSeal(page, appearance.width, appearance.height, spec.position);
  if (!update.placement.insidePage) {
    update.result = PdfStampResult::OutsidePage;
    return update;
  }
  try {
    const std::uint64_t size = file.Size();
    char last = '\n';
    if (file.ReadAt(size - 1, &last, 1) != 1) {
      update.result = PdfStampResult::CannotOpen;
      return update;
    }
    // The update starts on a line of its own.
    const std::string lead = last == '\n' || last == '\r' ? "" : "\n";
    UpdateWriter writer(size + lead.size(), document.NextObjectNumber());
    const StampContext context{document, page, spec, appearance, update.placement, writer};
    if (spec.flatten) {
      if (!DrawIntoContent(context)) {
        update.result = PdfStampResult::BrokenXref;
        return update;
      }
    } else {
      AddAnnotation(context);
    }
    PdfObject trailer = PdfObject::MakeDictionary();
    for (const char* key : {"Root", "Info"})
      if (const PdfObject* value = document.Trailer().Find(key)) trailer.Set(key, *value);
    trailer.Set("ID", NewId(document.Trailer(), spec, size));
    if (document.UsesXrefStream())
      writer.FinishWithStream(trailer, document.NewestXrefOffset());
    else
      writer.FinishWithTable(trailer, document.NewestXrefOffset());
    update.appended = lead + writer.Out();
    update.result = PdfStampResult::Stamped;
  } catch (const std::bad_alloc&) {
    update.result = PdfStampResult::Unsupported;
  }
  return update;
}
