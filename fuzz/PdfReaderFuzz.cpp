// The PDF reader and the update it makes, on any bytes as a PDF file: every
// input is read, its first and last pages looked up and stamped; a stamped
// result must read again with one more revision.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "PdfDocument.h"
#include "PdfUpdate.h"

namespace {

PdfAppearance SmallSeal() {
  PdfAppearance a;
  a.width = 26;
  a.height = 26;
  a.content = "1 0 0 rg 13 13 m 26 13 l S";
  PdfImage image;
  image.name = "Im1";
  image.width = image.height = 1;
  image.rgb = {255, 0, 0};
  image.alpha = {128};
  a.images.push_back(image);
  a.text = "fuzz";
  return a;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MemoryFile file(bytes);
  PdfDocument document(file);
  if (document.Open() != PdfReadStatus::Ok) return 0;
  PdfPage page;
  document.Page(0, page);
  document.Page(document.PageCount() - 1, page);
  document.ChangePermission();
  document.HasSignatures();
  for (const bool flatten : {false, true}) {
    PdfStampSpec spec;
    spec.flatten = flatten;
    spec.position = {true, PdfCorner::BottomLeft, 1};
    spec.annotationName = "fuzz";
    spec.date = "D:20240301000000Z";
    const PdfUpdate update = MakePdfUpdate(file, spec, SmallSeal());
    if (update.result != PdfStampResult::Stamped) continue;
    const std::string stamped = std::string(bytes) + update.appended;
    MemoryFile again(stamped);
    PdfDocument reread(again);
    if (reread.Open() != PdfReadStatus::Ok || reread.PageCount() != document.PageCount()) __builtin_trap();
  }
  return 0;
}
