// The stamp operations end to end on the real clipboard and registry: which
// formats a stamp leaves, in which order, and what they hold.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "FileSystem.h"
#include "Mainform.h"
#include "ProgramFolder.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "harness/Clipboard.h"
#include "harness/Dialogs.h"
#include "harness/Pixels.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::kRoot;
using harness::WriteString;

// Our three formats in the order a stamp left them (the platform may add
// formats it synthesises after them).
std::vector<UINT> OurFormats() {
  std::vector<UINT> ours;
  for (UINT f : harness::ClipboardFormats())
    if (f == CF_ENHMETAFILE || f == CF_METAFILEPICT || f == CF_DIB) ours.push_back(f);
  return ours;
}

BITMAPINFOHEADER DibHeader() {
  BITMAPINFOHEADER header{};
  if (auto bytes = harness::ClipboardBytes(CF_DIB); bytes && bytes->size() >= sizeof header)
    std::memcpy(&header, bytes->data(), sizeof header);
  return header;
}

LONG FrameWidth() {
  auto header = harness::ClipboardEnhMetaHeader();
  return header ? header->rclFrame.right - header->rclFrame.left : 0;
}

LONG FrameHeight() {
  auto header = harness::ClipboardEnhMetaHeader();
  return header ? header->rclFrame.bottom - header->rclFrame.top : 0;
}

LONG OnePixel() { return harness::kOneReferencePixel; }

class Stamping : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::DeleteTree(L"Software\\Qdx");
    RunVersionCheck(store, nullptr);
    LoadAllSettings(store, FileExists);
    // Every stamp reloads its seal from the registry; the options are what
    // the tests set in memory.
    OptionSettings.ShowMessage = 1;
    OptionSettings.CheckDate = 0;  // no date prompt unless a test asks for it
    ASSERT_TRUE(pad.Create());
    pad.Desk().ShowInformation = [this](const StampNotice& notice) {
      ++informationShown;
      lastPlaced = notice.placed;
    };
    pad.EndProgram = [this] { ++endProgram; };
    ASSERT_TRUE(harness::PutClipboardText("previous contents"));
  }
  void TearDown() override { harness::DeleteTree(L"Software\\Qdx"); }

  void Options(int clipboardFormat, int genMetafile) {
    OptionSettings.ClipboardFormat = clipboardFormat;
    OptionSettings.GenMetafile = genMetafile;
  }

  RegistryStore store;
  std::uint8_t ready = 1;
  TForm1 pad{store, ready};
  int informationShown = 0;
  PlacedFormats lastPlaced;
  int endProgram = 0;
};

TEST_F(Stamping, StandardModeWritesTheConfiguredFormatsInOrderAndNothingOld) {
  const std::vector<UINT> expected[] = {{CF_ENHMETAFILE, CF_METAFILEPICT},
                                        {CF_DIB},
                                        {CF_ENHMETAFILE, CF_METAFILEPICT, CF_DIB}};
  for (int format = 0; format <= 2; ++format) {
    for (auto stamp : {&TForm1::SpeedButton1Click, &TForm1::SpeedButton2Click}) {
      harness::PutClipboardText("previous contents");
      Options(format, 0);
      (pad.*stamp)();
      EXPECT_EQ(OurFormats(), expected[format]) << "ClipboardFormat " << format;
      EXPECT_FALSE(harness::ClipboardBytes(CF_TEXT).has_value()) << "the old text is gone";
      EXPECT_EQ(ready, 1);
    }
  }
  EXPECT_EQ(informationShown, 6);
}

TEST_F(Stamping, SimpleMetafileModePutsTheDibFirst) {
  Options(2, 1);
  pad.SpeedButton1Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_DIB, CF_ENHMETAFILE, CF_METAFILEPICT}));
  Options(0, 1);
  pad.SpeedButton2Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_ENHMETAFILE, CF_METAFILEPICT}));
  Options(1, 1);
  pad.SpeedButton2Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_DIB})) << "DIB only never uses the simple metafile";
}

TEST_F(Stamping, DibIsSixteenColoursAtTheStampResolution) {
  Options(1, 0);
  pad.SpeedButton1Click();
  BITMAPINFOHEADER dib = DibHeader();
  EXPECT_EQ(dib.biSize, 40u);
  EXPECT_EQ(dib.biWidth, 242);
  EXPECT_EQ(dib.biHeight, 242);
  EXPECT_EQ(dib.biBitCount, 4);
  EXPECT_EQ(dib.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(dib.biSizeImage, 124u * 242u) << "the padded rows";
  EXPECT_EQ(dib.biXPelsPerMeter, 26000);
  EXPECT_EQ(dib.biYPelsPerMeter, 26000);
  EXPECT_GE(harness::ClipboardBytes(CF_DIB)->size(), 80104u);
  const auto bytes = harness::ClipboardBytes(CF_DIB);
  const PackedDib pixels(bytes->begin(), bytes->end());
  EXPECT_EQ(harness::IndexedPixelAt(pixels, 121, 121 - 117 + 1), (harness::Rgb{255, 0, 0})) << "the ring, in red";
  EXPECT_EQ(harness::IndexedPixelAt(pixels, 2, 2), (harness::Rgb{255, 255, 255})) << "outside it, white";

  pad.SpeedButton2Click();
  EXPECT_EQ(DibHeader().biXPelsPerMeter, 15249);
  OptionSettings.RezoHosei = 200;
  pad.SpeedButton2Click();
  EXPECT_EQ(DibHeader().biXPelsPerMeter, 7624) << "1524900 / 200";
}

TEST_F(Stamping, ARepeatedStampIsTheSamePictureUntilTheSealChanges) {
  Options(2, 0);
  pad.SpeedButton1Click();
  const auto first = harness::ClipboardBytes(CF_DIB);
  ASSERT_TRUE(first.has_value());
  const auto firstMetafileSize = harness::ClipboardBytes(CF_ENHMETAFILE).value_or(std::vector<std::uint8_t>()).size();
  pad.SpeedButton1Click();
  EXPECT_EQ(harness::ClipboardBytes(CF_DIB), first);
  EXPECT_EQ(harness::ClipboardBytes(CF_ENHMETAFILE).value_or(std::vector<std::uint8_t>()).size(), firstMetafileSize);

  // Another program (the seal editor, say) stores a blue seal.
  WriteString(harness::Section(L"NameStamp"), L"StampColor", L"16711680");
  pad.SpeedButton1Click();
  const auto bytes = harness::ClipboardBytes(CF_DIB);
  ASSERT_TRUE(bytes.has_value());
  const PackedDib pixels(bytes->begin(), bytes->end());
  EXPECT_EQ(harness::IndexedPixelAt(pixels, 121, 121 - 117 + 1), (harness::Rgb{0, 0, 255})) << "the ring, now blue";
}

TEST_F(Stamping, FontsInstalledOrRemovedMakeTheNextPictureDrawnAnew) {
  Options(1, 0);
  pad.SpeedButton1Click();
  pad.SpeedButton2Click();
  EXPECT_TRUE(pad.Seal.Pictures.Holds(SealPictureCache::Seal::Name));
  EXPECT_TRUE(pad.Seal.Pictures.Holds(SealPictureCache::Seal::Date));
  SendMessageW(pad.Handle(), WM_FONTCHANGE, 0, 0);
  EXPECT_FALSE(pad.Seal.Pictures.Holds(SealPictureCache::Seal::Name));
  EXPECT_FALSE(pad.Seal.Pictures.Holds(SealPictureCache::Seal::Date));
}

TEST_F(Stamping, PictureMetafileHasThePrintedSize) {
  Options(0, 0);
  pad.SpeedButton1Click();
  const LONG nameWidth = FrameWidth();
  EXPECT_NEAR(nameWidth, 242 * 100000 / 26000, OnePixel()) << "9.3 mm";
  auto pict = harness::ClipboardMetafilePict();
  ASSERT_TRUE(pict.has_value());
  EXPECT_EQ(pict->mm, MM_ANISOTROPIC);
  EXPECT_EQ(pict->xExt, nameWidth);
  EXPECT_EQ(pict->yExt, FrameHeight());

  pad.SpeedButton2Click();
  EXPECT_NEAR(FrameWidth(), 238 * 100000 / 15249, OnePixel());

  OptionSettings.RezoHosei = 200;
  pad.SpeedButton1Click();
  EXPECT_NEAR(FrameWidth(), 242 * 100000 / 13000, OnePixel()) << "RezoHosei 200 doubles the printed size";

  OptionSettings.RezoHosei = 100;
  Options(0, 1);
  pad.SpeedButton1Click();
  EXPECT_NEAR(FrameWidth(), 242 * 100000 / 26000, 2 * OnePixel()) << "the simple metafile too";
}

// The size of the Windows metafile on the clipboard, in bytes.
UINT ClipboardWindowsMetafileBytes() {
  UINT bytes = 0;
  if (!OpenClipboard(nullptr)) return 0;
  if (HANDLE data = GetClipboardData(CF_METAFILEPICT)) {
    if (auto* pict = static_cast<METAFILEPICT*>(GlobalLock(data))) {
      bytes = GetMetaFileBitsEx(pict->hMF, 0, nullptr);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

TEST_F(Stamping, HugeSealsGetNoDibButStillTheirMetafile) {
  // 1208 x 1208 pixels: a picture of over 4 MB, whose Windows metafile is
  // made after asking its size rather than into a buffer of a guessed size.
  WriteString(harness::Section(L"NameStamp"), L"StampSize", L"600");
  Options(2, 0);
  pad.SpeedButton1Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_ENHMETAFILE, CF_METAFILEPICT}));
  EXPECT_GT(ClipboardWindowsMetafileBytes(), 1208u * 1208u * 3u) << "the whole picture";
  EXPECT_TRUE(lastPlaced.enhMetafile && lastPlaced.metafilePict && !lastPlaced.dib)
      << "the information message claims only what was placed";
  WriteString(harness::Section(L"NameStamp"), L"StampSize", L"117");
  pad.SpeedButton1Click();
  const UINT ordinary = ClipboardWindowsMetafileBytes();
  EXPECT_GT(ordinary, 242u * 242u * 3u) << "the whole picture";
  EXPECT_LT(ordinary, 1208u * 1208u * 3u);
  WriteString(harness::Section(L"NameStamp"), L"StampSize", L"600");
  Options(1, 0);
  OptionSettings.ShowMessage = 0;
  OptionSettings.TerminateAsStamped = 1;
  const int shownBefore = informationShown;
  std::wstring reported;
  {
    harness::DialogDriver user(L"Varnel印鑑", [&reported](HWND box) {
      reported = harness::BoxText(box);
      harness::PressButton(box, IDOK);
    });
    pad.SpeedButton1Click();
  }
  EXPECT_TRUE(OurFormats().empty()) << "DIB only: the clipboard stays empty";
  EXPECT_NE(reported.find(L"大きすぎる"), std::wstring::npos) << "and the user is told why, not that it worked";
  EXPECT_EQ(informationShown, shownBefore);
  EXPECT_EQ(endProgram, 0) << "no after-stamp action for a stamp that placed nothing";
  EXPECT_EQ(ready, 1);
}

TEST_F(Stamping, CopyGuardAddsTheBandWhenTheDocumentIdIsGiven) {
  Options(0, 0);
  pad.SpeedButton1Click();
  const LONG plainHeight = FrameHeight();

  OptionSettings.CopyGuard = 1;
  {
    harness::DialogDriver user(L"押印先文書の文書ID", [](HWND dialog) {
      harness::SetControlText(dialog, IDC_DOCID_DID, L"DOC-42");
      harness::Click(dialog, IDOK);
    });
    pad.SpeedButton1Click();
  }
  EXPECT_NEAR(FrameHeight(), plainHeight + harness::ReferenceFrame(30), OnePixel()) << "30 pixels taller";
  EXPECT_NEAR(FrameWidth(), harness::ReferenceFrame(100), OnePixel()) << "a narrow seal sits on a RezoHosei-wide canvas";

  {
    harness::DialogDriver user(L"押印先文書の文書ID", [](HWND dialog) { harness::Click(dialog, IDCANCEL); });
    pad.SpeedButton1Click();
  }
  EXPECT_NEAR(FrameHeight(), plainHeight, 1) << "a cancelled prompt stamps as without the guard";
}

// The picture metafile played over a coloured page: what a document shows.
harness::Rgb PastedPixel(COLORREF page, int x, int y) {
  auto header = harness::ClipboardEnhMetaHeader();
  if (!header) return {};
  const int w = header->rclBounds.right + 1, h = header->rclBounds.bottom + 1;
  GdiWorkImage document;
  document.SetSize(w, h);
  Canvas& canvas = document.BitmapCanvas();
  canvas.Pen.color = page;
  canvas.Brush = {page, BrushStyle::Solid};
  canvas.Rectangle({0, 0, w, h});
  OpenClipboard(nullptr);
  auto emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  const RECT r{0, 0, w, h};
  PlayEnhMetaFile(document.BitmapDc(), emf, &r);
  CloseClipboard();
  return harness::PixelAt(document.BitmapAsDib24(), x, y);
}

TEST_F(Stamping, DocumentFilterChoosesHowTheSealMeetsThePage) {
  Options(0, 0);
  const COLORREF grey = RGB(128, 128, 128);
  OptionSettings.DocumentFilter = 0;
  pad.SpeedButton1Click();
  EXPECT_TRUE(PastedPixel(grey, 1, 1).IsWhite()) << "Solid: the white background covers the page";
  OptionSettings.DocumentFilter = 1;
  pad.SpeedButton1Click();
  EXPECT_EQ(PastedPixel(grey, 1, 1), (harness::Rgb{128, 128, 128})) << "Transparent: the page shows through";
  OptionSettings.DocumentFilter = 2;
  pad.SpeedButton1Click();
  EXPECT_TRUE(PastedPixel(RGB(0, 0, 0), 1, 1).IsWhite()) << "Invert: white over a black page";
}

TEST_F(Stamping, BackgroundPatternNeedsTheCopyGuard) {
  Options(0, 0);
  OptionSettings.DocumentFilter = 0;
  OptionSettings.BackImage = 3;
  pad.SpeedButton1Click();
  const LONG height = FrameHeight();
  EXPECT_TRUE(PastedPixel(RGB(255, 255, 255), 1, 1).IsWhite()) << "no pattern without the guard";
  OptionSettings.BackImage = 0;
  pad.SpeedButton1Click();
  EXPECT_EQ(FrameHeight(), height);
}

TEST_F(Stamping, RandomTiltStaysWithinFifteenDegrees) {
  Options(1, 0);
  OptionSettings.Rotate = 2;
  OptionSettings.RotateSz = 1;
  const double limit = 242 * (std::cos(15 * 3.1415 / 180) + std::sin(15 * 3.1415 / 180));
  for (int i = 0; i < 3; ++i) {
    pad.SpeedButton1Click();
    const LONG width = DibHeader().biWidth;
    EXPECT_GE(width, 242 * 0.999 - 1);
    EXPECT_LE(width, limit + 1);
  }
}

TEST_F(Stamping, CancelledPasswordLeavesTheClipboardAlone) {
  OptionSettings.PasswordOnStamp = 0;
  int readyDuringPrompt = -1;
  {
    harness::DialogDriver user(L"Varnel印鑑", [&](HWND dialog) {
      readyDuringPrompt = ready;
      harness::Click(dialog, IDCANCEL);
    });
    pad.SpeedButton1Click();
    EXPECT_TRUE(user.Found());
  }
  EXPECT_EQ(readyDuringPrompt, 0);
  EXPECT_EQ(ready, 1);
  auto text = harness::ClipboardBytes(CF_TEXT);
  ASSERT_TRUE(text.has_value());
  EXPECT_STREQ(reinterpret_cast<const char*>(text->data()), "previous contents");
  EXPECT_EQ(informationShown, 0);
}

DWORD WINAPI HoldClipboardBriefly(void*) {
  OpenClipboard(nullptr);
  Sleep(300);
  CloseClipboard();
  return 0;
}

struct HoldEvents {
  HANDLE held, release;
};

DWORD WINAPI HoldClipboardUntilReleased(void* param) {
  auto* events = static_cast<HoldEvents*>(param);
  OpenClipboard(nullptr);
  SetEvent(events->held);
  WaitForSingleObject(events->release, 20000);
  CloseClipboard();
  return 0;
}

TEST_F(Stamping, AClipboardHeldByAnotherProgramIsReportedNotShownAsDone) {
  // Held briefly: the stamp waits and succeeds.
  HANDLE holder = CreateThread(nullptr, 0, HoldClipboardBriefly, nullptr, 0, nullptr);
  Sleep(50);
  Options(2, 0);
  pad.SpeedButton1Click();
  WaitForSingleObject(holder, 5000);
  CloseHandle(holder);
  EXPECT_EQ(OurFormats().size(), 3u);
  EXPECT_EQ(informationShown, 1);

  // Held for good: the failure is reported and no success is shown.
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HoldEvents events{held, release};
  HANDLE keeper = CreateThread(nullptr, 0, HoldClipboardUntilReleased, &events, 0, nullptr);
  WaitForSingleObject(held, 5000);
  std::wstring reported;
  {
    harness::DialogDriver user(L"Varnel印鑑", [&](HWND box) {
      reported = harness::ControlText(box, 0xFFFF);
      SetEvent(release);
      harness::Click(box, IDOK);
    });
    pad.SpeedButton1Click();
  }
  WaitForSingleObject(keeper, 5000);
  CloseHandle(keeper);
  CloseHandle(held);
  CloseHandle(release);
  EXPECT_EQ(reported, L"クリップボードを開けませんでした。");
  EXPECT_EQ(informationShown, 1) << "no success message for the failed stamp";
  EXPECT_EQ(ready, 1);
}

TEST_F(Stamping, ControlRequestsShowNoMessageAndClearTimerArms) {
  OptionSettings.ClipBrdClear = 2;
  pad.Desk().Serve({StampTrigger::kVrnCtl, true}, [this] { pad.SpeedButton1Click(); });
  EXPECT_EQ(informationShown, 0);
  EXPECT_EQ(OurFormats().size(), 3u);
  EXPECT_TRUE(pad.Desk().Clearing().ClearTimerEnabled());
  pad.Desk().Clearing().ClearTimerTimer();
  EXPECT_TRUE(OurFormats().empty()) << "the timer empties the clipboard";
  EXPECT_FALSE(pad.Desk().Clearing().ClearTimerEnabled());
}

// The bitmap seal file in the user's own folder, where the program keeps the
// seals a user makes.
class BitmapSealFolder {
 public:
  BitmapSealFolder() { MakeUserFolder(); }
  ~BitmapSealFolder() { Remove(); }
  void Remove() { DeleteFileW(path_.c_str()); }
  void Write(const std::string& bytes) {
    HANDLE h = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
  }
  // A white square of side pixels with a red disc, as a 24-bit .bmp file.
  void WriteSeal(int side) {
    const std::size_t stride = (static_cast<std::size_t>(side) * 3 + 3) / 4 * 4;
    PackedDib dib(40 + stride * side, 0xFF);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = header.biHeight = side;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::memcpy(dib.data(), &header, sizeof header);
    for (int y = side / 4; y < side * 3 / 4; ++y)
      for (int x = side / 4; x < side * 3 / 4; ++x) {
        std::uint8_t* p = dib.data() + 40 + stride * y + x * 3;
        p[0] = 0, p[1] = 0, p[2] = 255;
      }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + 40;
    file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(dib.data()), dib.size());
    Write(bytes);
  }

 private:
  const std::wstring path_ = UserFile(L"varnel.bmp");
};

TEST_F(Stamping, BitmapSealOfEightHundredPixelsStillGetsADib) {
  BitmapSealFolder folder;
  folder.WriteSeal(800);
  std::strcpy(OptionSettings.Bitmap1, "varnel.bmp");
  Options(2, 1);
  pad.B1Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_ENHMETAFILE, CF_METAFILEPICT, CF_DIB}));
  const BITMAPINFOHEADER dib = DibHeader();
  EXPECT_EQ(dib.biWidth, 800);
  EXPECT_EQ(dib.biBitCount, 4);
  EXPECT_EQ(dib.biXPelsPerMeter, 15294);
  EXPECT_NEAR(FrameWidth(), 800 * 100000 / 15294, OnePixel());
  EXPECT_EQ(informationShown, 1);
}

TEST_F(Stamping, UnreadableBitmapSealFilesAreReportedWithoutACrash) {
  BitmapSealFolder folder;
  std::strcpy(OptionSettings.Bitmap1, "varnel.bmp");
  std::string huge(54, '\0');
  huge[0] = 'B', huge[1] = 'M', huge[14] = 40, huge[26] = 1, huge[28] = 24;
  const DWORD side = 100000;
  std::memcpy(&huge[18], &side, 4);
  std::memcpy(&huge[22], &side, 4);
  const std::string cases[] = {"", "BM", "GIF89a not a bitmap at all", huge};
  int reported = 0;
  for (std::size_t i = 0; i <= std::size(cases); ++i) {
    if (i < std::size(cases)) folder.Write(cases[i]);  // the last round has no file at all
    else folder.Remove();
    harness::PutClipboardText("previous contents");
    {
      harness::DialogDriver user(L"", [&](HWND box) {
        if (harness::ControlText(box, 0xFFFF) == L"画像ファイルを読み込めません") ++reported;
        harness::Click(box, IDOK);
      });
      pad.B1Click();
    }
    EXPECT_TRUE(OurFormats().empty()) << "case " << i;
    EXPECT_EQ(ready, 1);
  }
  EXPECT_EQ(reported, 5);
  EXPECT_EQ(informationShown, 0);
}

// Every stamp path, with the seals edited between stamps so that each is
// read and drawn anew: the objects a stamp makes are all gone afterwards
// (the clipboard's own copies of the last pictures aside).
TEST_F(Stamping, StampsLeaveNoGdiObjectsBehind) {
  BitmapSealFolder folder;
  folder.WriteSeal(120);
  std::strcpy(OptionSettings.Bitmap1, "varnel.bmp");
  auto everyPath = [this](int round) {
    const wchar_t* colour = round % 2 == 0 ? L"255" : L"254";
    WriteString(harness::Section(L"NameStamp"), L"StampColor", colour);
    WriteString(harness::Section(L"DateStamp"), L"StampColor", colour);
    Options(2, 0);
    pad.SpeedButton1Click();
    pad.SpeedButton2Click();
    Options(2, 1);
    pad.SpeedButton1Click();
    pad.SpeedButton2Click();
    pad.B1Click();
  };
  everyPath(0);  // the first stamps make the caches and fonts that stay
  const int before = harness::FreeGdiObjects();
  ASSERT_GT(before, 1000);
  constexpr int kRounds = 20;
  for (int round = 1; round <= kRounds; ++round) everyPath(round);
  EXPECT_EQ(OurFormats().size(), 3u) << "the last stamp still complete";
  EXPECT_LE(before - harness::FreeGdiObjects(), 2) << kRounds * 5 << " stamps";
}

}  // namespace
