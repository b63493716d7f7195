// VrnCtl.dll's PDF export: asks the running Varnel to stamp a seal on a PDF
// and returns the outcome, which unlike the seven posted requests comes
// back: 0 stamped, else the reason (the numbers of vrnctl's exit codes).

#include <windows.h>

#include <string>
#include <vector>

#include "PdfControlClient.h"
#include "Text.h"

namespace {

int StampWords(const std::wstring& pdf, const std::wstring& options) {
  std::vector<std::wstring> words{pdf};
  const std::optional<std::string> utf8 = StrictUtf8FromWide(options);
  if (!utf8) return static_cast<int>(PdfStampResult::Usage);
  for (const std::string& word : SplitOptionWords(*utf8)) words.push_back(*StrictWideFromUtf8(word));
  PdfArgumentError error;
  return static_cast<int>(SendPdfStampWords(words, error));
}

}  // namespace

// pdf: the PDF's path; options: vrnctl's words after the file, in one
// string ("--seal date --page last --corner top-right --margin 10").
// Exported as _PdfStampW (UTF-16) and _PdfStamp (code page 932).
extern "C" int __cdecl PdfStampW(const wchar_t* pdf, const wchar_t* options) {
  try {
    if (pdf == nullptr || *pdf == L'\0') return static_cast<int>(PdfStampResult::Usage);
    return StampWords(pdf, options ? options : L"");
  } catch (...) {
    return static_cast<int>(PdfStampResult::BadRequest);
  }
}

extern "C" int __cdecl PdfStamp(const char* pdf, const char* options) {
  try {
    const std::optional<std::wstring> widePdf = WideFromCp932(pdf ? pdf : "");
    const std::optional<std::wstring> wideOptions = WideFromCp932(options ? options : "");
    if (!widePdf || !wideOptions) return static_cast<int>(PdfStampResult::Usage);
    return PdfStampW(widePdf->c_str(), wideOptions->c_str());
  } catch (...) {
    return static_cast<int>(PdfStampResult::BadRequest);
  }
}
