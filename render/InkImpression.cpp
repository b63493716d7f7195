#include "InkImpression.h"

#include <algorithm>
#include <array>
#include <new>
#include <optional>
#include <vector>

#include "Clock.h"
#include "Dib.h"
#include "ValueNoise.h"

namespace {

constexpr int kOne = NoiseField::kOne;  // 1.0 in the Q12 fractions below

// How one strength presses: sizes in micrometres on the paper, amounts as
// Q12 fractions.
struct InkLook {
  int pressureCell;   // the size of the lighter and darker patches
  int pressureDepth;  // how much paler the lightest pressure leaves the ink
  int gradientShare;  // the part of the pressure that falls off across the seal
  int grainCell;      // paper fibres
  int grainDepth;     // how much the grain mottles solid ink
  int voidBase;       // grain below this leaves paper bare ...
  int voidSlope;      // ... and more so where the pressure is light
  int voidSoftness;
  int warpCell;       // the wobble of every edge
  int warpAmplitude;
  int wearCell;       // the worn edge: thin ink at the edges gives out
  int wearDepth;
  int bleedRadius;    // ink spread into the paper around the strokes
  int bleedAmount;
};

constexpr InkLook kLooks[] = {
    {2400, 1600, 1000, 70, 250, 450, 900, 300, 320, 28, 220, 1000, 40, 900},    // light
    {2200, 2400, 1200, 70, 400, 700, 1600, 300, 300, 42, 200, 1600, 45, 1200},  // medium
    {2000, 2700, 1400, 80, 600, 950, 2100, 350, 280, 60, 180, 1900, 55, 1500},  // strong
};

// The lightness below which the face is pressed fully.
constexpr int kFullPressure = 1600;

// The turn's limits: ±2 degrees, ±0.3 mm.
constexpr int kMaxTilt = 200;     // hundredths of a degree
constexpr int kMaxOffset = 300;   // micrometres
constexpr std::uint32_t kTiltStream = 0x7117u;

std::int64_t PixelsQ8(std::int64_t micrometres, int pixelsPerMetre) {
  return micrometres * pixelsPerMetre * 256 / 1'000'000;
}

int WholePixelsAbove(std::int64_t q8) { return static_cast<int>((q8 + 255) / 256); }

// Ink per channel (255 minus the channel, blue, green, red), rows top-down,
// three bytes a pixel.
struct Plane {
  int width = 0, height = 0;
  std::vector<std::uint8_t> ink;

  Plane(int w, int h) : width(w), height(h), ink(static_cast<std::size_t>(w) * h * 3, 0) {}
  std::uint8_t* At(int x, int y) { return &ink[(static_cast<std::size_t>(y) * width + x) * 3]; }
  const std::uint8_t* At(int x, int y) const { return &ink[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

Plane InkOf(const DibView& source) {
  Plane plane(source.Width(), source.Height());
  for (int y = 0; y < plane.height; ++y) {
    const std::uint8_t* in = source.Row(y);
    std::uint8_t* out = plane.At(0, y);
    for (int i = 0; i < plane.width * 3; ++i) out[i] = static_cast<std::uint8_t>(255 - in[i]);
  }
  return plane;
}

int StrongestInk(const Plane& plane) {
  int strongest = 0;
  for (std::uint8_t v : plane.ink) strongest = std::max<int>(strongest, v);
  return strongest;
}

// 1 where some ink lies within radius pixels (a square), so that the
// pixels far from any ink are skipped.
std::vector<std::uint8_t> NearInk(const Plane& plane, int radius) {
  const int w = plane.width, h = plane.height;
  auto inked = [&](int x, int y) {
    const std::uint8_t* p = plane.At(x, y);
    return (p[0] | p[1] | p[2]) != 0;
  };
  std::vector<std::uint8_t> across(static_cast<std::size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    int count = 0;  // inked pixels in the window x - radius .. x + radius
    for (int x = 0; x < std::min(w, radius); ++x) count += inked(x, y);
    for (int x = 0; x < w; ++x) {
      if (x + radius < w) count += inked(x + radius, y);
      across[static_cast<std::size_t>(y) * w + x] = count > 0;
      if (x - radius >= 0) count -= inked(x - radius, y);
    }
  }
  std::vector<std::uint8_t> near(across.size(), 0);
  for (int x = 0; x < w; ++x) {
    int count = 0;
    for (int y = 0; y < std::min(h, radius); ++y) count += across[static_cast<std::size_t>(y) * w + x];
    for (int y = 0; y < h; ++y) {
      if (y + radius < h) count += across[static_cast<std::size_t>(y + radius) * w + x];
      near[static_cast<std::size_t>(y) * w + x] = count > 0;
      if (y - radius >= 0) count -= across[static_cast<std::size_t>(y - radius) * w + x];
    }
  }
  return near;
}

// A box blur of the given radius, across and then down, each pass rounded
// to whole ink values.
Plane Blurred(const Plane& in, int radius) {
  const int w = in.width, h = in.height, n = 2 * radius + 1;
  auto pass = [&](const Plane& from, Plane& to, int length, int lines, auto at) {
    for (int line = 0; line < lines; ++line)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int i = 0; i < std::min(length, radius); ++i) sum += at(from, i, line)[c];
        for (int i = 0; i < length; ++i) {
          if (i + radius < length) sum += at(from, i + radius, line)[c];
          at(to, i, line)[c] = static_cast<std::uint8_t>((sum + n / 2) / n);
          if (i - radius >= 0) sum -= at(from, i - radius, line)[c];
        }
      }
  };
  Plane across(w, h), out(w, h);
  pass(in, across, w, h, [](auto& plane, int i, int line) { return plane.At(i, line); });
  pass(across, out, h, w, [](auto& plane, int i, int line) { return plane.At(line, i); });
  return out;
}

// Bilinear in 1/256 pixel, no ink outside the plane.
void SampleInk(const Plane& plane, std::int64_t uQ8, std::int64_t vQ8, int (&ink)[3]) {
  const std::int64_t x0 = uQ8 >> 8, y0 = vQ8 >> 8;
  const int fx = static_cast<int>(uQ8 & 255), fy = static_cast<int>(vQ8 & 255);
  int corner[4][3] = {};
  for (int k = 0; k < 4; ++k) {
    const std::int64_t x = x0 + (k & 1), y = y0 + (k >> 1);
    if (x < 0 || y < 0 || x >= plane.width || y >= plane.height) continue;
    const std::uint8_t* p = plane.At(static_cast<int>(x), static_cast<int>(y));
    for (int c = 0; c < 3; ++c) corner[k][c] = p[c];
  }
  for (int c = 0; c < 3; ++c) {
    const int top = corner[0][c] * (256 - fx) + corner[1][c] * fx;
    const int bottom = corner[2][c] * (256 - fx) + corner[3][c] * fx;
    ink[c] = (top * (256 - fy) + bottom * fy + 32768) >> 16;
  }
}

// sin and cos of a small angle in Q30 by their series, exact enough for
// ±2 degrees and the same in every build.
struct Turn {
  std::int64_t cosine = std::int64_t{1} << 30, sine = 0;
  std::int64_t offsetXQ8 = 0, offsetYQ8 = 0;
};

Turn TurnFor(const InkTiltOffset& tilt, int pixelsPerMetre) {
  constexpr std::int64_t kRadiansPerHundredthQ30 = 187'403;  // pi / 18000 * 2^30
  const std::int64_t r = tilt.hundredthsOfDegree * kRadiansPerHundredthQ30;
  const std::int64_t r2 = (r * r) >> 30, r3 = (r2 * r) >> 30, r4 = (r2 * r2) >> 30, r5 = (r4 * r) >> 30;
  Turn turn;
  turn.sine = r - r3 / 6 + r5 / 120;
  turn.cosine = (std::int64_t{1} << 30) - r2 / 2 + r4 / 24;
  turn.offsetXQ8 = PixelsQ8(tilt.offsetX, pixelsPerMetre);
  turn.offsetYQ8 = PixelsQ8(tilt.offsetY, pixelsPerMetre);
  return turn;
}

// Unit vectors of eight directions in Q12: the way the pressure falls off.
constexpr std::array<std::array<int, 2>, 8> kDirections = {{
    {4096, 0}, {2896, 2896}, {0, 4096}, {-2896, 2896}, {-4096, 0}, {-2896, -2896}, {0, -4096}, {2896, -2896}}};

// The noise fields of one impression, over the output picture.
struct Fields {
  NoiseField warpX, warpY, pressure, pressureFine, grain, grainCoarse, wear, bleed;
  std::array<int, 2> direction;
  int width, height;

  // 0 on the harder-pressed side of the seal to 4096 on the lighter.
  int Gradient(int x, int y) const {
    const std::int64_t half = std::max(1, std::max(width, height) / 2);
    const std::int64_t along =
        (std::int64_t{x} - width / 2) * direction[0] + (std::int64_t{y} - height / 2) * direction[1];
    return static_cast<int>(std::clamp<std::int64_t>(kOne / 2 + along / (2 * half), 0, kOne));
  }
};

Fields FieldsFor(int width, int height, const InkLook& look, int ppm, std::uint32_t seed) {
  std::uint32_t state = seed;
  auto field = [&](int micrometres) { return NoiseField(width, height, PixelsQ8(micrometres, ppm), NextRandom(state)); };
  return Fields{field(look.warpCell),
                field(look.warpCell),
                field(look.pressureCell),
                field(look.pressureCell * 2 / 5),
                field(look.grainCell),
                field(look.grainCell * 3),
                field(look.wearCell),
                field(look.bleedRadius * 6),
                kDirections[NextRandom(state) % kDirections.size()],
                width,
                height};
}

// Where the output picture takes its ink from in the source: turned about
// the centres, shifted by the offset.
struct Mapping {
  Turn turn;
  std::int64_t outCentreX, outCentreY, sourceCentreX, sourceCentreY;  // Q8

  void SourceOf(int x, int y, std::int64_t& u, std::int64_t& v) const {
    const std::int64_t dx = std::int64_t{x} * 256 - outCentreX - turn.offsetXQ8;
    const std::int64_t dy = std::int64_t{y} * 256 - outCentreY - turn.offsetYQ8;
    u = ((turn.cosine * dx + turn.sine * dy) >> 30) + sourceCentreX;
    v = ((turn.cosine * dy - turn.sine * dx) >> 30) + sourceCentreY;
  }
};

// The density of the ink that reaches the paper at a pixel, Q12, given the
// ink that the seal's face holds there.
int Density(const InkLook& look, const Fields& f, int x, int y, int coverage) {
  // Worn edge: where the ink thins toward an edge it gives out unevenly.
  const int wear = look.wearDepth * f.wear.At(x, y) >> 12;
  if (coverage <= wear) return 0;
  const int worn = std::min(kOne, (coverage - wear) * kOne / (kOne - wear));
  const int edge = worn * kOne / coverage;
  // Pressure: patches, and a fall-off across the seal.
  const int patches = (3 * f.pressure.At(x, y) + f.pressureFine.At(x, y)) / 4;
  const int lightness = (patches * (kOne - look.gradientShare) + f.Gradient(x, y) * look.gradientShare) >> 12;
  // Most of the face is pressed fully; the rest pales by degrees.
  const int light = std::max(0, lightness - kFullPressure) * kOne / (kOne - kFullPressure);
  const int pressure = kOne - (look.pressureDepth * light >> 12);
  // Grain: bare paper where the fibres lie low, more of it where the
  // pressure is light; elsewhere the fibres mottle the ink.
  const int grain = (2 * f.grain.At(x, y) + f.grainCoarse.At(x, y)) / 3;
  const int threshold = look.voidBase + (look.voidSlope * (kOne - pressure) >> 12);
  const int bare = std::clamp((grain - threshold) * kOne / look.voidSoftness, 0, kOne);
  const int mottle = kOne - (look.grainDepth * (kOne - grain) >> 12);
  std::int64_t k = edge;
  for (int factor : {pressure, bare, mottle}) k = k * factor >> 12;
  return static_cast<int>(k);
}

// One impression of a source: the output is the source with a margin all
// round, for the spread, the wobble and the turn.
class Press {
 public:
  Press(const Plane& source, int ppm, const InkImpression& impression)
      : source_(source),
        look_(impression.strength >= 1 && impression.strength <= 3 ? &kLooks[impression.strength - 1] : nullptr),
        warpQ8_(look_ ? PixelsQ8(look_->warpAmplitude, ppm) : 0),
        bleedRadius_(look_ ? std::max(1, WholePixelsAbove(PixelsQ8(look_->bleedRadius, ppm))) : 0),
        strongest_(std::max(1, StrongestInk(source))) {
    std::int64_t margin = 1 + WholePixelsAbove(warpQ8_) + bleedRadius_;
    // The turned corners stand out by at most side x sin 2 degrees / 2.
    if (impression.tilt)
      margin += WholePixelsAbove(PixelsQ8(kMaxOffset, ppm)) + std::max(source.width, source.height) * 35 / 2000 + 1;
    const std::int64_t width = source.width + 2 * margin, height = source.height + 2 * margin;
    if (width * height > kMaxInkPixels) return;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    mapping_ = {TurnFor(TiltOf(impression), ppm), std::int64_t{width_ - 1} * 128, std::int64_t{height_ - 1} * 128,
                std::int64_t{source.width - 1} * 128, std::int64_t{source.height - 1} * 128};
    if (look_) fields_.emplace(FieldsFor(width_, height_, *look_, ppm, impression.seed));
  }

  // False when the impression would be too large to make.
  bool Fits() const { return width_ > 0; }

  // The ink each output pixel receives from the seal's face.
  Plane Deposit() const {
    Plane out(width_, height_);
    const std::vector<std::uint8_t> near = NearInk(source_, WholePixelsAbove(warpQ8_) + 2);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        std::int64_t u, v;
        mapping_.SourceOf(x, y, u, v);
        const std::int64_t sx = (u + 128) >> 8, sy = (v + 128) >> 8;
        if (sx < 0 || sy < 0 || sx >= source_.width || sy >= source_.height) continue;
        if (!near[static_cast<std::size_t>(sy) * source_.width + sx]) continue;
        if (fields_) {
          u += (fields_->warpX.At(x, y) - kOne / 2) * warpQ8_ * 2 / kOne;
          v += (fields_->warpY.At(x, y) - kOne / 2) * warpQ8_ * 2 / kOne;
        }
        int ink[3];
        SampleInk(source_, u, v, ink);
        const int amount = std::max({ink[0], ink[1], ink[2]});
        if (amount == 0) continue;
        const int k =
            fields_ ? Density(*look_, *fields_, x, y, std::min(kOne, amount * kOne / strongest_)) : kOne;
        std::uint8_t* p = out.At(x, y);
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((ink[c] * k + kOne / 2) >> 12);
      }
    return out;
  }

  // The deposit with the ink spread a little around it, as a 24-bit
  // picture on white.
  PackedDib Finish(const Plane& deposit) const {
    PackedDib dib = CreateBlankDib(width_, height_, 3);
    if (dib.empty()) return {};
    const Plane spread = fields_ ? Blurred(deposit, bleedRadius_) : Plane(0, 0);
    const auto stride = static_cast<std::size_t>(DibStride(width_, 24));
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* row = dib.data() + kDibHeaderSize + stride * static_cast<std::size_t>(height_ - 1 - y);
      for (int x = 0; x < width_; ++x) {
        const std::uint8_t* p = deposit.At(x, y);
        const int share = fields_ ? look_->bleedAmount * fields_->bleed.At(x, y) >> 12 : 0;
        for (int c = 0; c < 3; ++c) {
          int ink = p[c];
          if (share > 0) ink = std::max(ink, (spread.At(x, y)[c] * share + kOne / 2) >> 12);
          row[3 * x + c] = static_cast<std::uint8_t>(255 - ink);
        }
      }
    }
    return dib;
  }

 private:
  const Plane& source_;
  const InkLook* look_;
  std::int64_t warpQ8_;
  int bleedRadius_;
  int strongest_;
  int width_ = 0, height_ = 0;
  Mapping mapping_{};
  std::optional<Fields> fields_;
};

PackedDib PressValid(const DibView& view, int pixelsPerMetre, const InkImpression& impression) {
  const Plane source = InkOf(view);
  const Press press(source, pixelsPerMetre, impression);
  if (!press.Fits()) return {};
  PackedDib pressed = press.Finish(press.Deposit());
  if (pressed.empty()) return {};
  DibHeader header;
  ReadDibHeader(pressed, header);
  header.xPixelsPerMetre = view.Header().xPixelsPerMetre;
  header.yPixelsPerMetre = view.Header().yPixelsPerMetre;
  WriteDibHeader(header, pressed);
  return pressed;
}

}  // namespace

std::uint32_t InkSeedSource::Next(const Clock& clock) {
  const auto now = static_cast<std::uint64_t>(clock.Now());
  std::uint32_t state = static_cast<std::uint32_t>(now) ^ static_cast<std::uint32_t>(now >> 32) * 0x85EBCA77u;
  state ^= ++stamps_ * 0xC2B2AE3Du;
  const std::uint32_t seed = NextRandom(state);
  return seed != 0 ? seed : 1;
}

InkImpression StampImpression(const OptionRecord& options, InkSeedSource& seeds, const Clock& clock) {
  InkImpression impression;
  if (options.InkEffect > kInkOff && options.InkEffect <= kInkStrong) impression.strength = options.InkEffect;
  impression.tilt = options.InkTilt == 1;
  if (impression.Any())
    impression.seed = options.InkSeed != 0 ? static_cast<std::uint32_t>(options.InkSeed) : seeds.Next(clock);
  return impression;
}

InkTiltOffset TiltOf(const InkImpression& impression) {
  if (!impression.tilt) return {};
  std::uint32_t state = impression.seed ^ kTiltStream;
  auto within = [&](int limit) { return static_cast<int>(NextRandom(state) % (2u * limit + 1)) - limit; };
  InkTiltOffset tilt;
  tilt.hundredthsOfDegree = within(kMaxTilt);
  tilt.offsetX = within(kMaxOffset);
  tilt.offsetY = within(kMaxOffset);
  return tilt;
}

PackedDib PressInk(const PackedDib& sealOnWhite, int pixelsPerMetre, const InkImpression& impression) {
  if (!impression.Any()) return sealOnWhite;
  const DibView view(sealOnWhite);
  if (!view.Valid() || view.PixelCount() > kMaxInkPixels || pixelsPerMetre <= 0) return {};
  try {
    if (view.BitCount() == 24) return PressValid(view, pixelsPerMetre, impression);
    const PackedDib converted = ConvertDibTo24Bit(view);
    if (converted.empty()) return {};
    return PressValid(DibView(converted), pixelsPerMetre, impression);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

void ApplyInkEffect(WorkImage& seal, int pixelsPerMetre, const InkImpression& impression) {
  if (!impression.Any()) return;
  try {
    const PackedDib pressed = PressInk(seal.BitmapAsDib24(), pixelsPerMetre, impression);
    if (!pressed.empty()) seal.SetBitmapFromDib(pressed);
  } catch (const std::bad_alloc&) {
    // Short of memory the seal is stamped clean.
  }
}
