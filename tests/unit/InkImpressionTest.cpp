// The hand-pressed ink, measured as pixel statistics of a plain seal: how
// much ink stays, whether every stroke holds, how the edge wanders, the
// colour, the seeds and the tilt.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "Clock.h"
#include "InkImpression.h"
#include "RecordingCanvas.h"
#include "SampleSeal.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kFullInk = 255;
// How far an edge may wander at the sample's resolution, in pixels.
constexpr int kWobble = 2;
// A break in a stroke that a reader reads across: 0.15 mm.
constexpr int kLongestGap = 4;
const char* const kStrengthNames[] = {"off", "light", "medium", "strong"};

// How far a pixel is from white; 0 outside the picture.
int InkAt(const DibView& view, int x, int y) {
  if (x < 0 || y < 0 || x >= view.Width() || y >= view.Height()) return 0;
  const std::uint8_t* p = view.Row(y) + 3 * x;
  return 255 - std::min({p[0], p[1], p[2]});
}

bool Inked(const DibView& view, int x, int y) { return InkAt(view, x, y) * 2 >= kFullInk; }
// Pale, but there for a reader.
bool Visible(const DibView& view, int x, int y) { return InkAt(view, x, y) * 4 >= kFullInk; }

// An impression of the sample seal, and where the sample's pixel (0, 0)
// lies in it (the picture grows by the same margin on every side).
struct Impression {
  PackedDib dib;
  int margin = 0;
  DibView View() const { return DibView(dib); }
  bool InkedAtSample(int x, int y) const { return Inked(View(), x + margin, y + margin); }
  bool VisibleAtSample(int x, int y) const { return Visible(View(), x + margin, y + margin); }
};

Impression Press(const SampleSeal& seal, int strength, std::uint32_t seed) {
  Impression impression;
  impression.dib = PressInk(seal.dib, SampleSeal::kPixelsPerMetre, {strength, false, seed});
  impression.margin = (impression.View().Width() - SampleSeal::kSide) / 2;
  return impression;
}

int InkedPixels(const DibView& view) {
  int n = 0;
  for (int y = 0; y < view.Height(); ++y)
    for (int x = 0; x < view.Width(); ++x) n += Inked(view, x, y);
  return n;
}

// The distance from the centre to the ring's outer edge at each degree
// where the ring is there.
std::vector<double> OuterRadii(const DibView& view, double centre) {
  std::vector<double> radii;
  for (int degree = 0; degree < 360; ++degree) {
    const double a = degree * kPi / 180;
    for (double r = SampleSeal::kOuterRadius + 8; r > SampleSeal::kOuterRadius - 12; r -= 0.25) {
      if (Visible(view, static_cast<int>(std::lround(centre + r * std::cos(a))),
                  static_cast<int>(std::lround(centre + r * std::sin(a))))) {
        radii.push_back(r);
        break;
      }
    }
  }
  return radii;
}

double Mean(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / v.size(); }

double Deviation(const std::vector<double>& v) {
  const double mean = Mean(v);
  double sum = 0;
  for (double x : v) sum += (x - mean) * (x - mean);
  return std::sqrt(sum / v.size());
}

TEST(InkImpression, OffLeavesTheSealByteForByteAsDrawn) {
  const SampleSeal seal = MakeSampleSeal();
  for (std::uint32_t seed : {0u, 1u, 4242u}) EXPECT_EQ(PressInk(seal.dib, 26000, {kInkOff, false, seed}), seal.dib);
  MemoryWorkImage image;
  image.dib = seal.dib;
  ApplyInkEffect(image, 26000, {kInkOff, false, 99});
  EXPECT_EQ(image.dib, seal.dib);
  EXPECT_FALSE(image.HasBitmap()) << "the picture is not replaced";
  ApplyInkEffect(image, 26000, {2, false, 99});
  EXPECT_NE(image.BitmapAsDib24(), seal.dib) << "on, the work image holds the impression";
}

TEST(InkImpression, EachStrengthKeepsItsShareOfTheInkAndEveryStrokeHolds) {
  const SampleSeal seal = MakeSampleSeal();
  const int clean = InkedPixels(DibView(seal.dib));
  struct Case {
    int strength;
    double fewest, most;  // of the clean seal's ink pixels
  };
  for (const Case& c : {Case{1, 0.90, 0.995}, Case{2, 0.75, 0.95}, Case{3, 0.60, 0.90}})
    for (std::uint32_t seed : {1u, 77u, 2026u, 0xDEADBEEFu}) {
      SCOPED_TRACE(testing::Message() << kStrengthNames[c.strength] << ", seed " << seed);
      const Impression pressed = Press(seal, c.strength, seed);
      const double kept = static_cast<double>(InkedPixels(pressed.View())) / clean;
      EXPECT_GE(kept, c.fewest);
      EXPECT_LE(kept, c.most);
      // A reader follows a stroke along its length: no gap longer than
      // kLongestGap goes right across it (its ends and sides wander by the
      // edge's wobble, so the search reaches that far), and most of it
      // stays visible.
      for (const SampleStroke& s : seal.strokes) {
        int gap = 0, longestGap = 0;
        const int length = s.Across() ? s.right - s.left : s.bottom - s.top;
        const int width = s.Across() ? s.bottom - s.top : s.right - s.left;
        for (int i = kWobble; i < length - kWobble; ++i) {
          bool crossed = false;
          for (int j = -kWobble; j < width + kWobble && !crossed; ++j)
            crossed = s.Across() ? pressed.VisibleAtSample(s.left + i, s.top + j)
                                 : pressed.VisibleAtSample(s.left + j, s.top + i);
          gap = crossed ? 0 : gap + 1;
          longestGap = std::max(longestGap, gap);
        }
        int visible = 0;
        for (int y = s.top - kWobble; y < s.bottom + kWobble; ++y)
          for (int x = s.left - kWobble; x < s.right + kWobble; ++x) visible += pressed.VisibleAtSample(x, y);
        EXPECT_LE(longestGap, kLongestGap) << "stroke at " << s.left << "," << s.top;
        EXPECT_GE(visible * 10, (s.right - s.left) * (s.bottom - s.top) * 6) << "stroke at " << s.left << "," << s.top;
      }
    }
}

TEST(InkImpression, TheEdgeWandersButTheRingKeepsItsSize) {
  const SampleSeal seal = MakeSampleSeal();
  const std::vector<double> clean = OuterRadii(DibView(seal.dib), SampleSeal::kCentre);
  ASSERT_EQ(clean.size(), 360u);
  EXPECT_LT(Deviation(clean), 0.35) << "the drawn ring is a clean circle";
  struct Case {
    int strength;
    double deviation;  // of the radius, in pixels, at least
  };
  for (const Case& c : {Case{1, 0.4}, Case{2, 0.6}, Case{3, 0.8}})
    for (std::uint32_t seed : {5u, 31337u}) {
      SCOPED_TRACE(testing::Message() << kStrengthNames[c.strength] << ", seed " << seed);
      const Impression pressed = Press(seal, c.strength, seed);
      const std::vector<double> radii = OuterRadii(pressed.View(), SampleSeal::kCentre + pressed.margin);
      EXPECT_GE(radii.size(), 324u) << "the ring is there nearly all round";
      EXPECT_GT(Deviation(radii), c.deviation);
      EXPECT_NEAR(Mean(radii), Mean(clean), 1.0) << "the seal's size";
    }
}

TEST(InkImpression, TheInkKeepsTheSealsColourOnlyPaler) {
  for (std::uint32_t colour : {0xFF0000u, 0x0000FFu, 0x000000u, 0xC8161Du}) {
    SCOPED_TRACE(testing::Message() << std::hex << colour);
    const SampleSeal seal = MakeSampleSeal(colour);
    const Impression pressed = Press(seal, 3, 5);
    const DibView view = pressed.View();
    const int ink[3] = {255 - static_cast<int>(colour & 0xFF), 255 - static_cast<int>(colour >> 8 & 0xFF),
                        255 - static_cast<int>(colour >> 16)};
    const int strongest = std::max({ink[0], ink[1], ink[2]});
    int pale = 0, inked = 0;
    for (int y = 0; y < view.Height(); ++y)
      for (int x = 0; x < view.Width(); ++x) {
        const std::uint8_t* p = view.Row(y) + 3 * x;
        const int amount = InkAt(view, x, y);
        if (amount == 0) continue;
        ++inked;
        pale += amount * 4 < strongest * 3;
        // Every channel is the seal's ink scaled by the same share, to rounding.
        for (int c = 0; c < 3; ++c) ASSERT_NEAR((255 - p[c]) * strongest, ink[c] * amount, 2 * strongest);
      }
    EXPECT_GT(pale * 10, inked) << "thin ink, where the text beneath shows through";
  }
}

TEST(InkImpression, EveryStampIsNewUnlessTheSeedIsFixed) {
  const SampleSeal seal = MakeSampleSeal();
  FixedClock clock({2026, 12, 8}, 1'800'000'000);
  InkSeedSource seeds;
  OptionRecord options{};
  options.InkEffect = 2;
  const InkImpression first = StampImpression(options, seeds, clock);
  const InkImpression second = StampImpression(options, seeds, clock);
  EXPECT_NE(first.seed, second.seed) << "within the same second";
  const Impression one = Press(seal, 2, first.seed), two = Press(seal, 2, second.seed);
  const DibView a = one.View(), b = two.View();
  int differing = 0, inked = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      inked += Inked(a, x, y) || Inked(b, x, y);
      differing += std::abs(InkAt(a, x, y) - InkAt(b, x, y)) > 32;
    }
  EXPECT_GT(differing * 10, inked) << "two stamps in a row differ";

  options.InkSeed = -12345;
  const InkImpression fixed = StampImpression(options, seeds, clock);
  EXPECT_EQ(fixed.seed, static_cast<std::uint32_t>(-12345));
  EXPECT_EQ(StampImpression(options, seeds, clock).seed, fixed.seed);
  EXPECT_EQ(PressInk(seal.dib, 26000, fixed), PressInk(seal.dib, 26000, fixed)) << "the same impression exactly";

  options.InkEffect = 0;
  EXPECT_FALSE(StampImpression(options, seeds, clock).Any());
  options.InkEffect = 9;  // unknown strengths are off
  EXPECT_FALSE(StampImpression(options, seeds, clock).Any());
  options.InkTilt = 1;
  EXPECT_TRUE(StampImpression(options, seeds, clock).tilt);
}

// The centre of the ink (weighted by its amount) relative to the picture's
// centre, and the middle of the ink across one row near the centre.
struct InkBalance {
  double x = 0, y = 0;
};

InkBalance BalanceOf(const DibView& view) {
  double sumX = 0, sumY = 0, total = 0;
  for (int y = 0; y < view.Height(); ++y)
    for (int x = 0; x < view.Width(); ++x) {
      const int ink = InkAt(view, x, y);
      sumX += ink * x, sumY += ink * y, total += ink;
    }
  return {sumX / total - (view.Width() - 1) / 2.0, sumY / total - (view.Height() - 1) / 2.0};
}

double MiddleOfRow(const DibView& view, int row, double around) {
  double sum = 0, total = 0;
  for (int x = 0; x < view.Width(); ++x)
    if (std::abs(x - around) < 30) sum += InkAt(view, x, row) * x, total += InkAt(view, x, row);
  return sum / total;
}

// The tilt alone moves the ink as a whole: the seal's centre of ink shifts
// by the offset and its long upright bar turns by the angle.
TEST(InkImpression, TheTiltTurnsWithinTwoDegreesAndShiftsWithinAThirdOfAMillimetre) {
  const SampleSeal seal = MakeSampleSeal();
  const DibView cleanView(seal.dib);
  const int clean = InkedPixels(cleanView);
  const InkBalance cleanBalance = BalanceOf(cleanView);
  const double pixelsPerMicrometre = SampleSeal::kPixelsPerMetre / 1e6;
  int leftward = 0, rightward = 0;
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    const InkImpression impression{kInkOff, true, seed};
    const InkTiltOffset tilt = TiltOf(impression);
    EXPECT_LE(std::abs(tilt.hundredthsOfDegree), 200);
    EXPECT_LE(std::abs(tilt.offsetX), 300);
    EXPECT_LE(std::abs(tilt.offsetY), 300);
    (tilt.hundredthsOfDegree < 0 ? leftward : rightward)++;

    const PackedDib dib = PressInk(seal.dib, SampleSeal::kPixelsPerMetre, impression);
    const DibView view(dib);
    EXPECT_NEAR(InkedPixels(view), clean, clean * 0.02) << "nothing cut off";
    const InkBalance balance = BalanceOf(view);
    EXPECT_NEAR(balance.x - cleanBalance.x, tilt.offsetX * pixelsPerMicrometre, 0.3);
    EXPECT_NEAR(balance.y - cleanBalance.y, tilt.offsetY * pixelsPerMicrometre, 0.3);
    const double centre = (view.Width() - 1) / 2.0;
    const int margin = (view.Width() - SampleSeal::kSide) / 2;
    const int top = 40 + margin, bottom = 205 + margin;
    const double turned =
        std::atan2(MiddleOfRow(view, bottom, centre) - MiddleOfRow(view, top, centre), bottom - top) * 180 / kPi;
    EXPECT_NEAR(turned, -tilt.hundredthsOfDegree / 100.0, 0.05);
  }
  EXPECT_GT(leftward, 0);
  EXPECT_GT(rightward, 0);
}

TEST(InkImpression, PicturesItCannotPressAreLeftAlone) {
  const SampleSeal seal = MakeSampleSeal();
  const InkImpression medium{2, true, 8};
  EXPECT_TRUE(PressInk({}, 26000, medium).empty());
  EXPECT_TRUE(PressInk(PackedDib(seal.dib.begin(), seal.dib.begin() + 60), 26000, medium).empty());
  EXPECT_TRUE(PressInk(seal.dib, 0, medium).empty());
  EXPECT_TRUE(PressInk(CreateBlankDib(2100, 2000, 3), 26000, medium).empty()) << "beyond the size limit";
  for (int ppm : {1, 2'600'000}) {
    const PackedDib pressed = PressInk(seal.dib, ppm, medium);
    EXPECT_TRUE(pressed.empty() || DibView(pressed).Valid()) << ppm;
  }
  const PackedDib dot = PressInk(CreateBlankDib(1, 1, 3), 26000, medium);
  EXPECT_TRUE(DibView(dot).Valid()) << "a one-pixel picture";
  MemoryWorkImage image;
  image.dib = PackedDib(seal.dib.begin(), seal.dib.begin() + 60);
  ApplyInkEffect(image, 26000, medium);
  EXPECT_FALSE(image.HasBitmap()) << "a picture it cannot press stays as drawn";
}

}  // namespace
