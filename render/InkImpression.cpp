#include "InkImpression.h"

#include <algorithm>
#include <array>
#include <bit>
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
  int voidScale;      // 16 x 4096 / the width of the step from bare to inked
  int warpCell;       // the wobble of every edge
  int warpAmplitude;
  int wearDepth;      // at the edges, ink gives out where the paper lies low ...
  int spreadDepth;    // ... and spreads where it stands high
};

constexpr InkLook kLooks[] = {
    {2400, 1600, 1000, 70, 250, 450, 900, 218, 320, 28, 1000, 900},    // light
    {2200, 2100, 1200, 70, 400, 860, 1500, 218, 300, 42, 700, 1200},  // medium
    {2000, 2700, 1400, 80, 600, 920, 2100, 187, 280, 60, 1200, 1500},  // strong
};

// The lightness below which the face is pressed fully.
constexpr int kFullPressure = 1600;

// The turn's limits: ±2 degrees, ±0.3 mm.
constexpr int kMaxTilt = 200;    // hundredths of a degree
constexpr int kMaxOffset = 300;  // micrometres
constexpr std::uint32_t kTiltStream = 0x7117u;

// Positions are worked in 1/65536 pixel in 32 bits: pictures up to this
// many pixels a side, as the work image takes them.
constexpr int kMaxSide = 16000;

std::int64_t PixelsQ8(std::int64_t micrometres, int pixelsPerMetre) {
  return micrometres * pixelsPerMetre * 256 / 1'000'000;
}

int WholePixelsAbove(std::int64_t q8) { return static_cast<int>((q8 + 255) / 256); }

// One bit a pixel, each row in whole 32-bit words.
struct BitRows {
  int words = 0;
  std::vector<std::uint32_t> bits;

  BitRows(int width, int height)
      : words((width + 31) / 32), bits(static_cast<std::size_t>(words) * height, 0) {}
  std::uint32_t* Row(int y) { return &bits[static_cast<std::size_t>(y) * words]; }
  const std::uint32_t* Row(int y) const { return &bits[static_cast<std::size_t>(y) * words]; }
  bool Test(int x, int y) const { return Row(y)[x >> 5] >> (x & 31) & 1u; }
};

// The seal's ink, read from its rows: 255 minus each channel (blue, green,
// red); which pixels hold any; and the ink of the strongest pixel, the
// seal's own colour.
struct Source {
  int width = 0, height = 0;
  std::vector<const std::uint8_t*> rows;  // top row first
  BitRows inked;
  std::array<int, 3> colour{};
  int strongest = 1;

  explicit Source(const DibView& view)
      : width(view.Width()), height(view.Height()), rows(static_cast<std::size_t>(height)), inked(width, height) {
    for (int y = 0; y < height; ++y) {
      rows[y] = view.Row(y);
      const std::uint8_t* p = rows[y];
      std::uint32_t* bits = inked.Row(y);
      for (int x = 0; x < width; ++x, p += 3) {
        if ((p[0] & p[1] & p[2]) == 255) continue;
        bits[x >> 5] |= 1u << (x & 31);
        const int ink = 255 - std::min({p[0], p[1], p[2]});
        if (ink > strongest) {
          strongest = ink;
          colour = {255 - p[0], 255 - p[1], 255 - p[2]};
        }
      }
    }
  }
};

// The row's bits moved by shift pixels (toward higher x when positive).
std::uint32_t Shifted(const std::uint32_t* row, int words, int word, int shift) {
  const int whole = shift >= 0 ? shift >> 5 : -(-shift >> 5), part = shift - whole * 32;
  auto at = [&](int i) { return i >= 0 && i < words ? row[i] : 0u; };
  const int from = word - whole;
  if (part == 0) return at(from);
  if (part > 0) return at(from) << part | at(from - 1) >> (32 - part);
  return at(from) >> -part | at(from + 1) << (32 + part);
}

// Set where some ink lies within radius pixels (a square), so that the
// pixels far from any ink are skipped.
BitRows NearInk(const Source& source, int radius) {
  const int words = source.inked.words;
  BitRows across(source.width, source.height), near(source.width, source.height);
  for (int y = 0; y < source.height; ++y) {
    const std::uint32_t* row = source.inked.Row(y);
    std::uint32_t* out = across.Row(y);
    for (int w = 0; w < words; ++w) {
      std::uint32_t bits = row[w];
      for (int d = 1; d <= radius; ++d) bits |= Shifted(row, words, w, d) | Shifted(row, words, w, -d);
      out[w] = bits;
    }
  }
  for (int y = 0; y < source.height; ++y) {
    std::uint32_t* out = near.Row(y);
    for (int from = std::max(0, y - radius); from <= std::min(source.height - 1, y + radius); ++from) {
      const std::uint32_t* row = across.Row(from);
      for (int w = 0; w < words; ++w) out[w] |= row[w];
    }
  }
  return near;
}

// Bilinear in 1/256 pixel, no ink outside the picture.
void SampleInk(const Source& source, int uQ8, int vQ8, int (&ink)[3]) {
  const int x0 = uQ8 >> 8, y0 = vQ8 >> 8, fx = uQ8 & 255, fy = vQ8 & 255;
  const int weights[4] = {(256 - fx) * (256 - fy), fx * (256 - fy), (256 - fx) * fy, fx * fy};
  int sum[3] = {32768, 32768, 32768};
  if (x0 >= 0 && y0 >= 0 && x0 + 1 < source.width && y0 + 1 < source.height) {
    const std::uint8_t* top = source.rows[y0] + 3 * x0;
    const std::uint8_t* bottom = source.rows[y0 + 1] + 3 * x0;
    // Inside a stroke, or on bare paper, the four are one colour.
    auto same = [top](const std::uint8_t* p) { return p[0] == top[0] && p[1] == top[1] && p[2] == top[2]; };
    if (same(top + 3) && same(bottom) && same(bottom + 3)) {
      for (int c = 0; c < 3; ++c) ink[c] = 255 - top[c];
      return;
    }
    for (int c = 0; c < 3; ++c)
      sum[c] += (255 - top[c]) * weights[0] + (255 - top[c + 3]) * weights[1] + (255 - bottom[c]) * weights[2] +
                (255 - bottom[c + 3]) * weights[3];
  } else {
    for (int k = 0; k < 4; ++k) {
      const int x = x0 + (k & 1), y = y0 + (k >> 1);
      if (x < 0 || y < 0 || x >= source.width || y >= source.height) continue;
      const std::uint8_t* p = source.rows[y] + 3 * x;
      for (int c = 0; c < 3; ++c) sum[c] += (255 - p[c]) * weights[k];
    }
  }
  for (int c = 0; c < 3; ++c) ink[c] = sum[c] >> 16;
}

// The turn: sin and cos of a small angle by their series in Q30, exact
// enough for ±2 degrees and the same in every build, kept in Q16.
struct Turn {
  int cosine = 1 << 16, sine = 0;
  int offsetXQ8 = 0, offsetYQ8 = 0;
};

Turn TurnFor(const InkTiltOffset& tilt, int pixelsPerMetre) {
  constexpr std::int64_t kRadiansPerHundredthQ30 = 187'403;  // pi / 18000 * 2^30
  const std::int64_t r = tilt.hundredthsOfDegree * kRadiansPerHundredthQ30;
  const std::int64_t r2 = (r * r) >> 30, r3 = (r2 * r) >> 30, r4 = (r2 * r2) >> 30, r5 = (r4 * r) >> 30;
  const std::int64_t sine = r - r3 / 6 + r5 / 120, cosine = (std::int64_t{1} << 30) - r2 / 2 + r4 / 24;
  Turn turn;
  turn.cosine = static_cast<int>((cosine + (1 << 13)) >> 14);
  turn.sine = static_cast<int>((sine + (1 << 13)) >> 14);
  turn.offsetXQ8 = static_cast<int>(PixelsQ8(tilt.offsetX, pixelsPerMetre));
  turn.offsetYQ8 = static_cast<int>(PixelsQ8(tilt.offsetY, pixelsPerMetre));
  return turn;
}

// Unit vectors of eight directions in Q12: the way the pressure falls off.
constexpr std::array<std::array<int, 2>, 8> kDirections = {{
    {4096, 0}, {2896, 2896}, {0, 4096}, {-2896, 2896}, {-4096, 0}, {-2896, -2896}, {0, -4096}, {2896, -2896}}};

// How hard the face met the paper, Q12 (4096 full), from the lightness of
// the pressure there: most of the face is pressed fully, the rest pales by
// degrees.
int PressureFor(const InkLook& look, int patches, int gradient) {
  const int lightness = (patches * (kOne - look.gradientShare) + gradient * look.gradientShare) >> 12;
  const int light = std::max(0, lightness - kFullPressure) * kOne / (kOne - kFullPressure);
  return kOne - (look.pressureDepth * light >> 12);
}

// The noise fields of one impression, over the output picture, read a row
// at a time.
class Fields {
 public:
  NoiseField warpX, warpY;

  Fields(int width, int height, const InkLook& look, int ppm, std::uint32_t state)
      : warpX(Field(width, height, look.warpCell, ppm, state)),
        warpY(Field(width, height, look.warpCell, ppm, state)) {
    NoiseField patches = Field(width, height, look.pressureCell, ppm, state);
    NoiseField finer = Field(width, height, look.pressureCell * 2 / 5, ppm, state);
    grain_.emplace(Field(width, height, look.grainCell, ppm, state));
    grainCoarse_.emplace(Field(width, height, look.grainCell * 3, ppm, state));
    const std::array<int, 2> direction = kDirections[NextRandom(state) % kDirections.size()];
    FillPressure(width, height, look, patches, finer, direction);
  }

  void SelectRow(int y) {
    for (NoiseField* f : {&warpX, &warpY, &*grain_, &*grainCoarse_}) f->SelectRow(y);
    const int row = y / kStep, w = y % kStep * (kOne / kStep);
    const int* upper = &pressureGrid_[static_cast<std::size_t>(row) * gridColumns_];
    const int* lower = upper + gridColumns_;
    for (int i = 0; i < gridColumns_; ++i) pressureRow_[i] = (upper[i] * (kOne - w) + lower[i] * w) >> 12;
  }
  int Pressure(int x) const {
    const int i = x / kStep, w = x % kStep * (kOne / kStep);
    return (pressureRow_[i] * (kOne - w) + pressureRow_[i + 1] * w) >> 12;
  }
  int Grain(int x) const { return grain_->At(x); }
  int GrainCoarse(int x) const { return grainCoarse_->At(x); }

 private:
  // The pressure varies over millimetres: it is worked out every kStep
  // pixels and blended between.
  static constexpr int kStep = 4;

  static NoiseField Field(int width, int height, int micrometres, int ppm, std::uint32_t& state) {
    return NoiseField(width, height, PixelsQ8(micrometres, ppm), NextRandom(state));
  }

  // Patches, and a fall-off across the seal in one of eight directions.
  void FillPressure(int width, int height, const InkLook& look, NoiseField& patches, NoiseField& finer,
                    const std::array<int, 2>& direction) {
    gridColumns_ = width / kStep + 2;
    const int gridRows = height / kStep + 2;
    pressureGrid_.resize(static_cast<std::size_t>(gridColumns_) * gridRows);
    pressureRow_.resize(static_cast<std::size_t>(gridColumns_));
    const int span = std::max({2, width, height});
    for (int j = 0; j < gridRows; ++j) {
      const int y = std::min(j * kStep, height - 1);
      patches.SelectRow(y);
      finer.SelectRow(y);
      for (int i = 0; i < gridColumns_; ++i) {
        const int x = std::min(i * kStep, width - 1);
        const int fallOff = ((x - width / 2) * direction[0] + (y - height / 2) * direction[1]) / span;
        const int gradient = std::clamp(kOne / 2 + fallOff, 0, kOne);
        pressureGrid_[static_cast<std::size_t>(j) * gridColumns_ + i] =
            PressureFor(look, (3 * patches.At(x) + finer.At(x)) / 4, gradient);
      }
    }
  }

  // Made after the pressure's fields, which draw their seeds first.
  std::optional<NoiseField> grain_, grainCoarse_;
  int gridColumns_ = 0;
  std::vector<int> pressureGrid_, pressureRow_;
};

// How much ink reaches the paper at x, Q12 of the strongest ink, where the
// seal's face holds coverage (Q12) there, on the row the fields have
// selected.
int Deposit(const InkLook& look, const Fields& f, int x, int coverage) {
  const int grainCoarse = f.GrainCoarse(x);
  // The edge: ink gives out where the paper lies low and spreads where it
  // stands high.
  if (coverage < kOne) {
    coverage += (look.spreadDepth * grainCoarse >> 12) - (look.wearDepth * (kOne - grainCoarse) >> 12);
    if (coverage <= 0) return 0;
    coverage = std::min(coverage, kOne);
  }
  const int pressure = f.Pressure(x);
  // Grain: bare paper where the fibres lie low, more of it where the
  // pressure is light; elsewhere the fibres mottle the ink.
  const int grain = (2 * f.Grain(x) + grainCoarse) / 3;
  const int threshold = look.voidBase + (look.voidSlope * (kOne - pressure) >> 12);
  const int bare = std::clamp((grain - threshold) * look.voidScale >> 4, 0, kOne);
  const int mottle = kOne - (look.grainDepth * (kOne - grain) >> 12);
  for (int factor : {pressure, bare, mottle}) coverage = coverage * factor >> 12;
  return coverage;
}

// One impression of a source: the output is the source with a margin all
// round for the wobble and the turn, white but for the ink the face leaves.
class Press {
 public:
  Press(const Source& source, int ppm, const InkImpression& impression)
      : source_(source),
        look_(impression.strength >= 1 && impression.strength <= 3 ? &kLooks[impression.strength - 1] : nullptr),
        warpQ8_(look_ ? static_cast<int>(std::min<std::int64_t>(PixelsQ8(look_->warpAmplitude, ppm), 256 * 64)) : 0) {
    std::int64_t margin = 1 + WholePixelsAbove(warpQ8_);
    // The turned corners stand out by at most side x sin 2 degrees / 2.
    if (impression.tilt)
      margin += WholePixelsAbove(PixelsQ8(kMaxOffset, ppm)) + std::max(source.width, source.height) * 35 / 2000 + 1;
    const std::int64_t width = source.width + 2 * margin, height = source.height + 2 * margin;
    if (width * height > kMaxInkPixels || std::max(width, height) > kMaxSide) return;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    margin_ = static_cast<int>(margin);
    upright_ = !impression.tilt;
    turn_ = TurnFor(TiltOf(impression), ppm);
    if (look_) fields_.emplace(width_, height_, *look_, ppm, impression.seed);
    for (int amount = 0; amount < 256; ++amount) coverage_[amount] = std::min(kOne, amount * kOne / source.strongest);
  }

  // False when the impression would be too large to make.
  bool Fits() const { return width_ > 0; }

  // The impression as a 24-bit picture on white.
  PackedDib Pressed() {
    const auto stride = static_cast<std::size_t>(DibStride(width_, 24));
    PackedDib dib(kDibHeaderSize + stride * height_, 255);
    DibHeader header;
    header.width = width_;
    header.height = height_;
    header.bitCount = 24;
    header.imageSize = static_cast<std::uint32_t>(stride * height_);
    WriteDibHeader(header, dib);
    // A sample reads the pixel at or before the wobbled position and the
    // next; turned, that position lies up to half a pixel from the one
    // looked up.
    const int reach = ((upright_ ? warpQ8_ : warpQ8_ + 128) >> 8) + 1;
    const BitRows near = NearInk(source_, reach);
    // Output pixel (x, y) takes its ink from the source at (u, v): the
    // picture's centre onto the seal's, shifted by the offset and turned,
    // in 1/65536 pixel, each row a sum of equal steps.
    const std::int64_t dx0 = -std::int64_t{width_ - 1} * 128 - turn_.offsetXQ8;  // Q8
    const std::int64_t sourceCentreX = std::int64_t{source_.width - 1} * 128 << 8;
    const std::int64_t sourceCentreY = std::int64_t{source_.height - 1} * 128 << 8;
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* row = dib.data() + kDibHeaderSize + stride * static_cast<std::size_t>(height_ - 1 - y);
      rowSelected_ = false;
      if (upright_) {
        // Output pixel x takes source pixel x - margin: only the pixels
        // near ink are visited, a word of the mask at a time.
        const int sy = y - margin_;
        if (sy < 0 || sy >= source_.height) continue;
        const std::uint32_t* bits = near.Row(sy);
        for (int w = 0; w < near.words; ++w)
          for (std::uint32_t word = bits[w]; word != 0; word &= word - 1) {
            const int sx = w * 32 + std::countr_zero(word);
            PressPixel(sx + margin_, y, sx << 16, sy << 16, row);
          }
        continue;
      }
      const std::int64_t dy = std::int64_t{y} * 256 - std::int64_t{height_ - 1} * 128 - turn_.offsetYQ8;
      int u = static_cast<int>(((turn_.cosine * dx0 + turn_.sine * dy) >> 8) + sourceCentreX);
      int v = static_cast<int>(((turn_.cosine * dy - turn_.sine * dx0) >> 8) + sourceCentreY);
      for (int x = 0; x < width_; ++x, u += turn_.cosine, v -= turn_.sine) {
        const int sx = (u + 32768) >> 16, sy = (v + 32768) >> 16;
        if (sx < 0 || sy < 0 || sx >= source_.width || sy >= source_.height || !near.Test(sx, sy)) continue;
        PressPixel(x, y, u, v, row);
      }
    }
    return dib;
  }

 private:
  // The ink output pixel (x, y) of row receives from the source around
  // (u, v), in 1/65536 pixel.
  void PressPixel(int x, int y, int u, int v, std::uint8_t* row) {
    if (fields_ && !rowSelected_) {
      fields_->SelectRow(y);
      rowSelected_ = true;
    }
    int uQ8 = u >> 8, vQ8 = v >> 8;
    if (fields_) {
      uQ8 += (fields_->warpX.At(x) - kOne / 2) * warpQ8_ >> 11;
      vQ8 += (fields_->warpY.At(x) - kOne / 2) * warpQ8_ >> 11;
    }
    int ink[3];
    SampleInk(source_, uQ8, vQ8, ink);
    const int amount = std::max({ink[0], ink[1], ink[2]});
    if (amount == 0) return;
    const int held = coverage_[amount];
    const int left = fields_ ? Deposit(*look_, *fields_, x, held) : held;
    // Less ink than the face held keeps its own shade; ink spread beyond a
    // thin edge takes the seal's colour.
    std::uint8_t* p = row + 3 * x;
    if (left < held) {
      const int share = held == kOne ? left : left * kOne / held;
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(255 - ((ink[c] * share + kOne / 2) >> 12));
    } else if (left > held) {
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(255 - ((source_.colour[c] * left + kOne / 2) >> 12));
    } else {
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(255 - ink[c]);
    }
  }

  const Source& source_;
  const InkLook* look_;
  int warpQ8_;
  int width_ = 0, height_ = 0, margin_ = 0;
  bool upright_ = true;
  bool rowSelected_ = false;
  Turn turn_;
  std::optional<Fields> fields_;
  int coverage_[256];  // Q12 share of the strongest ink, by ink amount
};

PackedDib PressValid(const DibView& view, int pixelsPerMetre, const InkImpression& impression) {
  const Source source(view);
  Press press(source, pixelsPerMetre, impression);
  if (!press.Fits()) return {};
  PackedDib pressed = press.Pressed();
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

namespace {

// The strength the options ask for; an unknown value is off.
int InkStrength(const OptionRecord& options) {
  return options.InkEffect > kInkOff && options.InkEffect <= kInkStrong ? options.InkEffect : kInkOff;
}

}  // namespace

InkImpression StampImpression(const OptionRecord& options, InkSeedSource& seeds, const Clock& clock) {
  InkImpression impression;
  impression.strength = InkStrength(options);
  impression.tilt = options.InkTilt == 1;
  if (impression.Any())
    impression.seed = options.InkSeed != 0 ? static_cast<std::uint32_t>(options.InkSeed) : seeds.Next(clock);
  return impression;
}

InkImpression PreviewImpression(const OptionRecord& options) {
  InkImpression impression;
  impression.strength = InkStrength(options);
  impression.seed = options.InkSeed != 0 ? static_cast<std::uint32_t>(options.InkSeed) : 1;
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
