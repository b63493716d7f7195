// The background patterns as the program carries them: size, depth, colours
// and paleness.

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "Dib.h"
#include "Patterns.h"

namespace {

struct PatternStats {
  int colours = 0;      // distinct colours the pixels use
  int palest = 255;     // the lowest channel value of any pixel
  double nearWhite = 0;  // share of pixels with every channel at 240 or more
};

PatternStats Measure(const DibView& view) {
  PatternStats stats;
  std::set<std::uint32_t> colours;
  int nearWhite = 0;
  const auto table = view.ColorTable();
  for (int y = 0; y < view.Height(); ++y) {
    const std::uint8_t* row = view.Row(y);
    for (int x = 0; x < view.Width(); ++x) {
      const std::size_t entry = std::size_t{row[x]} * 4;
      const std::uint8_t b = table[entry], g = table[entry + 1], r = table[entry + 2];
      colours.insert(std::uint32_t{r} << 16 | g << 8 | b);
      stats.palest = std::min({stats.palest, int{r}, int{g}, int{b}});
      nearWhite += r >= 240 && g >= 240 && b >= 240;
    }
  }
  stats.colours = static_cast<int>(colours.size());
  stats.nearWhite = double(nearWhite) / double(view.PixelCount());
  return stats;
}

TEST(BackgroundPatterns, ThreePale150By150PicturesOf256Entries) {
  const int expectedColours[] = {9, 17, 19};
  for (int backImage = 1; backImage <= 3; ++backImage) {
    SCOPED_TRACE(backImage);
    const PackedDib dib = BackgroundPattern(backImage);
    const DibView view(dib);
    ASSERT_TRUE(view.Valid());
    EXPECT_EQ(view.Width(), 150);
    EXPECT_EQ(view.Height(), 150);
    EXPECT_EQ(view.BitCount(), 8);
    EXPECT_EQ(view.Header().compression, 0u);
    ASSERT_EQ(view.PaletteBytes(), 256u * 4);
    const PatternStats stats = Measure(view);
    EXPECT_EQ(stats.colours, expectedColours[backImage - 1]);
    // Under AND a red seal keeps at least this much of its red.
    EXPECT_GE(stats.palest, 200);
    EXPECT_GE(stats.nearWhite, 0.6);
  }
}

TEST(BackgroundPatterns, NoPatternForOtherValues) {
  EXPECT_TRUE(BackgroundPattern(0).empty());
  EXPECT_TRUE(BackgroundPattern(4).empty());
  EXPECT_TRUE(BackgroundPattern(-1).empty());
}

}  // namespace
