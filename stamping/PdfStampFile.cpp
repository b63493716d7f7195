#include "PdfStampFile.h"

#include <objbase.h>

#include <cwchar>

#include "FileSave.h"
#include "FullPath.h"
#include "UniqueHandle.h"

namespace {

// The PDF read through its handle, at any offset.
class HandleFile final : public RandomAccessFile {
 public:
  HandleFile(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t n) override {
    std::size_t total = 0;
    while (total < n && offset + total < size_) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>((offset + total) & 0xFFFFFFFF);
      at.OffsetHigh = static_cast<DWORD>((offset + total) >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - total, 1u << 24));
      DWORD read = 0;
      if (!ReadFile(file_, buffer + total, chunk, &read, &at) || read == 0) break;
      total += read;
    }
    return total;
  }

 private:
  HANDLE file_;
  std::uint64_t size_;
};

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(FullPath(a).c_str(), -1, FullPath(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string UniqueAnnotationName() {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) {
    guid.Data1 = GetTickCount();
    guid.Data2 = static_cast<WORD>(GetCurrentProcessId());
  }
  char text[64];
  std::snprintf(text, sizeof text, "Varnel-%08lX-%04X-%04X-%02X%02X%02X%02X%02X%02X%02X%02X",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

std::string NowAsPdfDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  TIME_ZONE_INFORMATION zone{};
  const DWORD kind = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;
  if (kind == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  else if (kind == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return PdfDate(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, -static_cast<int>(bias));
}

PdfStampSpec SpecOf(const PdfStampRequest& request) {
  PdfStampSpec spec;
  spec.page = request.page;
  spec.position = request.position;
  spec.flatten = request.flatten;
  spec.annotationName = UniqueAnnotationName();
  spec.date = NowAsPdfDate();
  return spec;
}

struct OpenedPdf {
  UniqueFile file;
  std::uint64_t size = 0;
  PdfStampResult result = PdfStampResult::Stamped;
  DWORD error = 0;
};

// Others may read the PDF meanwhile but not change it: what was read stays
// what is copied or appended to.
OpenedPdf OpenPdf(const std::wstring& path, bool forWriting) {
  OpenedPdf pdf;
  // A read-only file is not appended to, even where the platform would
  // let this user write it.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (forWriting && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    pdf.result = PdfStampResult::CannotWrite;
    pdf.error = ERROR_ACCESS_DENIED;
    return pdf;
  }
  const DWORD access = GENERIC_READ | (forWriting ? GENERIC_WRITE : 0);
  pdf.file.reset(CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
  if (!pdf.file) {
    pdf.error = GetLastError();
    // Readable but not writable (read-only, or open in another program).
    UniqueFile readable(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    pdf.result = forWriting && readable ? PdfStampResult::CannotWrite : PdfStampResult::CannotOpen;
    return pdf;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(pdf.file.get(), &size)) {
    pdf.error = GetLastError();
    pdf.result = PdfStampResult::CannotOpen;
    return pdf;
  }
  pdf.size = static_cast<std::uint64_t>(size.QuadPart);
  return pdf;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The copy: the PDF's bytes as they are, then the update, written beside
// the target and moved over it only when complete.
// The caller holds the PDF open without write sharing, so the bytes copied
// are the bytes read.
DWORD WriteCopy(const std::wstring& pdf, std::uint64_t size, const std::wstring& output, const std::string& appended) {
  return SaveReplacing(output, [&](const std::wstring& temporary) {
    if (!CopyFileW(pdf.c_str(), temporary.c_str(), FALSE)) return false;
    // The copy takes the original's attributes; a read-only mark would stop the append.
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    UniqueFile copy(CreateFileW(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!copy) return false;
    const DWORD error = AppendRestoringOnFailure(copy.get(), size, appended);
    if (error) SetLastError(error);
    return error == ERROR_SUCCESS;
  });
}

PdfStampOutcome Finish(PdfStampOutcome outcome, const PdfStampRequest& request, DWORD error) {
  PdfMessageFacts facts{request.pdf, outcome.output, outcome.pageNumber, outcome.pageCount, error};
  outcome.message = PdfStampMessage(outcome.result, facts);
  return outcome;
}

}  // namespace

PdfStampOutcome StampSealOnPdf(const PdfStampRequest& request, const PdfAppearance& appearance) {
  PdfStampOutcome outcome;
  bool inPlace = request.mode == PdfWriteMode::InPlace;
  outcome.output = inPlace ? request.pdf : request.output.empty() ? StampedCopyName(request.pdf) : request.output;
  if (!inPlace && SamePath(outcome.output, request.pdf)) inPlace = true;
  if (inPlace) outcome.output = request.pdf;

  OpenedPdf pdf = OpenPdf(request.pdf, inPlace);
  if (pdf.result != PdfStampResult::Stamped) {
    outcome.result = pdf.result;
    if (pdf.result == PdfStampResult::CannotWrite) outcome.output = request.pdf;
    return Finish(outcome, request, pdf.error);
  }
  HandleFile file(pdf.file.get(), pdf.size);
  const PdfUpdate update = MakePdfUpdate(file, SpecOf(request), appearance);
  outcome.pageNumber = update.pageNumber;
  outcome.pageCount = update.pageCount;
  outcome.result = update.result;
  if (update.result != PdfStampResult::Stamped) return Finish(outcome, request, 0);

  if (!inPlace && !request.replaceOutput && FileExists(outcome.output)) {
    outcome.result = PdfStampResult::OutputExists;
    return Finish(outcome, request, 0);
  }
  const DWORD error = inPlace ? AppendRestoringOnFailure(pdf.file.get(), pdf.size, update.appended)
                              : WriteCopy(request.pdf, pdf.size, outcome.output, update.appended);
  if (error != ERROR_SUCCESS) outcome.result = PdfStampResult::CannotWrite;
  return Finish(outcome, request, error);
}

PdfPreviewFacts ReadPdfFacts(const std::wstring& path, const PdfPageChoice& choice) {
  PdfPreviewFacts facts;
  OpenedPdf pdf = OpenPdf(path, false);
  if (pdf.result != PdfStampResult::Stamped) {
    facts.result = pdf.result;
    return facts;
  }
  HandleFile file(pdf.file.get(), pdf.size);
  PdfDocument document(file);
  if (const PdfReadStatus s = document.Open(); s != PdfReadStatus::Ok) {
    facts.result = ResultOfRead(s);
    return facts;
  }
  facts.pageCount = document.PageCount();
  PdfPage page;
  const PdfReadStatus s = document.Page(PageIndex(choice, facts.pageCount), page);
  facts.result = ResultOfRead(s);
  if (s == PdfReadStatus::Ok) facts.shown = ShownPageSize(page);
  return facts;
}
