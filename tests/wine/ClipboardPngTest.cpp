// A stamp as the programs that receive it read it: the transparent PNG that
// browsers, chat and image editors take, here through Wine's bridge to the
// X11 clipboard as another program on the display reads it; and the size
// that word processors give the metafiles, from their headers and from a
// rich edit control's paste. ImageMagick looks at the PNGs after the tests
// (check-clipboard-png).

#include <gtest/gtest.h>

#include <windows.h>

#include <richedit.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "FileSystem.h"
#include "UniqueHandle.h"
#include "Mainform.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "harness/Clipboard.h"
#include "harness/Dialogs.h"
#include "harness/HostPath.h"
#include "harness/Pixels.h"
#include "harness/Png.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

constexpr LONG kNameSealWidth = 242 * 100000 / 26000;  // 930: 9.3 mm
constexpr LONG kDateSealWidth = 238 * 100000 / 15249;  // 1560: 15.6 mm

std::wstring Output(const std::wstring& name) { return std::wstring(VARNEL_OUTPUT_UNIX) + L"/" + name; }

// What the X11 clipboard offers while this stamp is on it.
std::string X11Targets() {
  const std::wstring file = Output(L"x11-targets.txt");
  if (harness::RunHostShell(L"xclip -selection clipboard -t TARGETS -o >" + file) != 0) return "(xclip failed)";
  return harness::ReadWholeFile(harness::HostPath(file)).value_or("(unreadable)");
}

bool Offers(UINT format) {
  for (UINT f : harness::ClipboardFormats())
    if (f == format) return true;
  return false;
}

// The screen's scale, which the metafile headers record as their reference.
struct Screen {
  int pixelsX, pixelsY, millimetresX, millimetresY, dpiX;
  static Screen Now() {
    HDC dc = GetDC(nullptr);
    const Screen s{GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, HORZSIZE),
                   GetDeviceCaps(dc, VERTSIZE), GetDeviceCaps(dc, LOGPIXELSX)};
    ReleaseDC(nullptr, dc);
    return s;
  }
  // Screen pixels across that many hundredths of a millimetre, unrounded.
  double PixelsX(LONG hundredths) const { return hundredths / 100.0 * pixelsX / millimetresX; }
  double PixelsY(LONG hundredths) const { return hundredths / 100.0 * pixelsY / millimetresY; }
};

// The window extent of the Windows metafile on the clipboard: the picture's
// size in the metafile's own units.
SIZE WindowsMetafileExtent() {
  SIZE extent{0, 0};
  if (!OpenClipboard(nullptr)) return extent;
  std::vector<BYTE> bits;
  if (HANDLE data = GetClipboardData(CF_METAFILEPICT)) {
    if (auto* pict = static_cast<METAFILEPICT*>(GlobalLock(data))) {
      bits.resize(GetMetaFileBitsEx(pict->hMF, 0, nullptr));
      GetMetaFileBitsEx(pict->hMF, static_cast<UINT>(bits.size()), bits.data());
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  constexpr WORD kSetWindowExt = 0x020C;
  for (std::size_t at = 18; at + 10 <= bits.size();) {  // after the 18-byte header
    DWORD words = 0;
    WORD function = 0;
    std::memcpy(&words, &bits[at], 4);
    std::memcpy(&function, &bits[at + 4], 2);
    if (words < 3 || function == 0) break;
    if (function == kSetWindowExt) {
      SHORT y = 0, x = 0;  // parameters in reverse order
      std::memcpy(&y, &bits[at + 6], 2);
      std::memcpy(&x, &bits[at + 8], 2);
      extent = {x, y};
    }
    at += static_cast<std::size_t>(words) * 2;
  }
  return extent;
}

DWORD CALLBACK CollectRtf(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), count);
  *done = count;
  return 0;
}

long RtfNumber(const std::string& rtf, const std::string& word) {
  const std::size_t at = rtf.find("\\" + word);
  return at == std::string::npos ? -1 : std::strtol(rtf.c_str() + at + word.size() + 1, nullptr, 10);
}

// The clipboard pasted into a rich edit control, as a word processor pastes:
// the size it records for the picture (in hundredths of a millimetre, from
// the picture's RTF), and the width it shows it at (in screen pixels).
struct RichEditPaste {
  long width = -1, height = -1;
  long shownPixels = -1;
};

RichEditPaste PasteIntoRichEdit() {
  RichEditPaste paste;
  if (!LoadLibraryW(L"msftedit.dll")) return paste;
  HWND edit = CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | WS_VISIBLE | ES_MULTILINE, 0, 0, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
  if (!edit) return paste;
  SendMessageW(edit, WM_PASTE, 0, 0);
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"x"));
  POINTL before{}, after{};
  SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&before), 0);
  SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&after), 1);
  paste.shownPixels = after.x - before.x;
  std::string rtf;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, CollectRtf};
  SendMessageW(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  DestroyWindow(edit);
  paste.width = RtfNumber(rtf, "picw");
  paste.height = RtfNumber(rtf, "pich");
  return paste;
}

class ClipboardPng : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::DeleteTree(L"Software\\Qdx");
    RunVersionCheck(store, nullptr);
    LoadAllSettings(store, FileExists);
    OptionSettings.CheckDate = 0;
    OptionSettings.ClipboardFormat = 2;
    OptionSettings.GenMetafile = 0;
    ASSERT_TRUE(pad.Create());
    pad.Desk().ShowInformation = [this](const StampNotice& notice) {
      lastPlaced = notice.placed;
      lastNotice = notice;
    };
    CreateDirectoryW(harness::HostPath(VARNEL_OUTPUT_UNIX).c_str(), nullptr);
    harness::PutClipboardText("previous contents");
  }
  void TearDown() override {
    OptionSettings.ClipboardPng = 0;
    harness::DeleteTree(L"Software\\Qdx");
  }

  // Our formats in the order the stamp left them.
  static std::vector<UINT> OurFormats() {
    std::vector<UINT> ours;
    for (UINT f : harness::ClipboardFormats())
      if (f == CF_ENHMETAFILE || f == CF_METAFILEPICT || f == CF_DIB || f == PngClipboardFormat()) ours.push_back(f);
    return ours;
  }

  RegistryStore store;
  std::uint8_t ready = 1;
  TForm1 pad{store, ready};
  PlacedFormats lastPlaced;
  StampNotice lastNotice;
};

TEST_F(ClipboardPng, WithTheOptionOnASealAlsoReachesX11ProgramsAsATransparentPngAtItsResolution) {
  OptionSettings.ClipboardPng = 1;
  const UINT png = PngClipboardFormat();
  struct Case {
    void (TForm1::*stamp)();
    const wchar_t* name;
    long long resolution;
  };
  for (const Case& c : {Case{&TForm1::SpeedButton1Click, L"name-seal", 26000},
                        Case{&TForm1::SpeedButton2Click, L"date-seal", 15249}}) {
    SCOPED_TRACE(c.name);
    (pad.*c.stamp)();
    EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_ENHMETAFILE, CF_METAFILEPICT, CF_DIB, png}));
    EXPECT_TRUE(lastPlaced.png) << "counted as placed, so the message names it";
    const auto bytes = harness::ClipboardBytes(png);
    ASSERT_TRUE(bytes.has_value());
    const harness::PngFacts facts = harness::ReadPngFacts(*bytes);
    const auto dib = harness::ClipboardBytes(CF_DIB);
    ASSERT_TRUE(facts.valid && dib.has_value());
    const PackedDib dibPixels(dib->begin(), dib->end());
    EXPECT_EQ(facts.width, harness::DibWidth(dibPixels));
    EXPECT_EQ(facts.height, harness::DibHeight(dibPixels));
    EXPECT_EQ(facts.colourType, 6) << "RGB with an alpha channel";
    EXPECT_EQ(facts.bitDepth, 8) << "32 bits a pixel";
    EXPECT_TRUE(facts.hasPhysicalSize);
    EXPECT_EQ(facts.pixelsPerUnitX, c.resolution);
    EXPECT_EQ(facts.pixelsPerUnitY, c.resolution);
    EXPECT_EQ(facts.unit, 1) << "pixels per metre";

    // Another program on the display takes it as image/png, byte for byte.
    EXPECT_NE(X11Targets().find("image/png"), std::string::npos);
    const std::wstring pasted = Output(std::wstring(L"clipboard-") + c.name + L".png");
    ASSERT_EQ(harness::RunHostShell(L"xclip -selection clipboard -t image/png -o >" + pasted), 0);
    const std::string received = harness::ReadWholeFile(harness::HostPath(pasted)).value_or("");
    EXPECT_EQ(std::vector<std::uint8_t>(received.begin(), received.end()), *bytes);
    // The DIB beside it, for ImageMagick to compare the two pictures.
    const std::wstring dibFile = Output(std::wstring(L"clipboard-") + c.name + L"-dib.bmp");
    EXPECT_TRUE(harness::WriteBmp(dibPixels, harness::HostPath(dibFile)));
  }

  // Every clipboard output of a seal takes it, in the same session.
  OptionSettings.ClipboardFormat = 1;
  pad.SpeedButton1Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_DIB, png})) << "with the DIB alone";
  OptionSettings.ClipboardFormat = 0;
  pad.SpeedButton1Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_ENHMETAFILE, CF_METAFILEPICT, png})) << "with the metafiles alone";
  OptionSettings.ClipboardFormat = 2;
  OptionSettings.GenMetafile = 1;
  pad.SpeedButton2Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_DIB, CF_ENHMETAFILE, CF_METAFILEPICT, png})) << "simple metafile";
  EXPECT_FALSE(harness::ClipboardBytes(CF_TEXT).has_value()) << "nothing of the previous contents";
}

// The copy guard's marks are in the picture metafile alone: a PNG beside it
// would hand over the seal without them. The document ID is asked before the
// clipboard is opened, so that other programs are not kept off it meanwhile.
TEST_F(ClipboardPng, APictureWithTheCopyGuardsMarksGetsNoPngAndTheClipboardIsFreeWhileTheIdIsAsked) {
  OptionSettings.ClipboardPng = 1;
  OptionSettings.CopyGuard = 1;
  const UINT png = PngClipboardFormat();
  for (const bool accepted : {true, false}) {
    SCOPED_TRACE(accepted ? "document ID given" : "prompt cancelled");
    bool clipboardFree = false;
    {
      harness::DialogDriver user(L"押印先文書の文書ID", [&](HWND dialog) {
        clipboardFree = OpenClipboard(nullptr) != FALSE;
        if (clipboardFree) CloseClipboard();
        harness::SetControlText(dialog, IDC_DOCID_DID, L"DOC-42");
        harness::Click(dialog, accepted ? IDOK : IDCANCEL);
      });
      pad.SpeedButton1Click();
    }
    EXPECT_TRUE(clipboardFree);
    const std::vector<UINT> marked{CF_ENHMETAFILE, CF_METAFILEPICT, CF_DIB};
    const std::vector<UINT> unmarked{CF_ENHMETAFILE, CF_METAFILEPICT, CF_DIB, png};
    EXPECT_EQ(OurFormats(), accepted ? marked : unmarked);
    EXPECT_EQ(lastNotice.pngLeftOut, accepted) << "the message says why the PNG is missing";
  }
  OptionSettings.CopyGuard = 0;
}

// With the DIB alone, a seal too large for it still goes as a PNG, and the
// user is told why the DIB is missing.
TEST_F(ClipboardPng, ASealTooLargeForTheDibGoesAsThePngWithTheWarning) {
  OptionSettings.ClipboardPng = 1;
  OptionSettings.ClipboardFormat = 1;
  harness::WriteString(harness::Section(L"NameStamp"), L"StampSize", L"600");
  std::wstring warned;
  {
    harness::DialogDriver user(L"Varnel印鑑", [&warned](HWND box) {
      warned = harness::BoxText(box);
      harness::PressButton(box, IDOK);
    });
    pad.SpeedButton1Click();
  }
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{PngClipboardFormat()}));
  EXPECT_NE(warned.find(L"大きすぎる"), std::wstring::npos) << warned;
  EXPECT_TRUE(lastPlaced.png) << "and the message names the PNG";
}

TEST_F(ClipboardPng, WithTheOptionOffTheClipboardHoldsTheSameFormatsAsBefore) {
  OptionSettings.ClipboardPng = 0;
  pad.SpeedButton1Click();
  EXPECT_EQ(OurFormats(), (std::vector<UINT>{CF_ENHMETAFILE, CF_METAFILEPICT, CF_DIB}));
  EXPECT_FALSE(Offers(PngClipboardFormat()));
  EXPECT_FALSE(lastPlaced.png);
  const std::string targets = X11Targets();
  EXPECT_NE(targets.find("TARGETS"), std::string::npos) << "the X11 clipboard answered: " << targets;
  EXPECT_EQ(targets.find("image/png"), std::string::npos) << targets;
}

TEST_F(ClipboardPng, TheMetafilesSayTheDesignedSizeInEveryHeaderField) {
  const Screen screen = Screen::Now();
  struct Case {
    void (TForm1::*stamp)();
    int genMetafile;
    LONG designed;
    const wchar_t* file;
  };
  for (const Case& c : {Case{&TForm1::SpeedButton1Click, 0, kNameSealWidth, L"name-seal"},
                        Case{&TForm1::SpeedButton2Click, 0, kDateSealWidth, L"date-seal"},
                        Case{&TForm1::SpeedButton1Click, 1, kNameSealWidth, L"name-seal-simple"}}) {
    SCOPED_TRACE(c.file);
    OptionSettings.GenMetafile = c.genMetafile;
    (pad.*c.stamp)();
    const auto header = harness::ClipboardEnhMetaHeader();
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->rclFrame.right - header->rclFrame.left, c.designed) << "the frame";
    EXPECT_EQ(header->rclFrame.bottom - header->rclFrame.top, c.designed);
    // The reference device the bounds are counted in.
    EXPECT_EQ(header->szlDevice.cx, screen.pixelsX);
    EXPECT_EQ(header->szlDevice.cy, screen.pixelsY);
    EXPECT_EQ(header->szlMillimeters.cx, screen.millimetresX);
    EXPECT_EQ(header->szlMillimeters.cy, screen.millimetresY);
    // The bounds, in the reference's pixels, are the designed size to a
    // pixel: the seal's bitmap covers the picture; the vector seal's ink
    // lies within it.
    const double across = screen.PixelsX(c.designed), down = screen.PixelsY(c.designed);
    const RECTL& bounds = header->rclBounds;
    if (c.genMetafile == 0) {
      EXPECT_EQ(bounds.left, 0);
      EXPECT_EQ(bounds.top, 0);
      EXPECT_NEAR(bounds.right - bounds.left, across, 1.0);
      EXPECT_NEAR(bounds.bottom - bounds.top, down, 1.0);
    } else {
      EXPECT_GE(bounds.left, 0);
      EXPECT_LE(bounds.right, std::ceil(across));
      EXPECT_GT(bounds.right - bounds.left, across * 0.9) << "the ring spans the seal";
    }
    // For LibreOffice, run by hand (tests/tools/libreoffice-sizes).
    UniqueHenhmetafile copy;
    if (OpenClipboard(nullptr)) {
      copy.reset(CopyEnhMetaFileW(static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)),
                                  harness::HostPath(Output(L"clipboard-" + std::wstring(c.file) + L".emf")).c_str()));
      CloseClipboard();
    }
    EXPECT_TRUE(copy);

    const auto pict = harness::ClipboardMetafilePict();
    ASSERT_TRUE(pict.has_value());
    EXPECT_EQ(pict->mm, MM_ANISOTROPIC);
    EXPECT_EQ(pict->xExt, c.designed) << "the Windows metafile's extent";
    EXPECT_EQ(pict->yExt, c.designed);
    // Its own units are whole screen pixels, the nearest to the designed size.
    const SIZE extent = WindowsMetafileExtent();
    EXPECT_EQ(extent.cx, std::lround(across));
    EXPECT_EQ(extent.cy, std::lround(down));
    EXPECT_NEAR(extent.cx * 100.0 * screen.millimetresX / screen.pixelsX, c.designed, c.designed / 100.0)
        << "within 1 %";
  }
}

TEST_F(ClipboardPng, ARichEditControlPastesBothSealsAtTheirDesignedSize) {
  const Screen screen = Screen::Now();
  for (auto [stamp, designed] : {std::pair{&TForm1::SpeedButton1Click, kNameSealWidth},
                                 std::pair{&TForm1::SpeedButton2Click, kDateSealWidth}}) {
    SCOPED_TRACE(designed);
    (pad.*stamp)();
    const RichEditPaste paste = PasteIntoRichEdit();
    EXPECT_NEAR(paste.width, designed, designed / 100.0) << "within 1 %";
    EXPECT_NEAR(paste.height, designed, designed / 100.0);
    const double shown = paste.shownPixels * 2540.0 / screen.dpiX;
    EXPECT_NEAR(shown, designed, designed / 100.0) << "shown at " << paste.shownPixels << " pixels";
  }
}

}  // namespace
