// The name seal drawn from an arbitrary record, copied byte for byte as a
// seal format file brings it, in both forms on the recording canvas and as
// a vector drawing written out as SVG and as a PDF form.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Clock.h"
#include "FuzzInput.h"
#include "NameSeal.h"
#include "RecordingCanvas.h"
#include "PdfForm.h"
#include "Records.h"
#include "SealVectors.h"
#include "SvgWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  // The reserved tails are never read; leaving them out keeps inputs short.
  NameSealSettings = {};
  input.TakeInto(&NameSealSettings.Main, offsetof(NameSealMain, reserved));
  input.TakeInto(&NameSealSettings.Ext, offsetof(NameSealExt, reserved));
  OptionSettings.Rotate = 0;

  const FixedClock clock({2024, 1, 1});
  SealForm form;
  form.clock = &clock;
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawNameSealBitmap(form);
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawNameSealMetafile(form);
  const int resolution = NameSealPixelsPerMetre();
  FixedGlyphSource glyphs;
  const VectorDrawing drawing = NameSealDrawing(form, {glyphs, {}});
  SealSvg(drawing, resolution, NameSealWords(NameSealSettings), {});
  SealPdfAppearance(drawing, resolution);
  return 0;
}
