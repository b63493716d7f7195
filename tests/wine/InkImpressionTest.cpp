// The hand-pressed ink on the seals as GDI draws them with the real fonts, and
// on the clipboard of a stamp:
// the characters' ink stays, and the transparent PNG made of the impression
// lets the text beneath show through where the ink is thin.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "DateSeal.h"
#include "Dib.h"
#include "FileSystem.h"
#include "GdiWorkImage.h"
#include "InkImpression.h"
#include "MemoryStore.h"
#include "Mainform.h"
#include "NameSeal.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "harness/Clipboard.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

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

namespace {

struct Stamped {
  std::vector<std::uint8_t> dib, png;
  LONG frameWidth = 0;
};

// The name seal stamped from the stamp pad with the ink the options ask for.
Stamped StampNameSeal(TForm1& pad, int strength, int seed) {
  OptionSettings.InkEffect = strength;
  OptionSettings.InkSeed = seed;
  pad.SpeedButton1Click();
  Stamped stamped;
  stamped.dib = harness::ClipboardBytes(CF_DIB).value_or(std::vector<std::uint8_t>());
  stamped.png = harness::ClipboardBytes(PngClipboardFormat()).value_or(std::vector<std::uint8_t>());
  if (const auto header = harness::ClipboardEnhMetaHeader())
    stamped.frameWidth = header->rclFrame.right - header->rclFrame.left;
  return stamped;
}

}  // namespace

// Every format of a stamp carries the same impression: the DIB in full
// colour (16 would lose the pale ink), the PNG made of it, the picture
// metafile at the printed size; a fixed seed repeats it, and without one
// each stamp is new. Off, the seal is the one of before.
TEST(StampedInk, EveryFormatCarriesTheImpressionAndAFixedSeedRepeatsIt) {
  harness::WriteQuietSettings();
  RegistryStore store;
  LoadAllSettings(store, FileExists);
  OptionSettings.ShowMessage = 0;
  OptionSettings.ClipboardFormat = 2;
  OptionSettings.GenMetafile = 0;
  OptionSettings.ClipboardPng = 1;
  std::uint8_t ready = 1;
  TForm1 pad{store, ready};
  ASSERT_TRUE(pad.Create());

  const Stamped clean = StampNameSeal(pad, kInkOff, 0);
  const Stamped fixed = StampNameSeal(pad, 2, 77);
  ASSERT_GE(fixed.dib.size(), sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(fixed.dib.data())->biBitCount, 24);
  EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(clean.dib.data())->biBitCount, 4) << "off: as before";
  EXPECT_NE(fixed.png, clean.png);
  EXPECT_GE(fixed.frameWidth, clean.frameWidth) << "the pressed picture keeps the seal's printed size";
  EXPECT_LE(fixed.frameWidth, clean.frameWidth * 11 / 10) << "and its margin is small";
  EXPECT_EQ(StampNameSeal(pad, 2, 77).dib, fixed.dib) << "a fixed seed repeats the impression";
  EXPECT_NE(StampNameSeal(pad, 2, 0).dib, StampNameSeal(pad, 2, 0).dib) << "each stamp is a new impression";
  OptionSettings.InkEffect = kInkOff;
  OptionSettings.InkSeed = 0;
  OptionSettings.ClipboardPng = 0;
  harness::DeleteTree(L"Software\\Qdx");
}
