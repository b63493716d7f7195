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
  int wearDepth;      // the worn edge: thin ink at the edges gives out
  int bleedRadius;    // ink spread into the paper around the strokes
  int bleedAmount;
};

constexpr InkLook kLooks[] = {
    {2400, 1600, 1000, 70, 250, 450, 900, 300, 320, 28, 1000, 40, 900},    // light
    {2200, 2400, 1200, 70, 400, 700, 1600, 300, 300, 42, 1600, 45, 1200},  // medium
    {2000, 2700, 1400, 80, 600, 950, 2100, 350, 280, 60, 1700, 55, 1500},  // strong
};

// The widest spread, in pixels, at resolutions far beyond any printer's.
constexpr int kMaxBleedRadius = 64;

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
// three bytes a pixel; and the amount of ink of each pixel, its strongest
// channel.
struct Plane {
  int width = 0, height = 0;
  std::vector<std::uint8_t> ink, amount;

  Plane(int w, int h)
      : width(w), height(h), ink(static_cast<std::size_t>(w) * h * 3, 0), amount(static_cast<std::size_t>(w) * h, 0) {}
  std::uint8_t* At(int x, int y) { return &ink[(static_cast<std::size_t>(y) * width + x) * 3]; }
  const std::uint8_t* At(int x, int y) const { return &ink[(static_cast<std::size_t>(y) * width + x) * 3]; }
  std::uint8_t& AmountAt(int x, int y) { return amount[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t AmountAt(int x, int y) const { return amount[static_cast<std::size_t>(y) * width + x]; }
};

Plane InkOf(const DibView& source) {
  Plane plane(source.Width(), source.Height());
  for (int y = 0; y < plane.height; ++y) {
    const std::uint8_t* in = source.Row(y);
    std::uint8_t* out = plane.At(0, y);
    for (int x = 0; x < plane.width; ++x, in += 3, out += 3) {
      for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(255 - in[c]);
      plane.AmountAt(x, y) = std::max({out[0], out[1], out[2]});
    }
  }
  return plane;
}

// The ink of the strongest pixel: the seal's own colour.
std::array<int, 3> StrongestInk(const Plane& plane) {
  const auto strongest = std::max_element(plane.amount.begin(), plane.amount.end());
  if (strongest == plane.amount.end()) return {};
  const std::uint8_t* p = &plane.ink[static_cast<std::size_t>(strongest - plane.amount.begin()) * 3];
  return {p[0], p[1], p[2]};
}

// 1 where some ink lies within radius pixels (a square), so that the
// pixels far from any ink are skipped.
std::vector<std::uint8_t> NearInk(const Plane& plane, int radius) {
  const int w = plane.width, h = plane.height;
  std::vector<std::uint8_t> across(static_cast<std::size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = &plane.amount[static_cast<std::size_t>(y) * w];
    int count = 0;  // inked pixels in the window x - radius .. x + radius
    for (int x = 0; x < std::min(w, radius); ++x) count += row[x] != 0;
    for (int x = 0; x < w; ++x) {
      if (x + radius < w) count += row[x + radius] != 0;
      across[static_cast<std::size_t>(y) * w + x] = count > 0;
      if (x - radius >= 0) count -= row[x - radius] != 0;
    }
  }
  std::vector<std::uint8_t> near(across.size(), 0);
  std::vector<int> counts(static_cast<std::size_t>(w), 0);
  auto add = [&](int y, int sign) {
    for (int x = 0; x < w; ++x) counts[x] += sign * across[static_cast<std::size_t>(y) * w + x];
  };
  for (int y = 0; y < std::min(h, radius); ++y) add(y, 1);
  for (int y = 0; y < h; ++y) {
    if (y + radius < h) add(y + radius, 1);
    for (int x = 0; x < w; ++x) near[static_cast<std::size_t>(y) * w + x] = counts[x] > 0;
    if (y - radius >= 0) add(y - radius, -1);
  }
  return near;
}

// The amounts blurred by a box of the given radius (at most 127), across
// and then down, each pass rounded to whole values.
std::vector<std::uint8_t> Blurred(const Plane& in, int radius) {
  const int w = in.width, h = in.height, n = 2 * radius + 1;
  const int reciprocal = (65536 + n / 2) / n;  // sums of n values come back to 0..255
  auto mean = [&](int sum) { return static_cast<std::uint8_t>((sum * reciprocal + 32768) >> 16); };
  std::vector<std::uint8_t> across(in.amount.size()), out(in.amount.size());
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = &in.amount[static_cast<std::size_t>(y) * w];
    std::uint8_t* to = &across[static_cast<std::size_t>(y) * w];
    int sum = 0;
    for (int i = 0; i < std::min(w, radius); ++i) sum += row[i];
    for (int i = 0; i < w; ++i) {
      if (i + radius < w) sum += row[i + radius];
      to[i] = mean(sum);
      if (i - radius >= 0) sum -= row[i - radius];
    }
  }
  std::vector<int> sums(static_cast<std::size_t>(w), 0);
  auto add = [&](int y, int sign) {
    const std::uint8_t* row = &across[static_cast<std::size_t>(y) * w];
    for (int i = 0; i < w; ++i) sums[i] += sign * row[i];
  };
  for (int y = 0; y < std::min(h, radius); ++y) add(y, 1);
  for (int y = 0; y < h; ++y) {
    if (y + radius < h) add(y + radius, 1);
    std::uint8_t* row = &out[static_cast<std::size_t>(y) * w];
    for (int i = 0; i < w; ++i) row[i] = mean(sums[i]);
    if (y - radius >= 0) add(y - radius, -1);
  }
  return out;
}

// Bilinear in 1/256 pixel, no ink outside the plane.
void SampleInk(const Plane& plane, std::int64_t uQ8, std::int64_t vQ8, int (&ink)[3]) {
  const std::int64_t x0 = uQ8 >> 8, y0 = vQ8 >> 8;
  const int fx = static_cast<int>(uQ8 & 255), fy = static_cast<int>(vQ8 & 255);
  const int w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy), w01 = (256 - fx) * fy, w11 = fx * fy;
  if (x0 >= 0 && y0 >= 0 && x0 + 1 < plane.width && y0 + 1 < plane.height) {
    const std::uint8_t* top = plane.At(static_cast<int>(x0), static_cast<int>(y0));
    const std::uint8_t* bottom = top + static_cast<std::size_t>(plane.width) * 3;
    for (int c = 0; c < 3; ++c)
      ink[c] = (top[c] * w00 + top[c + 3] * w10 + bottom[c] * w01 + bottom[c + 3] * w11 + 32768) >> 16;
    return;
  }
  const int weights[4] = {w00, w10, w01, w11};
  int sum[3] = {32768, 32768, 32768};
  for (int k = 0; k < 4; ++k) {
    const std::int64_t x = x0 + (k & 1), y = y0 + (k >> 1);
    if (x < 0 || y < 0 || x >= plane.width || y >= plane.height) continue;
    const std::uint8_t* p = plane.At(static_cast<int>(x), static_cast<int>(y));
    for (int c = 0; c < 3; ++c) sum[c] += p[c] * weights[k];
  }
  for (int c = 0; c < 3; ++c) ink[c] = sum[c] >> 16;
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
  NoiseField warpX, warpY, pressure, pressureFine, grain, grainCoarse, bleed;
  // The fall-off of the pressure across the seal, by column and by row:
  // their sum is 0 on the harder-pressed side to 4096 on the lighter.
  std::vector<int> gradientX, gradientY;

  int Gradient(int x, int y) const { return std::clamp(kOne / 2 + gradientX[x] + gradientY[y], 0, kOne); }
};

std::vector<int> GradientAlong(int length, int direction, int span) {
  std::vector<int> part(length);
  for (int i = 0; i < length; ++i) part[i] = (i - length / 2) * direction / span;
  return part;
}

Fields FieldsFor(int width, int height, const InkLook& look, int ppm, std::uint32_t seed) {
  std::uint32_t state = seed;
  auto field = [&](int micrometres) { return NoiseField(width, height, PixelsQ8(micrometres, ppm), NextRandom(state)); };
  NoiseField warpX = field(look.warpCell), warpY = field(look.warpCell);
  NoiseField pressure = field(look.pressureCell), pressureFine = field(look.pressureCell * 2 / 5);
  NoiseField grain = field(look.grainCell), grainCoarse = field(look.grainCell * 3);
  NoiseField bleed = field(look.bleedRadius * 6);
  const std::array<int, 2> direction = kDirections[NextRandom(state) % kDirections.size()];
  const int span = std::max(2, std::max(width, height));
  return Fields{std::move(warpX),        std::move(warpY), std::move(pressure),
                std::move(pressureFine), std::move(grain), std::move(grainCoarse),
                std::move(bleed),        GradientAlong(width, direction[0], span),
                GradientAlong(height, direction[1], span)};
}

// Where the output picture takes its ink from in the source: turned about
// the centres, shifted by the offset. Positions run in 1/2^24 pixel along
// a row, so a row is a sum of equal steps.
struct Mapping {
  std::int64_t cosine = 1 << 16, sine = 0;  // Q16
  std::int64_t offsetXQ8 = 0, offsetYQ8 = 0;
  std::int64_t outCentreX = 0, outCentreY = 0, sourceCentreX = 0, sourceCentreY = 0;  // Q8

  // The source position of the row's first pixel, Q24, and the step to the next.
  void RowStart(int y, std::int64_t& u, std::int64_t& v) const {
    const std::int64_t dx = -outCentreX - offsetXQ8;
    const std::int64_t dy = std::int64_t{y} * 256 - outCentreY - offsetYQ8;
    u = cosine * dx + sine * dy + (sourceCentreX << 16);
    v = cosine * dy - sine * dx + (sourceCentreY << 16);
  }
  std::int64_t StepU() const { return cosine * 256; }
  std::int64_t StepV() const { return -sine * 256; }
};

Mapping MappingFor(const Turn& turn, int width, int height, const Plane& source) {
  Mapping m;
  m.cosine = (turn.cosine + (1 << 13)) >> 14;
  m.sine = (turn.sine + (1 << 13)) >> 14;
  m.offsetXQ8 = turn.offsetXQ8;
  m.offsetYQ8 = turn.offsetYQ8;
  m.outCentreX = std::int64_t{width - 1} * 128;
  m.outCentreY = std::int64_t{height - 1} * 128;
  m.sourceCentreX = std::int64_t{source.width - 1} * 128;
  m.sourceCentreY = std::int64_t{source.height - 1} * 128;
  return m;
}

// The density of the ink that reaches the paper at a pixel, Q12, given the
// ink that the seal's face holds there (coverage, Q12).
int Density(const InkLook& look, const Fields& f, int x, int y, int coverage) {
  const int grainCoarse = f.grainCoarse.At(x, y);
  // Worn edge: where the ink thins toward an edge it gives out unevenly,
  // first where the paper lies low.
  int edge = kOne;
  if (coverage < kOne) {
    const int wear = look.wearDepth * (kOne - grainCoarse) >> 12;
    if (coverage <= wear) return 0;
    edge = static_cast<int>(std::int64_t{coverage - wear} * (kOne * kOne) / (std::int64_t{kOne - wear} * coverage));
  }
  // Pressure: patches, and a fall-off across the seal.
  const int patches = (3 * f.pressure.At(x, y) + f.pressureFine.At(x, y)) / 4;
  const int lightness = (patches * (kOne - look.gradientShare) + f.Gradient(x, y) * look.gradientShare) >> 12;
  // Most of the face is pressed fully; the rest pales by degrees.
  const int light = std::max(0, lightness - kFullPressure) * kOne / (kOne - kFullPressure);
  const int pressure = kOne - (look.pressureDepth * light >> 12);
  // Grain: bare paper where the fibres lie low, more of it where the
  // pressure is light; elsewhere the fibres mottle the ink.
  const int grain = (2 * f.grain.At(x, y) + grainCoarse) / 3;
  const int threshold = look.voidBase + (look.voidSlope * (kOne - pressure) >> 12);
  const int bare = std::clamp((grain - threshold) * (kOne * 16 / look.voidSoftness) >> 4, 0, kOne);
  const int mottle = kOne - (look.grainDepth * (kOne - grain) >> 12);
  int k = std::min(edge, kOne);
  for (int factor : {pressure, bare, mottle}) k = k * factor >> 12;
  return k;
}

// One impression of a source: the output is the source with a margin all
// round, for the spread, the wobble and the turn.
class Press {
 public:
  Press(const Plane& source, int ppm, const InkImpression& impression)
      : source_(source),
        look_(impression.strength >= 1 && impression.strength <= 3 ? &kLooks[impression.strength - 1] : nullptr),
        warpQ8_(look_ ? PixelsQ8(look_->warpAmplitude, ppm) : 0),
        bleedRadius_(look_ ? std::clamp(WholePixelsAbove(PixelsQ8(look_->bleedRadius, ppm)), 1, kMaxBleedRadius) : 0),
        colour_(StrongestInk(source)),
        strongest_(std::max({1, colour_[0], colour_[1], colour_[2]})) {
    std::int64_t margin = 1 + WholePixelsAbove(warpQ8_) + bleedRadius_;
    // The turned corners stand out by at most side x sin 2 degrees / 2.
    if (impression.tilt)
      margin += WholePixelsAbove(PixelsQ8(kMaxOffset, ppm)) + std::max(source.width, source.height) * 35 / 2000 + 1;
    const std::int64_t width = source.width + 2 * margin, height = source.height + 2 * margin;
    if (width * height > kMaxInkPixels) return;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    mapping_ = MappingFor(TurnFor(TiltOf(impression), ppm), width_, height_, source);
    if (look_) fields_.emplace(FieldsFor(width_, height_, *look_, ppm, impression.seed));
    for (int amount = 0; amount < 256; ++amount) {
      coverage_[amount] = std::min(kOne, amount * kOne / strongest_);
      for (int c = 0; c < 3; ++c) spreadInk_[c][amount] = static_cast<std::uint8_t>(colour_[c] * amount / strongest_);
    }
  }

  // False when the impression would be too large to make.
  bool Fits() const { return width_ > 0; }

  // The ink each output pixel receives from the seal's face.
  Plane Deposit() const {
    Plane out(width_, height_);
    const std::vector<std::uint8_t> near = NearInk(source_, WholePixelsAbove(warpQ8_) + 2);
    const std::int64_t stepU = mapping_.StepU(), stepV = mapping_.StepV();
    for (int y = 0; y < height_; ++y) {
      std::int64_t rowU, rowV;
      mapping_.RowStart(y, rowU, rowV);
      for (int x = 0; x < width_; ++x, rowU += stepU, rowV += stepV) {
        std::int64_t u = rowU >> 16, v = rowV >> 16;
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
        const int k = fields_ ? Density(*look_, *fields_, x, y, coverage_[amount]) : kOne;
        std::uint8_t* p = out.At(x, y);
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((ink[c] * k + kOne / 2) >> 12);
        out.AmountAt(x, y) = std::max({p[0], p[1], p[2]});
      }
    }
    return out;
  }

  // The deposit with the ink spread a little around it, in the seal's
  // colour, as a 24-bit picture on white.
  PackedDib Finish(const Plane& deposit) const {
    PackedDib dib = CreateBlankDib(width_, height_, 3);
    if (dib.empty()) return {};
    const std::vector<std::uint8_t> spread = fields_ ? Blurred(deposit, bleedRadius_) : std::vector<std::uint8_t>();
    const auto stride = static_cast<std::size_t>(DibStride(width_, 24));
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* row = dib.data() + kDibHeaderSize + stride * static_cast<std::size_t>(height_ - 1 - y);
      std::fill(row, row + 3 * width_, std::uint8_t{255});
      for (int x = 0; x < width_; ++x) {
        const int around = fields_ ? spread[static_cast<std::size_t>(y) * width_ + x] : 0;
        if (around == 0 && deposit.AmountAt(x, y) == 0) continue;
        const int bled = around ? (around * (look_->bleedAmount * fields_->bleed.At(x, y) >> 12) + kOne / 2) >> 12 : 0;
        const std::uint8_t* p = deposit.At(x, y);
        for (int c = 0; c < 3; ++c) row[3 * x + c] = static_cast<std::uint8_t>(255 - std::max(p[c], spreadInk_[c][bled]));
      }
    }
    return dib;
  }

 private:
  const Plane& source_;
  const InkLook* look_;
  std::int64_t warpQ8_;
  int bleedRadius_;
  std::array<int, 3> colour_;  // the strongest ink's channels
  int strongest_;
  int width_ = 0, height_ = 0;
  Mapping mapping_{};
  std::optional<Fields> fields_;
  int coverage_[256];  // Q12 share of the strongest ink, by ink amount
  std::uint8_t spreadInk_[3][256];  // the seal's colour at each amount of spread ink
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
