// Stamping the same seal again copies its last picture; anything the
// picture depends on draws it anew.

#include <gtest/gtest.h>

#include "DateSeal.h"
#include "MemoryStore.h"
#include "NameSeal.h"
#include "RecordingCanvas.h"
#include "Settings.h"

namespace {

class SealPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadAllSettings(store, [](std::string_view) { return false; });
    form.clock = &clock;
  }
  // A fresh work image for each stamp, as the stamp pad makes one; returns
  // how many shapes and texts were drawn on its bitmap.
  std::size_t Stamp(void (*draw)(SealForm&)) {
    form.WorkImage = std::make_unique<MemoryWorkImage>();
    draw(form);
    return Image().bitmap.calls.size();
  }
  static void Name(SealForm& f) { DrawNameSealBitmap(f); }
  static void Date(SealForm& f) { DrawDateSealBitmap(f, false); }
  MemoryWorkImage& Image() { return static_cast<MemoryWorkImage&>(*form.WorkImage); }

  FixedClock clock{{2026, 12, 7}};
  SealForm form;
};

TEST_F(SealPictures, TheSameSealIsCopiedWithItsSize) {
  EXPECT_GT(Stamp(Name), 0u);
  const PackedDib first = Image().BitmapAsDib24();
  EXPECT_EQ(Stamp(Name), 0u) << "copied, not drawn";
  EXPECT_TRUE(Image().HasBitmap());
  EXPECT_EQ(Image().Width(), 242);
  EXPECT_EQ(Image().BitmapAsDib24(), first);
}

TEST_F(SealPictures, EverySettingAndTheDateDrawAnew) {
  Stamp(Name);
  NameSealSettings.Main.StampColor = 0xFF0000;
  EXPECT_GT(Stamp(Name), 0u) << "colour";
  NameSealSettings.Ext.UseNameEX = 1;
  EXPECT_GT(Stamp(Name), 0u) << "second text block";

  Stamp(Date);
  EXPECT_EQ(Stamp(Date), 0u);
  clock.Set({2026, 12, 8});
  EXPECT_GT(Stamp(Date), 0u) << "a new day is a new middle text";
  DateSealSettings.Main.TwinRing = 1;
  EXPECT_GT(Stamp(Date), 0u) << "another size";
}

TEST_F(SealPictures, NameAndDateSealsKeepTheirOwnPictures) {
  Stamp(Name);
  Stamp(Date);
  EXPECT_EQ(Stamp(Name), 0u);
  EXPECT_EQ(Stamp(Date), 0u);
}

TEST_F(SealPictures, ClearedPicturesAreDrawnAnew) {
  Stamp(Name);
  Stamp(Date);
  form.Pictures.Clear();
  EXPECT_GT(Stamp(Name), 0u);
  EXPECT_GT(Stamp(Date), 0u);
}

TEST_F(SealPictures, LargePicturesAreNotKept) {
  NameSealSettings.Main.StampSize = 600;  // 1208 x 1208 pixels
  EXPECT_GT(Stamp(Name), 0u);
  EXPECT_GT(Stamp(Name), 0u);
}

}  // namespace
