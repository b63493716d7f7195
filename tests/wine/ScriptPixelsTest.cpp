// Graphic scripts drawn through GDI: picture sizes and where the shapes land.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "GdiWorkImage.h"
#include "GraphicScript.h"
#include "MemoryStore.h"
#include "Settings.h"
#include "Text.h"
#include "harness/Pixels.h"

namespace {

using harness::PixelAt;

// Writes a script (code page 932 bytes) into the temporary folder and
// removes it again.
class ScriptFile {
 public:
  explicit ScriptFile(const std::string& text) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"varnel-test.vgs";
    HANDLE h = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
  }
  ~ScriptFile() { DeleteFileW(path_.c_str()); }
  std::string Path() const { return Narrow(path_); }

 private:
  std::wstring path_;
};

class ScriptPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadAllSettings(store, [](std::string_view) { return false; });
  }
  SealForm form;
  GdiWorkImage image;
};

TEST_F(ScriptPixels, BitmapTakesTheSizeOfTheFirstSizeAndShapesLandWhereTheySay) {
  ScriptFile script(
      "Size 200 120\r\n"
      "LINECOLOR 0 0 255\r\n"
      "LINEWIDTH 3\r\n"
      "Rect 10 10 190 110\r\n"
      "BGCOLOR 0 255 0\r\n"
      "LINECOLOR 255 0 0\r\n"
      "Circle 60 30 140 90\r\n");
  EXPECT_EQ(RunGraphicScript(image, script.Path(), form), 14173);
  const PackedDib dib = image.BitmapAsDib24();
  ASSERT_EQ(harness::DibWidth(dib), 200);
  ASSERT_EQ(harness::DibHeight(dib), 120);
  EXPECT_EQ(PixelAt(dib, 10, 60), (harness::Rgb{0, 0, 255})) << "the rectangle's left edge is blue";
  EXPECT_EQ(PixelAt(dib, 100, 11), (harness::Rgb{0, 0, 255})) << "its top edge";
  EXPECT_TRUE(PixelAt(dib, 30, 60).IsWhite()) << "no fill before BGCOLOR";
  EXPECT_EQ(PixelAt(dib, 100, 60), (harness::Rgb{0, 255, 0})) << "the circle is filled green";
  EXPECT_EQ(PixelAt(dib, 61, 60), (harness::Rgb{255, 0, 0})) << "and outlined red";
  EXPECT_TRUE(PixelAt(dib, 2, 2).IsWhite());
}

TEST_F(ScriptPixels, MetafileHasTheSizeOfTheLastSize) {
  ScriptFile script(
      "Size 100 50\r\n"
      "Rect 0 0 100 50\r\n"
      "Reso 300\r\n"
      "Size 300 80\r\n"
      "Line 0 40 300 40\r\n");
  EXPECT_EQ(RunMetafileScript(image, script.Path(), form), 11811);
  ENHMETAHEADER header{};
  ASSERT_NE(GetEnhMetaFileHeader(image.Metafile(), sizeof header, &header), 0u);
  EXPECT_NEAR(header.rclFrame.right - header.rclFrame.left, harness::ReferenceFrame(300), harness::kOneReferencePixel);
  EXPECT_NEAR(header.rclFrame.bottom - header.rclFrame.top, harness::ReferenceFrame(80), harness::kOneReferencePixel);
  const PackedDib played = harness::PlayIntoDib(image.Metafile(), 300, 80);
  EXPECT_TRUE(PixelAt(played, 150, 40).IsReddish()) << "the default pen is red";
  EXPECT_TRUE(PixelAt(played, 1, 1).IsWhite()) << "the rectangle before the last Size is gone";
}

TEST_F(ScriptPixels, MissingFileGivesZeroAndNoPicture) {
  EXPECT_EQ(RunGraphicScript(image, "Z:\\no\\such\\script.vgs", form), 0);
  EXPECT_TRUE(image.BitmapAsDib24().empty());
  EXPECT_EQ(RunMetafileScript(image, "Z:\\no\\such\\script.vgs", form), 0);
  EXPECT_EQ(image.Metafile(), nullptr);
}

TEST_F(ScriptPixels, AbsurdSizesStayBoundedOnTheRealCanvas) {
  ScriptFile script(
      "Size 100000 100000\r\n"
      "LINEWIDTH 2000000000\r\n"
      "FONTSIZE 2000000000\r\n"
      "Circle -2000000000 -2000000000 2000000000 2000000000\r\n"
      "Text 大 0 0\r\n");
  EXPECT_EQ(RunGraphicScript(image, script.Path(), form), 14173);
  EXPECT_EQ(harness::DibWidth(image.BitmapAsDib24()), kScriptMaxPictureSide);
  GdiWorkImage metafile;
  EXPECT_EQ(RunMetafileScript(metafile, script.Path(), form), 14173);
  EXPECT_NE(metafile.Metafile(), nullptr);
}

TEST_F(ScriptPixels, TextWithBytesOutsideTheCodePageDrawsWhatCanBeRead) {
  // 名 followed by a lone lead byte, and a face name with a broken character.
  ScriptFile script(
      "Size 200 80\r\n"
      "FONTNAME \x82\x6C\x82\x72\x83 \r\n"
      "FONTSIZE 30\r\n"
      "Text \x96\xBC\x82 10 10\r\n");
  EXPECT_EQ(RunGraphicScript(image, script.Path(), form), 14173);
  const PackedDib dib = image.BitmapAsDib24();
  int left = 0, right = 0;  // ink of 名, and of the "・" for the bad byte beside it
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 200; ++x)
      if (PixelAt(dib, x, y).IsReddish()) (x < 50 ? left : right)++;
  EXPECT_GT(left, 50) << "the readable character is drawn";
  EXPECT_GT(right, 0) << "the unreadable byte shows as a mark";
  EXPECT_EQ(WideShowingInvalid("\x82\xA0\x82"), L"\u3042\u30FB");
}

}  // namespace
