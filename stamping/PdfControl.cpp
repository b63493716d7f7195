#include "PdfControl.h"

#include <exception>

#include "Text.h"

bool IsPdfRequest(const COPYDATASTRUCT& data) { return data.dwData == kPdfStampCopyData; }

std::optional<PdfStampRequest> StampRequestOf(const PdfControlRequest& r) {
  const std::optional<std::wstring> pdf = StrictWideFromUtf8(r.pdf);
  const std::optional<std::wstring> output = StrictWideFromUtf8(r.output);
  if (!pdf || !output) return std::nullopt;
  PdfStampRequest request;
  request.pdf = *pdf;
  request.output = *output;
  request.mode = r.inPlace ? PdfWriteMode::InPlace : PdfWriteMode::Copy;
  request.replaceOutput = r.replace;
  request.seal = r.seal;
  request.page = r.page;
  request.position = r.position;
  request.flatten = r.flatten;
  return request;
}

LRESULT ServePdfRequest(const COPYDATASTRUCT& data, const PdfStamper& stamp) {
  if (!IsPdfRequest(data)) return 0;
  try {
    if (data.cbData > 0 && data.lpData == nullptr) return PdfAnswer(PdfStampResult::BadRequest);
    const std::string_view text(static_cast<const char*>(data.lpData), data.cbData);
    const std::optional<PdfControlRequest> parsed = ParsePdfRequest(text);
    const std::optional<PdfStampRequest> request = parsed ? StampRequestOf(*parsed) : std::nullopt;
    if (!request) return PdfAnswer(PdfStampResult::BadRequest);
    return PdfAnswer(stamp(*request, parsed->fromVrnctl));
  } catch (...) {
    // No exception may leave the window procedure.
    return PdfAnswer(PdfStampResult::Unsupported);
  }
}
