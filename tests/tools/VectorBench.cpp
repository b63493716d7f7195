// Times making each seal's vector drawing with the real fonts (glyph
// outlines from GDI) and writing it as an SVG file's text and as a PDF form,
// and prints the sizes of what is written: the form's content and pictures
// are what a seal adds to a PDF page.
// Usage: vector_bench.exe [runs]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "DateSeal.h"
#include "Dib.h"
#include "FileSystem.h"
#include "GdiGlyphSource.h"
#include "GdiWorkImage.h"
#include "ImageCodec.h"
#include "NameSeal.h"
#include "PdfForm.h"
#include "RegistryStore.h"
#include "SealVectors.h"
#include "Settings.h"
#include "SvgWriter.h"
#include "TextStamps.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Measure(const char* name, int runs, int resolution, const std::function<VectorDrawing()>& draw) {
  const PngEncoder png = [](const std::uint8_t* bgra, int width, int height, int ppm) {
    return EncodePngBytes(bgra, width, height, ppm);
  };
  std::vector<double> drawing, svg, pdf;
  std::size_t svgBytes = 0, contentBytes = 0, pictureBytes = 0;
  for (int i = 0; i <= runs; ++i) {  // the first run warms the fonts up
    LARGE_INTEGER start, drawn, written, formed;
    QueryPerformanceCounter(&start);
    const VectorDrawing d = draw();
    QueryPerformanceCounter(&drawn);
    svgBytes = SealSvg(d, resolution, "", png).value_or("").size();
    QueryPerformanceCounter(&written);
    const PdfAppearance form = SealPdfAppearance(d, resolution);
    QueryPerformanceCounter(&formed);
    contentBytes = form.content.size();
    pictureBytes = 0;
    for (const PdfImage& image : form.images) pictureBytes += image.rgb.size() + image.alpha.size();
    if (i == 0) continue;
    drawing.push_back(Milliseconds(start, drawn));
    svg.push_back(Milliseconds(drawn, written));
    pdf.push_back(Milliseconds(written, formed));
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::printf("%-13s drawing %6.2f ms  SVG %6.2f ms (%7zu bytes)  PDF form %6.2f ms (content %6zu bytes, "
              "pictures %7zu bytes uncompressed)\n",
              name, median(drawing), median(svg), svgBytes, median(pdf), contentBytes, pictureBytes);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = std::max(1, argc > 1 ? _wtoi(argv[1]) : 50);
  RegistryStore store;
  RunVersionCheck(store, nullptr);
  LoadAllSettings(store, FileExists);
  OptionSettings.CheckDate = 0;
  GdiGlyphSource glyphs;
  const VectorTools tools{glyphs, InkOnTransparent};
  SealForm form;
  FontSpec font;
  font.name = "ＭＳ Ｐゴシック";
  font.size = 40;
  font.color = kRed;
  // A 250 x 250 scan: red ink on white.
  GdiWorkImage scan;
  scan.SetSize(250, 250);
  Canvas& canvas = scan.BitmapCanvas();
  canvas.Pen = {kRed, 8, PenStyle::Solid, PenMode::Copy};
  canvas.Brush.style = BrushStyle::Clear;
  canvas.Ellipse({10, 10, 240, 240});
  const PackedDib picture = scan.BitmapAsDib24();

  std::printf("Vector drawings with the real fonts, median of %d runs:\n", runs);
  Measure("name seal", runs, 26000, [&] { return NameSealDrawing(form, tools); });
  Measure("date seal", runs, 15249, [&] {
    form.DateText.clear();
    return DateSealDrawing(form, false, tools);
  });
  Measure("bitmap seal", runs, 15294, [&] { return PictureDrawing(picture, tools); });
  Measure("square stamp", runs, GdiWorkImage::ReferencePixelsPerMetre(),
          [&] { return SquareStampDrawing("至急", font, tools); });
  return 0;
}
