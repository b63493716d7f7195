// Both script interpreters over arbitrary script bytes, drawing on the
// recording canvas, and the bitmap one into a vector drawing written out as
// SVG and as a PDF form; the Date command is answered with a text from the
// input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Clock.h"
#include "FuzzInput.h"
#include "GraphicScript.h"
#include "PdfForm.h"
#include "RecordingCanvas.h"
#include "Records.h"
#include "ScriptReader.h"
#include "SvgWriter.h"
#include "VectorCanvas.h"

namespace {

// The input's first line answers the date question; the rest is the script.
void RunBoth(std::string_view answer, std::string_view scriptBytes, bool preview) {
  const FixedClock clock({2024, 2, 29}, 1700000000);
  SealForm form;
  form.clock = &clock;
  form.AskDate = [answer](std::string_view) { return std::string(answer); };
  ScriptReader script;
  script.LoadBytes(scriptBytes);

  ScriptPreviewMode = preview;
  MemoryWorkImage bitmapImage;
  RunGraphicScript(bitmapImage, script, form);
  MemoryWorkImage metafileImage;
  RunMetafileScript(metafileImage, script, form);
  // The same as a vector drawing, written as SVG and as a PDF form.
  FixedGlyphSource glyphs;
  VectorWorkImage vectorImage(glyphs, [](const PackedDib&) { return std::vector<std::uint8_t>(); });
  const int resolution = RunGraphicScript(vectorImage, script, form);
  SealSvg(vectorImage.Drawing(), resolution, "", [](const std::uint8_t*, int, int, int) {
    return std::vector<std::uint8_t>{0};
  });
  SealPdfAppearance(vectorImage.Drawing(), resolution);
  ScriptPreviewMode = false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const auto flags = input.Take<std::uint8_t>();
  OptionSettings.CheckDate = flags & 1;
  DateSealSettings.Main.Years = (flags >> 1) & 3;
  const std::string_view text = input.RestText();
  const std::size_t newline = text.find('\n');
  if (newline == std::string_view::npos) {
    RunBoth({}, text, flags & 8);
  } else {
    RunBoth(text.substr(0, newline), text.substr(newline + 1), flags & 8);
  }
  return 0;
}
