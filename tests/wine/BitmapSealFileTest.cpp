// Bitmap seals as users have them: scans and pictures saved by other
// programs in every BMP variant, PNG, JPEG, TIFF and GIF, stamped by the real
// program. The JPEG, TIFF, GIF and PNG pictures are written at build time by
// an independent program (ImageMagick), the BMP variants byte by byte here.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/Clipboard.h"
#include "harness/HostPath.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

namespace {

using harness::kRoot;
using harness::Rgb;

constexpr int kWidth = 120, kHeight = 80;
const std::wstring kSealFile = L"scan-seal.img";
constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// The picture every file holds: the top half red; below, a blue bar on an
// empty ground (white, or transparent where the format has transparency).
Rgb Expected(int x, int y) {
  if (y < kHeight / 2) return kRed;
  if (x >= 30 && x < 90 && y >= 50 && y < 70) return kBlue;
  return kWhite;
}

template <typename T>
void Append(std::vector<std::uint8_t>& bytes, const T& value) {
  const std::size_t at = bytes.size();
  bytes.resize(at + sizeof value);
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

std::vector<std::uint8_t> BmpFile(const BITMAPINFOHEADER& info, const std::vector<std::uint8_t>& extra,
                                  const std::vector<std::uint8_t>& pixels) {
  const std::size_t offset = 14 + sizeof info + extra.size();
  std::vector<std::uint8_t> bytes(offset + pixels.size());
  const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(bytes.size()), 0, 0, static_cast<DWORD>(offset)};
  std::memcpy(bytes.data(), &file, 14);
  std::memcpy(bytes.data() + 14, &info, sizeof info);
  std::copy(extra.begin(), extra.end(), bytes.begin() + 14 + sizeof info);
  std::copy(pixels.begin(), pixels.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  return bytes;
}

// 32 bits a pixel, rows from the top (a negative height), the fourth byte 0
// as many programs leave it.
std::vector<std::uint8_t> TopDown32BitBmp() {
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const Rgb c = Expected(x, y);
      pixels.insert(pixels.end(), {c.b, c.g, c.r, 0});
    }
  return BmpFile({40, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, pixels);
}

// 16 bits a pixel in 5-6-5 bit fields, bottom-up.
std::vector<std::uint8_t> BitFields565Bmp() {
  std::vector<std::uint8_t> masks;
  for (DWORD mask : {DWORD{0xF800}, DWORD{0x07E0}, DWORD{0x001F}}) Append(masks, mask);
  std::vector<std::uint8_t> pixels;
  for (int y = kHeight - 1; y >= 0; --y)
    for (int x = 0; x < kWidth; ++x) {
      const Rgb c = Expected(x, y);
      Append(pixels, static_cast<WORD>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3)));
    }
  return BmpFile({40, kWidth, kHeight, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0}, masks, pixels);
}

// 8 bits a pixel, run-length encoded, bottom-up.
std::vector<std::uint8_t> Rle8Bmp() {
  std::vector<std::uint8_t> palette;
  for (RGBQUAD q : {RGBQUAD{255, 255, 255, 0}, RGBQUAD{0, 0, 255, 0}, RGBQUAD{255, 0, 0, 0}}) Append(palette, q);
  auto index = [](Rgb c) -> std::uint8_t { return c == kRed ? 1 : c == kBlue ? 2 : 0; };
  std::vector<std::uint8_t> pixels;
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth;) {
      int run = 1;
      while (x + run < kWidth && run < 255 && Expected(x + run, y) == Expected(x, y)) ++run;
      pixels.insert(pixels.end(), {static_cast<std::uint8_t>(run), index(Expected(x, y))});
      x += run;
    }
    pixels.insert(pixels.end(), {0, 0});  // end of line
  }
  pixels.insert(pixels.end(), {0, 1});  // end of picture
  BITMAPINFOHEADER info{40, kWidth, kHeight, 1, 8, BI_RLE8, static_cast<DWORD>(pixels.size()), 0, 0, 3, 0};
  return BmpFile(info, palette, pixels);
}

std::vector<std::uint8_t> FixtureFile(const std::wstring& name) {
  std::vector<std::uint8_t> bytes;
  if (FILE* in = _wfopen(harness::HostPath(VARNEL_FIXTURES_UNIX L"/" + name).c_str(), L"rb")) {
    for (int c; (c = std::fgetc(in)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(in);
  }
  return bytes;
}

class BitmapSealFile : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    harness::WriteString(kRoot, L"Bitmap1", kSealFile);
    harness::WriteString(kRoot, L"ClipboardFormat", L"1");  // the DIB, to look at its pixels
    WriteSeal(TopDown32BitBmp());
  }
  void TearDown() override {
    if (program.Running()) {
      PostMessageW(harness::WaitForWindow(L"VarnelMain", 1000), WM_USER, 5, 0);
      if (HWND box = harness::WaitForBox(L"Varnel印鑑", 5000)) harness::PressButton(box, IDOK);
      program.WaitForExit(10000);
    }
    harness::DeleteTree(L"Software\\Qdx");
    DeleteFileW(harness::DistPath(kSealFile).c_str());
  }
  static void WriteSeal(const std::vector<std::uint8_t>& bytes) {
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(harness::WriteWholeFile(harness::DistPath(kSealFile), bytes.data(), bytes.size()));
  }
  // Stamps the bitmap seal through VrnCtl; the DIB the clipboard then holds.
  PackedDib Stamp() {
    harness::PutClipboardText("before");
    const DWORD before = GetClipboardSequenceNumber();
    if (ctl.Call("_BmpStamp") == 0) return {};
    for (int i = 0; i < 500 && (GetClipboardSequenceNumber() == before || !IsClipboardFormatAvailable(CF_DIB)); ++i)
      Sleep(20);
    const auto bytes = harness::ClipboardBytes(CF_DIB);
    return bytes ? PackedDib(bytes->begin(), bytes->end()) : PackedDib{};
  }

  harness::RunningProgram program{harness::DistPath(L"Varnel.exe")};
  harness::VrnCtlLibrary ctl;
};

TEST_F(BitmapSealFile, EveryKindOfPictureFileStampsAsDrawn) {
  ASSERT_NE(harness::WaitForWindow(L"VarnelMain", 20000), nullptr);
  const struct {
    const char* kind;
    std::vector<std::uint8_t> bytes;
  } files[] = {
      {"BMP, 32 bits, top-down", TopDown32BitBmp()},
      {"BMP, 16-bit bit fields", BitFields565Bmp()},
      {"BMP, RLE8", Rle8Bmp()},
      {"PNG with transparency", FixtureFile(L"scan.png")},
      {"JPEG", FixtureFile(L"scan.jpg")},
      {"TIFF with transparency", FixtureFile(L"scan.tif")},
      {"GIF with a transparent colour", FixtureFile(L"scan.gif")},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.kind);
    WriteSeal(file.bytes);
    const PackedDib dib = Stamp();
    ASSERT_EQ(harness::DibWidth(dib), kWidth);
    ASSERT_EQ(harness::DibHeight(dib), kHeight);
    // Away from the edges between colours, where JPEG blurs.
    for (const POINT p : {POINT{10, 5}, POINT{110, 35}, POINT{60, 60}, POINT{5, 75}, POINT{115, 45}})
      EXPECT_EQ(harness::IndexedPixelAt(dib, p.x, p.y), Expected(p.x, p.y)) << "at " << p.x << "," << p.y;
  }
}

TEST_F(BitmapSealFile, AFileThatCannotBeReadIsReportedAndStaysTheSeal) {
  const std::string text = "not a picture, only named like one\r\n";
  WriteSeal({text.begin(), text.end()});
  ASSERT_NE(harness::WaitForWindow(L"VarnelMain", 20000), nullptr);
  EXPECT_EQ(harness::WaitForBox(L"Varnel印鑑", 1500), nullptr) << "a file that is there is not reported missing";
  ctl.Call("_BmpStamp");
  HWND box = harness::WaitForBox(L"", 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(harness::BoxText(box), L"画像ファイルを読み込めません");
  harness::PressButton(box, IDOK);
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), kSealFile) << "the user's setting is kept";

  WriteSeal(TopDown32BitBmp());
  EXPECT_EQ(harness::DibWidth(Stamp()), kWidth) << "the mended file stamps without a restart";
}

}  // namespace
