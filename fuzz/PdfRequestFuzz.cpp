// The PDF stamp request another program sends: any bytes as the request's
// text and as an option string. A request that reads must survive being
// written and read again unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "PdfRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto request = ParsePdfRequest(text)) {
    const std::string written = SerializePdfRequest(*request);
    const auto again = ParsePdfRequest(written);
    if (!again || SerializePdfRequest(*again) != written) __builtin_trap();
  }
  PdfControlRequest fromWords;
  if (ParsePdfArguments(SplitOptionWords(text), fromWords).kind == PdfArgumentError::Kind::None &&
      !ParsePdfRequest(SerializePdfRequest(fromWords)))
    __builtin_trap();
  return 0;
}
