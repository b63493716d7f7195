// The real program, started from dist/ and driven the way other programs and
// users drive it: control messages through VrnCtl, the tray window's
// messages, its message boxes clicked by control ID; results read from the
// clipboard and the registry.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "harness/Clipboard.h"
#include "harness/ConsoleProgram.h"
#include "harness/Dialogs.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/RecordingWindow.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::kRoot;

constexpr DWORD kStartMs = 20000;

using harness::BoxText;
using harness::WaitForBox;

// Presses a button of another process's dialog and waits until it has gone.
void Press(HWND box, int id) { harness::PressButton(box, id); }

bool ClipboardHolds(UINT format, DWORD timeoutMs = 10000) { return harness::ClipboardOffers(format, timeoutMs); }

bool ClipboardStillText(DWORD waitMs) {
  Sleep(waitMs);
  auto text = harness::ClipboardBytes(CF_TEXT);
  return text && std::string(reinterpret_cast<const char*>(text->data())) == "before";
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    harness::PutClipboardText("before");
  }
  void TearDown() override {
    if (program && program->Running()) EndProgram();
    harness::DeleteTree(L"Software\\Qdx");
  }
  void Start() {
    program.emplace(harness::DistPath(L"Varnel.exe"));
    tray = harness::WaitForWindow(L"VarnelMain", kStartMs);
    ASSERT_NE(tray, nullptr) << "the hidden main window appears";
  }
  HWND Pad() const { return FindWindowW(L"TForm1", nullptr); }
  // The stamp pad once the start-up work has shown it.
  HWND ShownPad() const {
    HWND pad = harness::WaitForWindow(L"Varnel印鑑", kStartMs, L"TForm1");
    for (int i = 0; pad && i < 250 && !IsWindowVisible(pad); ++i) Sleep(20);
    return pad;
  }
  // Ends the program through control code 5 and its confirmation.
  void EndProgram() {
    PostMessageW(tray, WM_USER, 5, 0);
    if (HWND box = WaitForBox(L"Varnel印鑑", 5000)) Press(box, IDOK);
    EXPECT_EQ(program->WaitForExit(10000), 0u);
  }

  std::optional<harness::RunningProgram> program;
  HWND tray = nullptr;
  harness::VrnCtlLibrary ctl;
};

TEST_F(Program, ASecondStartEndsAtOnceAndTheFirstKeepsRunning) {
  Start();
  harness::RunningProgram second(harness::DistPath(L"Varnel.exe"));
  EXPECT_EQ(second.WaitForExit(10000), 1u);
  EXPECT_TRUE(program->Running());
  EXPECT_EQ(harness::WaitForWindow(L"VarnelMain", 100), tray);
  EndProgram();
  EXPECT_EQ(FindWindowW(nullptr, L"VarnelMain"), nullptr) << "gone with the program";
}

TEST_F(Program, ControlCodesStampClearAndIgnoreWhatTheyShould) {
  Start();
  EXPECT_NE(ctl.Call("_NameStamp"), 0);
  EXPECT_TRUE(ClipboardHolds(CF_DIB)) << "code 1 stamps the name seal";
  EXPECT_TRUE(ClipboardHolds(CF_ENHMETAFILE));
  EXPECT_EQ(WaitForBox(L"Varnel印鑑", 500), nullptr) << "no information message for a request";

  EXPECT_NE(ctl.Call("_ClearClipboard"), 0);
  for (int i = 0; i < 100 && !harness::ClipboardFormats().empty(); ++i) Sleep(50);
  EXPECT_TRUE(harness::ClipboardFormats().empty()) << "code 4 empties the clipboard";

  harness::PutClipboardText("before");
  EXPECT_NE(ctl.Call("_BmpStamp"), 0);
  PostMessageW(tray, WM_USER, 0, 0);
  PostMessageW(tray, WM_USER, 8, 0);
  EXPECT_TRUE(ClipboardStillText(1000)) << "code 3 without a bitmap seal, 0 and 8 do nothing";

  EXPECT_NE(ctl.Call("_DateStamp"), 0);
  EXPECT_TRUE(ClipboardHolds(CF_DIB)) << "code 2 stamps the date seal";
}

TEST_F(Program, OnlyTheConfirmedDateRequestAsks) {
  harness::WriteString(kRoot, L"CheckDate", L"1");
  Start();
  ctl.Call("_DateStamp");
  EXPECT_TRUE(ClipboardHolds(CF_DIB));
  EXPECT_EQ(WaitForBox(L"Varnel印鑑", 500), nullptr) << "code 2 never asks";

  harness::PutClipboardText("before");
  ctl.Call("_DateStampEx");
  HWND dialog = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(GetDlgItem(dialog, IDC_DATE_EDIT1), nullptr) << "code 7 asks for the date";
  Press(dialog, IDOK);
  EXPECT_TRUE(ClipboardHolds(CF_DIB));
  HWND message = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(message, nullptr);
  EXPECT_NE(GetDlgItem(message, IDC_MESSAGE_NONDISP), nullptr) << "and shows the information message";
  Press(message, IDOK);
}

TEST_F(Program, ExitRequestsAskAndTellTheUserSelectionProgram) {
  harness::RecordingWindow selection(L"Varnel印鑑ユーザー選択");
  Start();
  ctl.Call("_ExitVarnel");
  HWND box = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"Varnel印鑑を終了します");
  Press(box, IDCANCEL);
  EXPECT_EQ(program->WaitForExit(1000), static_cast<DWORD>(STILL_ACTIVE)) << "Cancel keeps it running";

  ctl.Call("_ChangeUser");
  box = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(box, nullptr);
  Press(box, IDCANCEL);
  EXPECT_TRUE(program->Running());
  ctl.Call("_ExitVarnel");
  box = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(box, nullptr);
  Press(box, IDOK);
  EXPECT_EQ(program->WaitForExit(10000), 0u);
  EXPECT_EQ(selection.WaitForCodes(1, 5000), (std::vector<WPARAM>{2})) << "a user change was asked for earlier";
}

TEST_F(Program, PlainExitTellsTheUserSelectionProgramOne) {
  harness::RecordingWindow selection(L"Varnel印鑑ユーザー選択");
  Start();
  EndProgram();
  EXPECT_EQ(selection.WaitForCodes(1, 5000), (std::vector<WPARAM>{1}));
  EXPECT_EQ(harness::ReadString(kRoot, L"DocumentFilter"), L"TransParent") << "settings are saved at the end";
}

TEST_F(Program, RequestsWhileAPromptIsOpenAreDropped) {
  harness::WriteString(kRoot, L"PasswordOnStamp", L"0");
  Start();
  ctl.Call("_NameStamp");
  HWND prompt = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(prompt, nullptr);
  ctl.Call("_ClearClipboard");
  Sleep(500);
  Press(prompt, IDCANCEL);
  EXPECT_TRUE(ClipboardStillText(500)) << "the clear request arrived while busy and was dropped";
}

TEST_F(Program, StartUpChecksRunOnce) {
  harness::WriteString(kRoot, L"Version", L"125");
  Start();
  HWND box = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(box, nullptr);
  EXPECT_NE(BoxText(box).find(L"バージョンアップ対応のため"), std::wstring::npos);
  Press(box, IDOK);
  EndProgram();
  EXPECT_EQ(harness::ReadString(kRoot, L"Version"), L"126");
  Start();
  EXPECT_EQ(WaitForBox(L"Varnel印鑑", 1500), nullptr) << "not again";
}

TEST_F(Program, RefusedStartUpPasswordEndsTheProgram) {
  harness::WriteString(kRoot, L"PasswordCheck", L"0");
  harness::WriteString(kRoot, L"UserPassword", L"JIH");  // "abc" scrambled
  program.emplace(harness::DistPath(L"Varnel.exe"));
  HWND prompt = WaitForBox(L"Varnel印鑑", kStartMs);
  ASSERT_NE(prompt, nullptr);
  Press(prompt, IDCANCEL);
  EXPECT_EQ(program->WaitForExit(10000), 0u);
}

TEST_F(Program, StampPadFollowsItsOptions) {
  harness::WriteString(kRoot, L"HideMenu", L"1");
  harness::WriteString(kRoot, L"Bitmap1", L"varnel.bmp");  // no such file
  Start();
  HWND box = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"ﾋﾞｯﾄﾏｯﾌﾟ印画像が見つかりません");
  Press(box, IDOK);
  HWND pad = Pad();
  ASSERT_NE(pad, nullptr);
  EXPECT_EQ(GetMenu(pad), nullptr) << "HideMenu 1: no menu bar";
  // The pad narrows and the option is saved once the box has been answered.
  RECT r{};
  for (int i = 0; i < 100; ++i, Sleep(20)) {
    GetWindowRect(pad, &r);
    if (r.right - r.left == 141 && harness::ReadString(kRoot, L"Bitmap1") == L"0") break;
  }
  EXPECT_EQ(r.right - r.left, 141) << "no bitmap seal: the narrow pad";
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"0");
}

TEST_F(Program, MainToolBarHidesThePadAfterASecondAndCloseAsksWhenNotResident) {
  harness::WriteString(kRoot, L"MainToolBar", L"1");
  Start();
  Sleep(300);
  HWND pad = Pad();
  ASSERT_NE(pad, nullptr);
  for (int i = 0; i < 60 && IsWindowVisible(pad); ++i) Sleep(50);
  EXPECT_FALSE(IsWindowVisible(pad));
  PostMessageW(tray, WM_USER + 1, 100, WM_LBUTTONDBLCLK);
  for (int i = 0; i < 60 && !IsWindowVisible(pad); ++i) Sleep(50);
  EXPECT_TRUE(IsWindowVisible(pad)) << "double-click 0 shows the pad";
  PostMessageW(pad, WM_CLOSE, 0, 0);
  HWND box = WaitForBox(L"Varnel印鑑");
  ASSERT_NE(box, nullptr) << "StayOnTaskTray 0: closing asks to end";
  Press(box, IDOK);
  EXPECT_EQ(program->WaitForExit(10000), 0u);
}

TEST_F(Program, TrayDoubleClickCanStampAndTheConsoleClientReachesTheProgram) {
  harness::WriteString(kRoot, L"TaskTrayIconDoubleClick", L"1");
  harness::WriteString(kRoot, L"ShowMessage", L"0");
  Start();
  PostMessageW(tray, WM_USER + 1, 100, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(ClipboardHolds(CF_DIB));

  harness::PutClipboardText("before");
  const auto client = harness::RunConsoleProgram(harness::DistPath(L"vrnctl.exe"), L"clear", 10000);
  EXPECT_EQ(client.exitCode, 0u);
  for (int i = 0; i < 100 && !harness::ClipboardFormats().empty(); ++i) Sleep(50);
  EXPECT_TRUE(harness::ClipboardFormats().empty());
}

TEST_F(Program, BitmapSealRequestsWorkWhileASealExists) {
  // A 120 x 120 white picture as the seal, named by its full path.
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"varnel-seal.bmp";
  const int side = 120;
  const std::string bytes = harness::WhiteBmpFile(side);
  ASSERT_TRUE(harness::WriteWholeFile(path, bytes.data(), bytes.size()));
  harness::WriteString(kRoot, L"Bitmap1", path);
  harness::WriteString(kRoot, L"ClipboardFormat", L"DIBitmap");

  Start();
  RECT r{};
  for (int i = 0; i < 100; ++i, Sleep(20)) {
    GetWindowRect(Pad(), &r);
    if (r.right - r.left == 214) break;
  }
  EXPECT_EQ(r.right - r.left, 214) << "the pad widens for the third preview";
  ctl.Call("_BmpStamp");
  ASSERT_TRUE(ClipboardHolds(CF_DIB)) << "code 3 stamps the bitmap seal";
  BITMAPINFOHEADER dib{};
  std::memcpy(&dib, harness::ClipboardBytes(CF_DIB)->data(), sizeof dib);
  EXPECT_EQ(dib.biWidth, side);
  EXPECT_EQ(dib.biXPelsPerMeter, 15294);
  EndProgram();
  DeleteFileW(path.c_str());
}

TEST_F(Program, PadAndToolbarLiveInTheNotificationAreaWithoutTaskbarButtons) {
  harness::WriteString(kRoot, L"ShowExBar", L"1");
  Start();
  HWND pad = ShownPad();
  HWND toolbar = harness::WaitForWindow(L"Varnel印鑑", kStartMs, L"TSimpleStamp");
  ASSERT_NE(pad, nullptr);
  ASSERT_NE(toolbar, nullptr);
  for (HWND window : {pad, toolbar}) {
    EXPECT_EQ(GetWindow(window, GW_OWNER), tray) << "owned by the hidden tray window";
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  }
}

TEST_F(Program, PadPositionIsKeptFromItsRestoredPlaceAndBroughtBackOntoTheScreen) {
  harness::WriteString(kRoot, L"Wx", L"200");
  harness::WriteString(kRoot, L"Wy", L"150");
  Start();
  HWND pad = ShownPad();
  ASSERT_NE(pad, nullptr);
  RECT r{};
  GetWindowRect(pad, &r);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 150);
  ShowWindow(pad, SW_MINIMIZE);
  for (int i = 0; i < 50 && !IsIconic(pad); ++i) Sleep(20);
  ASSERT_TRUE(IsIconic(pad));
  EndProgram();
  EXPECT_EQ(harness::ReadString(kRoot, L"Wx"), L"200") << "where the pad was, not where its icon was";
  EXPECT_EQ(harness::ReadString(kRoot, L"Wy"), L"150");

  // An old minimised position, or one on a monitor that has been removed.
  for (const wchar_t* position : {L"-32000", L"5000"}) {
    harness::WriteString(kRoot, L"Wx", position);
    harness::WriteString(kRoot, L"Wy", position);
    Start();
    GetWindowRect(ShownPad(), &r);
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(r.left >= screen.left && r.top >= screen.top && r.right <= screen.right && r.bottom <= screen.bottom)
        << "stored " << position << ": the pad is at " << r.left << "," << r.top;
    EndProgram();
  }
}

TEST_F(Program, EveryRegistryChangeByAnotherProgramIsSeenByTheNextStamp) {
  harness::WriteString(kRoot, L"ClipboardFormat", L"1");
  Start();
  // Changes that follow the stamps closely, within one tick of the clock
  // that times registry writes.
  for (int i = 0; i < 6; ++i) {
    const bool blue = i % 2 == 0;
    harness::WriteString(harness::Section(L"NameStamp"), L"StampColor", blue ? L"16711680" : L"255");
    harness::PutClipboardText("before");
    ctl.Call("_NameStamp");
    ASSERT_TRUE(ClipboardHolds(CF_DIB));
    const auto bytes = harness::ClipboardBytes(CF_DIB);
    const PackedDib dib(bytes->begin(), bytes->end());
    const harness::Rgb ring = harness::IndexedPixelAt(dib, 121, 121 - 117 + 1);
    EXPECT_EQ(ring, blue ? (harness::Rgb{0, 0, 255}) : (harness::Rgb{255, 0, 0})) << "stamp " << i;
  }
}

TEST_F(Program, ClearingTheClipboardWaitsForAnotherProgramToLetGoOfIt) {
  harness::WriteString(kRoot, L"ClipBrdClear", L"1");
  harness::WriteString(kRoot, L"StayOnTaskTray", L"1");
  harness::WriteString(kRoot, L"ShowMessage", L"0");
  Start();
  ctl.Call("_NameStamp");
  ASSERT_TRUE(ClipboardHolds(CF_DIB));
  // The stamp may hold the clipboard a moment longer than its DIB takes to show.
  bool held = false;
  for (int i = 0; i < 100 && !(held = OpenClipboard(nullptr)); ++i) Sleep(20);
  ASSERT_TRUE(held) << "another program holds the clipboard";
  PostMessageW(Pad(), WM_CLOSE, 0, 0);  // ClipBrdClear 1 clears when the pad closes
  Sleep(2500);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB)) << "it could not clear while held";
  bool cleared = false;
  for (int i = 0; i < 200 && !cleared; ++i, Sleep(50)) cleared = harness::ClipboardFormats().empty();
  EXPECT_TRUE(cleared) << "cleared once the clipboard was free again";
}

}  // namespace
