// The hand-pressed ink on the seals as GDI draws them with the real fonts:
// the characters' ink stays, and the transparent PNG made of the impression
// lets the text beneath show through where the ink is thin.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "DateSeal.h"
#include "Dib.h"
#include "GdiWorkImage.h"
#include "InkImpression.h"
#include "MemoryStore.h"
#include "NameSeal.h"
#include "Settings.h"

namespace {

// Pixels at least half as far from white as full ink.
int InkedPixels(const PackedDib& dib) {
  const DibView view(dib);
  int n = 0;
  for (int y = 0; y < view.Height(); ++y)
    for (int x = 0; x < view.Width(); ++x) {
      const std::uint8_t* p = view.Row(y) + 3 * x;
      n += std::min({p[0], p[1], p[2]}) <= 127;
    }
  return n;
}

// Of the PNG's inked pixels, the share that lets at least a quarter of
// what lies beneath through.
double SeeThroughShare(const std::vector<std::uint8_t>& bgra) {
  int inked = 0, seeThrough = 0;
  for (std::size_t i = 3; i < bgra.size(); i += 4) {
    if (bgra[i] == 0) continue;
    ++inked;
    seeThrough += bgra[i] <= 191;
  }
  return inked ? static_cast<double>(seeThrough) / inked : 0;
}

struct Seal {
  const char* name;
  void (*draw)(SealForm&);
  int pixelsPerMetre;
};

TEST(RealSealInk, MediumKeepsTheCharactersAndThePngShowsTheTextThrough) {
  MemoryStore store;
  LoadAllSettings(store, [](std::string_view) { return false; });
  for (const Seal& seal : {Seal{"name", DrawNameSealBitmap, NameSealPixelsPerMetre()},
                           Seal{"date", [](SealForm& f) { DrawDateSealBitmap(f, false); }, kDateSealPixelsPerMetre}}) {
    SCOPED_TRACE(seal.name);
    SealForm form;
    form.WorkImage = std::make_unique<GdiWorkImage>();
    seal.draw(form);
    auto& image = static_cast<GdiWorkImage&>(*form.WorkImage);
    const PackedDib clean = image.BitmapAsDib24();
    ApplyInkEffect(image, seal.pixelsPerMetre, {2, false, 2026});
    const PackedDib pressed = image.BitmapAsDib24();
    EXPECT_GT(image.BitmapWidth(), DibView(clean).Width()) << "room for the spread edge";
    const double kept = static_cast<double>(InkedPixels(pressed)) / InkedPixels(clean);
    EXPECT_GE(kept, 0.75);
    EXPECT_LE(kept, 0.95);
    // The drawn seal lets the text through only at its smoothed edges.
    const double drawn = SeeThroughShare(InkOnTransparent(clean));
    EXPECT_GT(SeeThroughShare(InkOnTransparent(pressed)), drawn + 0.25) << "thin ink lets it through";
  }
}

}  // namespace
