#pragma once
// Reads what stamping a page needs from a PDF file, through a random-access
// file: the trailer found from the end, the cross-reference sections (tables
// and streams, with /Prev chains and hybrid files' /XRefStm), objects in
// object streams, and the page tree with its inherited attributes. Nothing
// else of the file is read, so the cost does not grow with the file.

#include <cstdint>
#include <list>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "PdfObject.h"
#include "RandomAccessFile.h"

enum class PdfReadStatus {
  Ok,
  NotPdf,        // no "%PDF-" header
  Encrypted,     // the trailer names /Encrypt
  BrokenXref,    // the cross-reference or the objects it points at are not where it says: needs a repair
  Unsupported,   // a stream filter or a size beyond what stamping reads
  ReadFailed,    // the file could not be read
  PageOutOfRange,
};

struct PdfBox {
  double left = 0, bottom = 0, right = 0, top = 0;
  double Width() const { return right - left; }
  double Height() const { return top - bottom; }
};

struct PdfPage {
  PdfRef ref;
  PdfObject dictionary;  // the page object as it is in the file
  PdfBox mediaBox;       // inherited where the page has none
  PdfBox cropBox;        // the visible region: the crop box within the media box
  int rotate = 0;        // 0, 90, 180 or 270: clockwise, as the page is shown
  double userUnit = 1;   // the size of a unit in 1/72 inch
  PdfObject resources;   // inherited where the page has none; may be a reference
};

// A certified document's permission for changes (/Perms /DocMDP /P).
enum class PdfChangePermission { NotCertified, NoChanges = 1, FormFilling = 2, Annotations = 3 };

class PdfDocument {
 public:
  explicit PdfDocument(RandomAccessFile& file) : file_(file) {}

  PdfReadStatus Open();

  // After a successful Open.
  bool UsesXrefStream() const { return newestIsStream_; }
  std::uint64_t NewestXrefOffset() const { return startXref_; }
  std::int64_t NextObjectNumber() const { return nextNumber_; }
  const PdfObject& Trailer() const { return trailer_; }
  int PageCount() const { return pageCount_; }
  PdfChangePermission ChangePermission();
  bool HasSignatures();

  // index from 0.
  PdfReadStatus Page(int index, PdfPage& page);
  // Follows a reference (a direct object is returned as it is); a missing
  // object is null, as the format says.
  PdfReadStatus Resolve(const PdfObject& object, PdfObject& out);

 private:
  struct Entry {
    enum class Type : std::uint8_t { Free, InFile, InStream } type = Type::Free;
    std::uint64_t offset = 0;   // InFile: byte offset; InStream: the object stream's number
    std::uint32_t second = 0;   // InFile: generation; InStream: index in the stream
  };
  struct Indirect {
    PdfObject value;
    bool isStream = false;
    std::uint64_t dataOffset = 0;
  };
  struct ObjectStream {
    std::string data;
    std::int64_t first = 0;
    std::map<std::int64_t, std::int64_t> offsets;  // object number -> offset after /First
  };

  std::string ReadBytes(std::uint64_t offset, std::size_t n);
  void CheckHeader();
  std::uint64_t FindStartXref();
  void ReadXrefChain();
  std::uint64_t ReadXrefTable(std::uint64_t offset, PdfObject& trailer, std::vector<std::pair<std::int64_t, Entry>>& freed);
  void ReadXrefStream(std::uint64_t offset, PdfObject& trailer);
  void AddEntry(std::int64_t number, const Entry& entry);
  template <typename Parse>
  Indirect ParseGrowingAt(std::uint64_t offset, Parse parse);
  Indirect ParseIndirectAt(std::uint64_t offset, const PdfRef* expected);
  std::string StreamData(const Indirect& stream, std::size_t maxDecoded);
  PdfObject Object(PdfRef ref);
  PdfObject Resolved(const PdfObject& object);
  // The dictionary's entry, followed if it is a reference; null when absent.
  PdfObject ResolvedEntry(const PdfObject& dictionary, std::string_view key);
  const ObjectStream& LoadObjectStream(std::int64_t number);
  PdfObject ObjectFromStream(std::int64_t number, const Entry& entry);
  PdfObject Catalog();
  void FindPage(int index, PdfPage& page);

  RandomAccessFile& file_;
  std::unordered_map<std::int64_t, Entry> entries_;
  PdfObject trailer_;
  PdfObject catalog_;  // the document catalog, resolved by Open
  std::uint64_t startXref_ = 0;
  bool newestIsStream_ = false;
  std::int64_t nextNumber_ = 1;
  int pageCount_ = 0;
  int depth_ = 0;
  std::list<std::pair<std::int64_t, ObjectStream>> objectStreams_;  // most recent first
};

// The visible region of a box pair: the crop box clipped to the media box.
PdfBox VisibleBox(const PdfPage& page);
