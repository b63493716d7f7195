// Writes the three background patterns laid under a guarded seal as 150 x 150,
// 8-bit .bmp files: Shitaji.bmp (布１, pastel diagonal lines on white),
// Shitaji2.bmp (布２, pale cream weave) and Shitaji3.bmp (砂地, pale
// bluish-grey sand). Integer arithmetic and a private generator only, so the
// files come out byte for byte the same on every host.
// Usage: make_patterns <output folder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 150;
constexpr int kStride = (kSize + 3) / 4 * 4;

struct Rgb {
  std::uint8_t r, g, b;
};

struct Pattern {
  std::vector<Rgb> palette;       // every entry is used by some pixel
  std::vector<std::uint8_t> pixels;  // kSize x kSize indices, top row first
};

// A small linear congruential generator of our own, so that the patterns do
// not depend on (or disturb) the program's process-wide one.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed) {}
  // 0..1023
  int Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<int>(state_ >> 22);
  }

 private:
  std::uint32_t state_;
};

Pattern Generate(std::vector<Rgb> palette, const std::function<int(int x, int y)>& index) {
  Pattern pattern{std::move(palette), std::vector<std::uint8_t>(kSize * kSize)};
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) pattern.pixels[y * kSize + x] = static_cast<std::uint8_t>(index(x, y));
  return pattern;
}

// 布１: thin diagonal threads in four pastel hues, each with a lighter edge,
// crossing plain white.
Pattern ClothOne() {
  std::vector<Rgb> palette = {
      {255, 255, 255},                                                      // white
      {255, 226, 234}, {224, 234, 255}, {226, 246, 230}, {255, 244, 214},  // pink, blue, green, yellow
      {255, 241, 245}, {239, 244, 255}, {240, 251, 242}, {255, 250, 234},  // their edges
  };
  return Generate(std::move(palette), [](int x, int y) {
    const int diagonal = x + y;
    const int hue = diagonal / 10 % 4;
    switch (diagonal % 10) {
      case 0: return 1 + hue;
      case 1: return 5 + hue;
      default: return 0;
    }
  });
}

// 布２: a basket weave of 3-pixel threads in 6 x 6 cells, horizontal and
// vertical in turn, on a 17-step ramp from white to pale cream.
Pattern ClothTwo() {
  std::vector<Rgb> palette;
  for (int level = 0; level <= 16; ++level)
    palette.push_back({static_cast<std::uint8_t>(255 - level / 2), static_cast<std::uint8_t>(255 - level),
                       static_cast<std::uint8_t>(255 - level * 2)});
  std::array<int, 25 * 25> cellShade{};
  Noise noise(0x6E756E6F);
  for (int& shade : cellShade) shade = noise.Next() % 5;
  std::vector<int> grain(kSize * kSize);
  for (int& g : grain) g = noise.Next() < 160 ? 2 : 0;
  return Generate(std::move(palette), [cellShade, grain](int x, int y) {
    const int cellX = x / 6, cellY = y / 6;
    const bool horizontal = (cellX + cellY) % 2 == 0;
    // Across a thread: a shadowed edge, a bright crown, a middle tone.
    static constexpr int kProfile[3] = {7, 0, 3};
    int level = kProfile[(horizontal ? y : x) % 3];
    level += cellShade[cellY * 25 + cellX];
    // Where a thread dives under its neighbour it lies in shadow.
    const int along = (horizontal ? x : y) % 6;
    if (along == 0 || along == 5) level += 3;
    level += grain[y * kSize + x];
    return std::clamp(level, 0, 16);
  });
}

// 砂地: grains of bluish grey on white, most pixels white or nearly so and a
// few dark grains, each grain spilling a lighter shade onto the pixels to its
// left and above.
Pattern Sand() {
  std::vector<Rgb> palette;
  for (int level = 0; level <= 18; ++level)
    palette.push_back({static_cast<std::uint8_t>(255 - level * 5 / 2), static_cast<std::uint8_t>(255 - level * 2),
                       static_cast<std::uint8_t>(255 - level * 3 / 2)});
  std::vector<int> grain(kSize * kSize);
  Noise noise(0x73616E64);
  for (int& level : grain) {
    // The sixth power of a uniform value: level 0 for most pixels, the darkest
    // levels rare. cube is t^3 in thousandths of 1023^3.
    const std::int64_t t = noise.Next();
    const std::int64_t cube = t * t * t * 1000 / (std::int64_t{1023} * 1023 * 1023);
    level = static_cast<int>(std::min<std::int64_t>(19 * cube * cube / 1'000'000, 18));
  }
  auto at = [grain](int x, int y) { return grain[(y % kSize) * kSize + x % kSize]; };
  return Generate(std::move(palette), [at](int x, int y) {
    return std::max({at(x, y), at(x + 1, y) - 3, at(x, y + 1) - 3, 0});
  });
}

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::vector<std::uint8_t> BmpFile(const Pattern& pattern) {
  constexpr std::uint32_t kOffset = 14 + 40 + 256 * 4;
  constexpr std::uint32_t kImageSize = kStride * kSize;
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, kOffset + kImageSize);
  Put32(out, 0);
  Put32(out, kOffset);
  Put32(out, 40);
  Put32(out, kSize);
  Put32(out, kSize);  // positive: bottom-up rows
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);  // uncompressed
  Put32(out, kImageSize);
  Put32(out, 3780);  // 96 dots per inch
  Put32(out, 3780);
  Put32(out, 256);
  Put32(out, 0);
  for (std::size_t i = 0; i < 256; ++i) {
    const Rgb c = i < pattern.palette.size() ? pattern.palette[i] : Rgb{0, 0, 0};
    out.insert(out.end(), {c.b, c.g, c.r, 0});
  }
  for (int y = kSize - 1; y >= 0; --y) {
    const auto row = pattern.pixels.begin() + y * kSize;
    out.insert(out.end(), row, row + kSize);
    out.insert(out.end(), kStride - kSize, 0);
  }
  return out;
}

bool UsesWholePalette(const Pattern& pattern) {
  std::vector<bool> used(pattern.palette.size());
  for (std::uint8_t index : pattern.pixels) {
    if (index >= used.size()) return false;
    used[index] = true;
  }
  return std::all_of(used.begin(), used.end(), [](bool u) { return u; });
}

bool Write(const Pattern& pattern, const std::string& path) {
  if (!UsesWholePalette(pattern)) {
    std::fprintf(stderr, "make_patterns: %s does not use exactly its palette\n", path.c_str());
    return false;
  }
  const std::vector<std::uint8_t> bytes = BmpFile(pattern);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) std::fprintf(stderr, "make_patterns: cannot write %s\n", path.c_str());
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_patterns <output folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool ok = Write(ClothOne(), folder + "/Shitaji.bmp") & Write(ClothTwo(), folder + "/Shitaji2.bmp") &
                  Write(Sand(), folder + "/Shitaji3.bmp");
  return ok ? 0 : 1;
}
