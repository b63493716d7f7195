#include "PdfControlClient.h"

#include "FullPath.h"
#include "Text.h"

std::wstring StampedCopyName(const std::wstring& pdf) {
  const std::size_t slash = pdf.find_last_of(L"\\/");
  const std::size_t dot = pdf.find_last_of(L'.');
  const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  const std::wstring stem = hasExtension ? pdf.substr(0, dot) : pdf;
  return stem + L"_押印" + (hasExtension ? pdf.substr(dot) : L".pdf");
}

LRESULT PdfAnswer(PdfStampResult result) { return kPdfAnswerBase + static_cast<LRESULT>(result); }

PdfStampResult SendPdfRequest(const PdfControlRequest& request) {
  HWND varnelMain = FindWindowW(nullptr, L"VarnelMain");
  if (varnelMain == nullptr) return PdfStampResult::NotRunning;
  const std::string text = SerializePdfRequest(request);
  COPYDATASTRUCT data{};
  data.dwData = kPdfStampCopyData;
  data.cbData = static_cast<DWORD>(text.size());
  data.lpData = const_cast<char*>(text.data());
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(varnelMain, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                           kPdfAnswerTimeoutMs, &answer))
    return PdfStampResult::NoAnswer;
  const LRESULT code = static_cast<LRESULT>(answer) - kPdfAnswerBase;
  // A Varnel that knows no PDF requests answers 0.
  if (code < 0 || code > static_cast<LRESULT>(PdfStampResult::NotAllowed)) return PdfStampResult::NoAnswer;
  return static_cast<PdfStampResult>(code);
}

PdfStampResult SendPdfStampWords(const std::vector<std::wstring>& words, PdfArgumentError& error, bool fromVrnctl,
                                 PdfControlRequest* sent) {
  std::vector<std::string> utf8;
  for (const std::wstring& word : words) {
    const std::optional<std::string> converted = StrictUtf8FromWide(word);
    if (!converted) {
      error = {PdfArgumentError::Kind::BadValue, "?"};
      return PdfStampResult::Usage;
    }
    utf8.push_back(*converted);
  }
  PdfControlRequest request;
  error = ParsePdfArguments(utf8, request);
  if (error.kind != PdfArgumentError::Kind::None) return PdfStampResult::Usage;
  request.fromVrnctl = fromVrnctl;
  for (std::string* path : {&request.pdf, &request.output}) {
    if (path->empty()) continue;
    const std::optional<std::string> absolute = StrictUtf8FromWide(FullPath(*StrictWideFromUtf8(*path)));
    if (absolute) *path = *absolute;
  }
  if (sent) *sent = request;
  return SendPdfRequest(request);
}
