// The bitmap seal cutter in the real program, opened from the stamp pad's
// and the tray's menus and worked the way a user works it: the platform's
// open dialog, the mouse dragging the picture, the buttons by control ID.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "FileSystem.h"
#include "ImageCodec.h"
#include "ProgramFolder.h"
#include "Shell.h"
#include "MenuIds.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "Smpstamp.h"
#include "Tasktray.h"
#include "harness/Clipboard.h"
#include "harness/Dialogs.h"
#include "harness/HostPath.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Prompts.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::kRoot;
using harness::Rgb;

const std::wstring kCutter = L"Varnel印鑑イメージカッター";
const std::wstring kSeal = L"cut-seal.bmp";   // a seal already there
const std::wstring kSaved = L"cut-test.bmp";  // the seal the cutter saves

std::wstring Fixture(const std::wstring& name) { return harness::HostPath(VARNEL_FIXTURES_UNIX L"/" + name); }

SIZE SizeOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The picture's place inside the frame.
POINT PlaceOf(HWND image) {
  RECT r{};
  GetWindowRect(image, &r);
  MapWindowPoints(nullptr, GetParent(image), reinterpret_cast<POINT*>(&r), 1);
  return {r.left, r.top};
}

// Answers the program's question with this text; false when it is not asked.
bool Answer(const std::wstring& text, int button) {
  HWND box = harness::WaitForBox(L"Varnel印鑑");
  if (!box || harness::BoxText(box) != text) return false;
  harness::PressButton(box, button);
  return true;
}

// Presses the left button at `from` on the picture, moves to `to` and lets
// go; each message is handled before the next is sent.
void Drag(HWND image, POINT from, POINT to) {
  SendMessageW(image, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  SendMessageW(image, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
  SendMessageW(image, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

class Cutter : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    harness::WriteString(kRoot, L"Bitmap1", L"0");
    RemoveFiles();
  }
  void TearDown() override {
    run.Stop();
    harness::DeleteTree(L"Software\\Qdx");
    RemoveFiles();
  }
  static void RemoveFiles() {
    for (const auto& name : {kSeal, kSaved, std::wstring(L"cut-scan.bmp")}) {
      DeleteFileW(harness::DistPath(name).c_str());
      DeleteFileW(UserFile(name).c_str());
    }
  }
  static void WriteSeal(int side) {
    const std::string bytes = harness::WhiteBmpFile(side);
    ASSERT_TRUE(harness::WriteWholeFile(harness::DistPath(kSeal), bytes.data(), bytes.size()));
    harness::WriteString(kRoot, L"Bitmap1", kSeal);
  }
  void Start() { ASSERT_TRUE(run.Start()); }
  // Which items are enabled is seen in-process: menus do not cross processes here.
  HWND OpenCutterFromPad() {
    run.PadCommand(IDM_BITMAPEDIT);
    return harness::WaitForBox(kCutter);
  }
  int FrameWidth(HWND cutter) const { return SizeOf(GetDlgItem(cutter, IDC_CUT_PANEL1)).cx; }
  HWND Image(HWND cutter) const { return GetDlgItem(GetDlgItem(cutter, IDC_CUT_PANEL1), IDC_CUT_IMAGE1); }
  // Chooses a picture through the cutter's button and the platform's open dialog.
  static void ChooseThroughDialog(HWND cutter, const std::wstring& path) {
    harness::PostClick(cutter, IDC_CUT_BUTTON3);
    HWND open = harness::WaitForBox(L"ビットマップファイルの読込み");
    ASSERT_NE(open, nullptr);
    harness::ChooseFile(open, path);
  }
  // ...and waits until it is loaded.
  void LoadThroughDialog(HWND cutter, const std::wstring& path) {
    ChooseThroughDialog(cutter, path);
    ASSERT_TRUE(harness::WaitForWindowGone(L"ビットマップファイルの読込み", 5000));
    for (int i = 0; i < 100 && !IsWindowVisible(Image(cutter)); ++i) Sleep(20);
  }
  // Presses "保存して終了" and answers the name dialog.
  void SaveAs(HWND cutter, const std::wstring& typed, std::wstring* suggested = nullptr, const wchar_t* picture = nullptr) {
    harness::PostClick(cutter, IDOK);
    HWND name = harness::WaitForBox(L"Varnel印鑑");
    ASSERT_NE(name, nullptr);
    ASSERT_NE(GetDlgItem(name, IDC_BMPSAVE_EDIT), nullptr) << "the name dialog";
    if (suggested) *suggested = harness::ControlText(name, IDC_BMPSAVE_EDIT);
    harness::SetControlText(name, IDC_BMPSAVE_EDIT, typed);
    if (picture) {
      Sleep(300);
      SaveScreenshot(name, picture);
    }
    harness::PressButton(name, IDOK);
  }
  int PadWidth(int expected) const {
    SIZE size{};
    for (int i = 0; i < 100; ++i, Sleep(20))
      if ((size = SizeOf(run.pad)).cx == expected) break;
    return size.cx;
  }
  static void SaveScreenshot(HWND window, const std::wstring& name) {
    const std::wstring folder = harness::HostPath(VARNEL_OUTPUT_UNIX);
    CreateDirectoryW(folder.c_str(), nullptr);
    harness::WriteBmp(harness::CaptureWindow(window), folder + L"\\" + name + L".bmp");
  }

  harness::VarnelRun run;
};

TEST_F(Cutter, TheFrameFitsTheSealAndSavingAtOnceWritesNothing) {
  WriteSeal(200);
  Start();
  HWND cutter = OpenCutterFromPad();
  ASSERT_NE(cutter, nullptr);
  // The cut (width + 1) is the seal's own 200 pixels.
  EXPECT_EQ(FrameWidth(cutter), 199);
  EXPECT_EQ(SizeOf(GetDlgItem(cutter, IDC_CUT_PANEL1)).cy, 199);
  EXPECT_EQ(harness::ControlText(cutter, IDC_CUT_PANEL2), L"13.08") << "200 px at 15294 px/m";
  EXPECT_EQ(IsDlgButtonChecked(cutter, IDC_CUT_RES153), BST_CHECKED);
  EXPECT_EQ(SizeOf(Image(cutter)).cx, 200) << "the seal at its natural size";

  harness::PostClick(cutter, IDOK);
  ASSERT_TRUE(harness::WaitForWindowGone(kCutter, 5000));
  EXPECT_EQ(harness::WaitForBox(L"Varnel印鑑", 1000), nullptr) << "no name is asked: nothing to save";
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), kSeal);

  cutter = OpenCutterFromPad();
  ASSERT_NE(cutter, nullptr);
  harness::Click(cutter, IDC_CUT_BUTTON4);
  EXPECT_EQ(FrameWidth(cutter), 203);
  for (int i = 0; i < 30; ++i) harness::Click(cutter, IDC_CUT_BUTTON5);
  EXPECT_EQ(FrameWidth(cutter), 99) << "the smallest step from 203";
  for (int i = 0; i < 120; ++i) harness::Click(cutter, IDC_CUT_BUTTON4);
  EXPECT_EQ(FrameWidth(cutter), 449) << "the largest, and no further";
  EXPECT_EQ(harness::ControlText(cutter, IDC_CUT_PANEL2), L"29.42");
  PostMessageW(cutter, WM_COMMAND, IDCANCEL, 0);  // Esc
  ASSERT_TRUE(harness::WaitForWindowGone(kCutter, 5000));
  EXPECT_EQ(harness::WaitForBox(L"Varnel印鑑", 1000), nullptr);
}

// A white BMP of width x height with a red pixel in the top left and the
// bottom right corner.
std::string CorneredSeal(int width, int height) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(54 + stride * height), 0, 0, 54};
  BITMAPINFOHEADER info{40, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes.append(stride * height, '\xFF');
  for (const POINT p : {POINT{0, 0}, POINT{width - 1, height - 1}}) {  // rows bottom-up, blue-green-red
    char* pixel = bytes.data() + 54 + (height - 1 - p.y) * stride + p.x * 3;
    pixel[0] = pixel[1] = 0;
  }
  return bytes;
}

// A stored seal, square or not and smaller than the size buttons go: the
// frame fits both its sides, so a seal moved and put back is saved at its
// own size, nothing cut off and no white added.
TEST_F(Cutter, AStoredSealMovedAndSavedKeepsBothSides) {
  for (const SIZE seal : {SIZE{60, 60}, SIZE{90, 50}, SIZE{40, 120}}) {
    SCOPED_TRACE(std::to_string(seal.cx) + "x" + std::to_string(seal.cy));
    run.Stop();  // it keeps its settings when it ends; the next start reads them
    const std::string bytes = CorneredSeal(seal.cx, seal.cy);
    ASSERT_TRUE(harness::WriteWholeFile(harness::DistPath(kSeal), bytes.data(), bytes.size()));
    harness::WriteString(kRoot, L"Bitmap1", kSeal);
    Start();
    HWND cutter = OpenCutterFromPad();
    ASSERT_NE(cutter, nullptr);
    EXPECT_EQ(SizeOf(GetDlgItem(cutter, IDC_CUT_PANEL1)).cx, seal.cx - 1);
    EXPECT_EQ(SizeOf(GetDlgItem(cutter, IDC_CUT_PANEL1)).cy, seal.cy - 1);
    HWND image = Image(cutter);
    Drag(image, {20, 20}, {23, 21});
    EXPECT_EQ(PlaceOf(image).x, 3);
    Drag(image, {23, 21}, {20, 20});
    ASSERT_EQ(PlaceOf(image).x, 0);
    const bool replacing = GetFileAttributesW(UserFile(kSaved).c_str()) != INVALID_FILE_ATTRIBUTES;
    SaveAs(cutter, L"cut-test");
    if (replacing) {
      ASSERT_TRUE(Answer(L"同一名のﾌｧｲﾙが存在します。上書しますか？", IDOK));
    }
    ASSERT_TRUE(harness::WaitForWindowGone(kCutter, 5000));

    EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), kSaved);
    const DecodedImage saved = DecodeImageFile(UserFile(kSaved));
    ASSERT_EQ(saved.status, ImageFileStatus::Loaded);
    EXPECT_EQ(harness::DibWidth(saved.dib), seal.cx);
    EXPECT_EQ(harness::DibHeight(saved.dib), seal.cy);
    EXPECT_TRUE(harness::PixelAt(saved.dib, 0, 0).IsReddish()) << "the top left corner";
    EXPECT_TRUE(harness::PixelAt(saved.dib, seal.cx - 1, seal.cy - 1).IsReddish()) << "the bottom right corner";
    EXPECT_TRUE(harness::PixelAt(saved.dib, seal.cx / 2, seal.cy / 2).IsWhite());
  }
}

// On a monitor of twice the DPI the frame keeps the scan's own pixels while
// the margins and the column of controls beside it follow the DPI; back on
// the first monitor all is as it was.
TEST_F(Cutter, TheLayoutFollowsAMoveToAnotherDpi) {
  Start();
  HWND cutter = OpenCutterFromPad();
  ASSERT_NE(cutter, nullptr);
  auto place = [cutter](int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(cutter, id), &r);
    MapWindowPoints(nullptr, cutter, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  auto moveTo = [&](UINT dpi) {
    RECT r{};
    GetWindowRect(cutter, &r);
    SendMessageW(cutter, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
    const int frameLeft = MulDiv(8, dpi, 96);
    for (int i = 0; i < 100 && place(IDC_CUT_PANEL1).left != frameLeft; ++i) Sleep(20);
    SendMessageW(cutter, WM_NULL, 0, 0);  // answered once the layout that moved the frame is done
  };
  for (const UINT dpi : {192u, 96u}) {
    SCOPED_TRACE(dpi);
    moveTo(dpi);
    const int margin = MulDiv(8, dpi, 96), gap = MulDiv(12, dpi, 96);
    const RECT frame = place(IDC_CUT_PANEL1), load = place(IDC_CUT_BUTTON3), cancel = place(IDCANCEL);
    EXPECT_EQ(frame.left, margin);
    EXPECT_EQ(frame.top, margin);
    EXPECT_EQ(frame.right - frame.left, 449) << "the frame shows the scan's own pixels";
    EXPECT_EQ(load.left, frame.right + gap) << "the column beside the frame";
    RECT client{};
    GetClientRect(cutter, &client);
    EXPECT_GE(client.bottom, std::max(frame.bottom, cancel.bottom) + margin) << "nothing cut off below";
    EXPECT_GE(client.right, load.right + margin);
    EXPECT_LE(client.right, load.right + margin + MulDiv(120, dpi, 96)) << "no more than the column's widest control";
  }
  PostMessageW(cutter, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(harness::WaitForWindowGone(kCutter, 5000));
}

// A picture without pixels is unreadable, not too large.
TEST_F(Cutter, AnEmptyPictureIsRefusedAsUnreadable) {
  const std::string empty = harness::WhiteBmpFile(0);
  const std::wstring path = harness::DistPath(L"cut-empty.bmp");
  ASSERT_TRUE(harness::WriteWholeFile(path, empty.data(), empty.size()));
  Start();
  HWND cutter = OpenCutterFromPad();
  ASSERT_NE(cutter, nullptr);
  ChooseThroughDialog(cutter, path);
  HWND refusal = harness::WaitForBox(L"Varnel印鑑");
  ASSERT_NE(refusal, nullptr);
  const std::wstring text = harness::BoxText(refusal);
  EXPECT_EQ(text.substr(0, text.find(L'\n')), L"画像ファイルを読み込めません");
  EXPECT_TRUE(text.ends_with(L"\\cut-empty.bmp")) << "the file is named";
  harness::PressButton(refusal, IDOK);
  EXPECT_FALSE(IsWindowVisible(Image(cutter))) << "nothing loaded";
  harness::PostClick(cutter, IDCANCEL);
  EXPECT_TRUE(harness::WaitForWindowGone(kCutter, 5000));
  DeleteFileW(path.c_str());
}

TEST_F(Cutter, AScanIsCutWithWhiteMarginsAndStoredUnderItsBareName) {
  Start();
  PostMessageW(run.tray, WM_COMMAND, IDM_TRAY_BITMAPEDIT, 0);
  HWND cutter = harness::WaitForBox(kCutter);
  ASSERT_NE(cutter, nullptr) << "the tray's ビットマップ印の編集";
  EXPECT_EQ(FrameWidth(cutter), 449);
  LoadThroughDialog(cutter, Fixture(L"scan.png"));
  HWND image = Image(cutter);
  ASSERT_TRUE(IsWindowVisible(image));
  EXPECT_EQ(SizeOf(image).cx, 120);
  EXPECT_EQ(SizeOf(image).cy, 80);
  EXPECT_EQ(PlaceOf(image).x, 0);

  // Dragged out of the frame, a strip of it stays to take hold of again.
  Drag(image, {10, 10}, {-990, -990});
  EXPECT_EQ(PlaceOf(image).x, 16 - 120);
  EXPECT_EQ(PlaceOf(image).y, 16 - 80);
  Drag(image, {110, 70}, {110 + 124, 70 + 94});
  EXPECT_EQ(PlaceOf(image).x, 20);
  EXPECT_EQ(PlaceOf(image).y, 30);
  // A move without the button held is not a drag (the system sends such
  // moves when the picture slides under a pointer that stands still).
  SendMessageW(image, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(image, WM_MOUSEMOVE, 0, MAKELPARAM(90, 70));
  EXPECT_EQ(PlaceOf(image).x, 20);
  EXPECT_EQ(PlaceOf(image).y, 30);
  SendMessageW(image, WM_LBUTTONUP, 0, MAKELPARAM(90, 70));

  // The resolution chosen after the drag keeps the cut pending.
  harness::Click(cutter, IDC_CUT_RES260);
  EXPECT_EQ(harness::ControlText(cutter, IDC_CUT_PANEL2), L"17.31");
  std::wstring suggested;
  SaveAs(cutter, L"C:\\elsewhere\\folder\\cut-test.png", &suggested);
  EXPECT_EQ(suggested, L"scan") << "the picture's own name, bare";
  ASSERT_TRUE(harness::WaitForWindowGone(kCutter, 5000));

  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), kSaved);
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1Resolution"), L"26000");
  const DecodedImage saved = DecodeImageFile(UserFile(kSaved));
  ASSERT_EQ(saved.status, ImageFileStatus::Loaded) << "in the user's own folder";
  ASSERT_EQ(harness::DibWidth(saved.dib), 450);
  ASSERT_EQ(harness::DibHeight(saved.dib), 450);
  const Rgb red{255, 0, 0}, blue{0, 0, 255}, white{255, 255, 255};
  EXPECT_EQ(harness::PixelAt(saved.dib, 25, 35), red);
  EXPECT_EQ(harness::PixelAt(saved.dib, 20 + 60, 30 + 60), blue);
  EXPECT_EQ(harness::PixelAt(saved.dib, 20 + 60, 30 + 45), white) << "the scan's transparent ground";
  EXPECT_EQ(harness::PixelAt(saved.dib, 5, 5), white) << "margin above and left of the picture";
  EXPECT_EQ(harness::PixelAt(saved.dib, 300, 300), white) << "margin beyond it";
  EXPECT_EQ(PadWidth(214), 214) << "the pad shows the new seal";

  // The same name again: asked, then overwritten with a smaller cut.
  HWND again = OpenCutterFromPad();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(FrameWidth(again), 449) << "a 450-pixel seal fits the largest frame";
  harness::Click(again, IDC_CUT_BUTTON5);
  SaveAs(again, L"cut-test");
  ASSERT_TRUE(Answer(L"同一名のﾌｧｲﾙが存在します。上書しますか？", IDOK));
  ASSERT_TRUE(harness::WaitForWindowGone(kCutter, 5000));
  EXPECT_EQ(harness::DibWidth(DecodeImageFile(UserFile(kSaved)).dib), 446);
}

TEST_F(Cutter, TheResolutionChosenCountsWithoutASaveAndTheSealCanBeErased) {
  WriteSeal(120);
  harness::WriteString(kRoot, L"ClipboardFormat", L"DIBitmap");
  Start();
  HWND cutter = OpenCutterFromPad();
  ASSERT_NE(cutter, nullptr);
  EXPECT_EQ(FrameWidth(cutter), 119);
  harness::Click(cutter, IDC_CUT_RES260);
  EXPECT_EQ(harness::ControlText(cutter, IDC_CUT_PANEL2), L"4.62") << "120 px at 26000 px/m";
  harness::PostClick(cutter, IDCANCEL);
  ASSERT_TRUE(harness::WaitForWindowGone(kCutter, 5000));

  harness::VrnCtlLibrary ctl;
  harness::PutClipboardText("before");
  ctl.Call("_BmpStamp");
  ASSERT_TRUE(harness::ClipboardOffers(CF_DIB, 10000));
  BITMAPINFOHEADER dib{};
  ASSERT_TRUE(harness::ReadDibHeader(dib));
  EXPECT_EQ(dib.biXPelsPerMeter, 26000) << "the next stamp prints at the chosen size";
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1Resolution"), L"26000");

  run.PadCommand(IDM_ERASESTAMP);
  ASSERT_TRUE(Answer(L"保管されているﾋﾞｯﾄﾏｯﾌﾟ印鑑を削除します", IDCANCEL));
  EXPECT_NE(GetFileAttributesW(harness::DistPath(kSeal).c_str()), INVALID_FILE_ATTRIBUTES) << "Cancel keeps it";

  run.PadCommand(IDM_ERASESTAMP);
  ASSERT_TRUE(Answer(L"保管されているﾋﾞｯﾄﾏｯﾌﾟ印鑑を削除します", IDOK));
  EXPECT_EQ(PadWidth(141), 141) << "the third preview goes";
  EXPECT_EQ(GetFileAttributesW(harness::DistPath(kSeal).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"0");
}

// What a user does with a real scan; the pictures go to docs/.
TEST_F(Cutter, AJpegScanBecomesTheSealAndStampsAtItsResolution) {
  harness::WriteString(kRoot, L"ClipboardFormat", L"DIBitmap");
  Start();
  HWND cutter = OpenCutterFromPad();
  ASSERT_NE(cutter, nullptr);
  LoadThroughDialog(cutter, Fixture(L"seal-scan.jpg"));
  for (int i = 0; i < 48; ++i) harness::Click(cutter, IDC_CUT_BUTTON5);
  ASSERT_EQ(FrameWidth(cutter), 257);
  // The seal's centre (260, 210) of the scan to the frame's centre.
  Drag(Image(cutter), {300, 250}, {300 - 132, 250 - 82});
  ASSERT_EQ(PlaceOf(Image(cutter)).x, -132);
  Sleep(300);
  SaveScreenshot(cutter, L"cutter");
  SaveAs(cutter, L"cut-scan", nullptr, L"bitmap-seal-name");
  ASSERT_TRUE(harness::WaitForWindowGone(kCutter, 5000));
  EXPECT_EQ(PadWidth(214), 214);
  Sleep(300);
  SaveScreenshot(run.pad, L"stamp-pad-bitmap-seal");

  const DecodedImage saved = DecodeImageFile(UserFile(L"cut-scan.bmp"));
  ASSERT_EQ(harness::DibWidth(saved.dib), 258);
  EXPECT_TRUE(harness::PixelAt(saved.dib, 128, 8).IsReddish()) << "the seal's top edge";
  EXPECT_FALSE(harness::PixelAt(saved.dib, 2, 2).IsReddish()) << "paper";

  harness::VrnCtlLibrary ctl;
  harness::PutClipboardText("before");
  ctl.Call("_BmpStamp");
  ASSERT_TRUE(harness::ClipboardOffers(CF_DIB, 10000));
  BITMAPINFOHEADER dib{};
  ASSERT_TRUE(harness::ReadDibHeader(dib));
  EXPECT_EQ(dib.biWidth, 258);
  EXPECT_EQ(dib.biXPelsPerMeter, 15294);
}

// The stamp pad and tray window of this process: their menus can be read.
TEST(BitmapSealMenus, FollowTheSealAndThePolicy) {
  harness::WriteQuietSettings();
  wchar_t folder[MAX_PATH] = {}, directory[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetCurrentDirectoryW(MAX_PATH, directory);
  const std::wstring seal = std::wstring(folder) + L"menu-seal.bmp";
  const std::string bytes = harness::WhiteBmpFile(60);
  ASSERT_TRUE(harness::WriteWholeFile(seal, bytes.data(), bytes.size()));
  harness::WriteString(kRoot, L"Bitmap1", seal);
  auto greyed = [](HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
  struct Shell {
    RegistryStore store;
    TTaskTrayForm tray{store};
    TForm1 pad{store, tray.Ready};
    TSimpleStamp toolbar{store, pad.Desk()};
    Shell() {
      tray.Create();
      pad.Create(tray.Handle());
      ConnectShell(store, tray, pad, toolbar, nullptr);
      pad.FormCreate(tray);
    }
    HMENU Menu() const { return GetMenu(pad.Handle()); }
  };
  {
    Shell shell;
    for (UINT id : {IDM_B1, IDM_BITMAPEDIT, IDM_ERASESTAMP, IDM_MNAMEEXP, IDM_MDATEEXP})
      EXPECT_FALSE(greyed(shell.Menu(), id)) << id << " with a bitmap seal";
    for (UINT id : {IDM_TRAY_OTHERSTAMP, IDM_TRAY_BITMAPEDIT, IDM_TRAY_ERASESTAMP, IDM_TRAY_MNAMEEXP, IDM_TRAY_MDATEEXP})
      EXPECT_FALSE(greyed(shell.tray.PopupMenu1, id)) << id << " with a bitmap seal";
    harness::WriteString(kRoot, L"Bitmap1", L"0");
    shell.pad.LoadBitmapSealPreview();
    for (UINT id : {IDM_B1, IDM_ERASESTAMP}) EXPECT_TRUE(greyed(shell.Menu(), id)) << id << ": no seal";
    EXPECT_TRUE(greyed(shell.tray.PopupMenu1, IDM_TRAY_ERASESTAMP));
    EXPECT_FALSE(greyed(shell.Menu(), IDM_BITMAPEDIT)) << "a seal can still be made";
  }
  harness::WriteString(kRoot, L"Bitmap1", seal);
  harness::WriteString(kRoot, L"adm", L"1");
  harness::WriteString(kRoot, L"Policy01", L"fftffffffffft");  // positions 2 and 12
  {
    Shell shell;
    // Also after a dialog has switched the tray's items off and on again.
    shell.tray.DisableTrayMenu();
    shell.tray.EnableTrayMenu();
    for (UINT id : {IDM_BITMAPEDIT, IDM_ERASESTAMP, IDM_MNAMEEXP, IDM_MDATEEXP})
      EXPECT_TRUE(greyed(shell.Menu(), id)) << id;
    for (UINT id : {IDM_TRAY_BITMAPEDIT, IDM_TRAY_ERASESTAMP, IDM_TRAY_MNAMEEXP, IDM_TRAY_MDATEEXP})
      EXPECT_TRUE(greyed(shell.tray.PopupMenu1, id)) << id;
    EXPECT_FALSE(greyed(shell.Menu(), IDM_B1)) << "stamping the seal stays";
    // "ファイル出力(&F)" is the third submenu of "メニュー(&M)".
    EXPECT_TRUE(GetMenuState(GetSubMenu(shell.Menu(), 0), 2, MF_BYPOSITION) & MF_GRAYED);
  }
  SetCurrentDirectoryW(directory);  // the tray window made the test's folder current
  harness::DeleteTree(L"Software\\Qdx");
  DeleteFileW(seal.c_str());
}

}  // namespace
