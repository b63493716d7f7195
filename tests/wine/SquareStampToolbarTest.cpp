// The square-stamp toolbar of the running program, driven as a user does:
// its buttons clicked by control ID, its format dialog answered, the
// clipboard and the registry read back.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Clipboard.h"
#include "MemoryStore.h"
#include "Settings.h"
#include "harness/Clipboard.h"
#include "harness/Dialogs.h"
#include "harness/HostPath.h"
#include "harness/Pixels.h"
#include "harness/Png.h"
#include "harness/Process.h"
#include "harness/Prompts.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::kRoot;
const std::wstring kBar = harness::Section(L"SimpleStamp");

std::wstring Temp(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return folder + name;
}

bool WriteFile(const std::wstring& path, const void* data, size_t size) {
  return harness::WriteWholeFile(path, data, size);
}

// What "至急" measures in the common font of a first start (40 points).
SIZE TextSize(const wchar_t* text, int charset) {
  LOGFONTW lf{};
  lf.lfHeight = -53;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = static_cast<BYTE>(charset);
  lstrcpyW(lf.lfFaceName, L"ＭＳ Ｐゴシック");
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32W(screen, text, lstrlenW(text), &size);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return size;
}

// The clipboard's metafile frame in the pixels a text stamp is laid out in
// (96 to the inch, whatever the screen).
SIZE FramePixels() {
  auto header = harness::ClipboardEnhMetaHeader();
  if (!header) return {0, 0};
  const RECTL& f = header->rclFrame;
  return {MulDiv(f.right - f.left, harness::kReferenceDpi, 2540), MulDiv(f.bottom - f.top, harness::kReferenceDpi, 2540)};
}

// The clipboard's metafile played at its own size.
PackedDib ClipboardPicture() {
  const SIZE size = FramePixels();
  PackedDib dib;
  if (!OpenClipboard(nullptr)) return dib;
  if (auto emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)))
    dib = harness::PlayIntoDib(emf, size.cx, size.cy);
  CloseClipboard();
  return dib;
}

int RedPixels(const PackedDib& dib, int left, int top, int right, int bottom) {
  int red = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) red += harness::PixelAt(dib, x, y).IsReddish();
  return red;
}

BOOL CALLBACK AddButton(HWND child, LPARAM lParam) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  if (lstrcmpiW(className, L"Button") == 0) reinterpret_cast<std::vector<int>*>(lParam)->push_back(GetDlgCtrlID(child));
  return TRUE;
}

// The IDs of a dialog's buttons.
std::vector<int> ButtonsOf(HWND dialog) {
  std::vector<int> ids;
  EnumChildWindows(dialog, AddButton, reinterpret_cast<LPARAM>(&ids));
  return ids;
}

bool HasFormat(UINT format) {
  for (UINT f : harness::ClipboardFormats())
    if (f == format) return true;
  return false;
}

class Toolbar : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    harness::WriteString(kRoot, L"ShowExBar", L"1");
    harness::WriteString(kRoot, L"ShowMessage", L"0");
    harness::PutClipboardText("before");
  }
  void TearDown() override {
    if (program && program->Running()) EndProgram();
    harness::DeleteTree(L"Software\\Qdx");
    for (const std::wstring& file : files) DeleteFileW(file.c_str());
  }
  void Start(const std::wstring& exe = harness::DistPath(L"Varnel.exe")) {
    program.emplace(exe);
    tray = harness::WaitForWindow(L"VarnelMain", 20000);
    ASSERT_NE(tray, nullptr);
    for (int i = 0; i < 500 && !(bar && IsWindowVisible(bar)); ++i, Sleep(20))
      bar = FindWindowW(L"TSimpleStamp", nullptr);
    ASSERT_TRUE(bar && IsWindowVisible(bar)) << "ShowExBar 1 shows the toolbar";
  }
  void EndProgram() {
    PostMessageW(tray, WM_USER, 5, 0);
    if (HWND box = harness::WaitForBox(L"Varnel印鑑", 5000)) harness::PressButton(box, IDOK);
    EXPECT_EQ(program->WaitForExit(10000), 0u);
  }
  void Slot(int n, int kind, const std::wstring& file = L"") {
    harness::WriteString(kBar, L"Stamp" + std::to_wstring(n), std::to_wstring(kind));
    harness::WriteString(kBar, L"StampFile" + std::to_wstring(n), file);
  }
  std::wstring File(const std::wstring& name, const void* data, size_t size) {
    const std::wstring path = Temp(name);
    EXPECT_TRUE(WriteFile(path, data, size));
    files.push_back(path);
    return path;
  }
  void Press(int slot) { harness::PostClick(bar, IDC_SS_BUTTON1 + slot - 1); }
  // Waits for the stamp to reach the clipboard (the old text gone, a picture there).
  bool Stamped(UINT format = CF_ENHMETAFILE) { return harness::ClipboardOffers(format, 10000); }
  // A message box the click shows: its text, after pressing OK.
  std::wstring Answer(const std::wstring& caption) {
    HWND box = harness::WaitForBox(caption, 10000);
    if (!box) return L"(no message)";
    const std::wstring text = harness::BoxText(box);
    harness::PressButton(box, IDOK);
    return text;
  }
  int Width() const {
    RECT r{};
    GetWindowRect(bar, &r);
    return r.right - r.left;
  }

  std::optional<harness::RunningProgram> program;
  HWND tray = nullptr, bar = nullptr;
  std::vector<std::wstring> files;
};

TEST_F(Toolbar, FirstStartWritesTheDefaultsAndExitSavesTheFormats) {
  Start();
  const wchar_t* texts[] = {L"正本",   L"コピー", L"見本",     L"社外秘", L"ＦＡＸ済",
                            L"処理済", L"回覧",   L"持出禁止", L"参考",   L"至急"};
  for (int n = 1; n <= 10; ++n) {
    EXPECT_EQ(harness::ControlText(bar, IDC_SS_BUTTON1 + n - 1), texts[n - 1]);
    EXPECT_EQ(harness::ReadString(kBar, L"Text" + std::to_wstring(n)), texts[n - 1]);
    EXPECT_EQ(harness::ReadString(kBar, L"Stamp" + std::to_wstring(n)), L"0");
    EXPECT_EQ(harness::ReadString(kBar, L"StampFile" + std::to_wstring(n)), L"");
  }
  EXPECT_EQ(harness::ReadString(kBar, L"FontSize"), L"10");
  EXPECT_EQ(harness::ReadString(kBar, L"StampColor"), L"255");
  EXPECT_EQ(harness::ReadString(kBar, L"FontName"), L"ＭＳ Ｐゴシック");
  EXPECT_EQ(harness::ReadString(kBar, L"FontStyle"), L"0");
  EXPECT_EQ(harness::ValueType(kBar, L"SimpleStampFormt0"), static_cast<DWORD>(REG_NONE));
  EXPECT_EQ(Width(), 68);
  RECT pad{}, r{};
  GetWindowRect(FindWindowW(L"TForm1", nullptr), &pad);
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, pad.bottom - pad.top + 2) << "below the stamp pad's height";
  EndProgram();
  EXPECT_EQ(harness::ReadString(kBar, L"SimpleStampFormt0"), L"0,ＭＳ Ｐゴシック,40,0,255");
  EXPECT_EQ(harness::ReadString(kBar, L"RotateTextFormt9"), L"0,ＭＳ Ｐゴシック,40,0,255,0");
  EXPECT_EQ(harness::ReadString(kBar, L"Show"), L"1");
  EXPECT_EQ(harness::ReadString(kBar, L"Y"), std::to_wstring(r.top));
}

TEST_F(Toolbar, SquareStampIsAFramedMetafileFortyPercentLargerThanItsText) {
  harness::WriteString(kRoot, L"ShowMessage", L"1");
  harness::WriteString(kRoot, L"ClipboardFormat", L"DIBitmap");  // DIB only: not for text stamps
  Start();
  Press(10);
  ASSERT_TRUE(Stamped());
  HWND message = harness::WaitForBox(L"Varnel印鑑");
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(SendDlgItemMessageW(message, IDC_MESSAGE_CHECKBOX1, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendDlgItemMessageW(message, IDC_MESSAGE_CHECKBOX2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendDlgItemMessageW(message, IDC_MESSAGE_CHECKBOX3, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendDlgItemMessageW(message, IDC_MESSAGE_CHECKBOX4, BM_GETCHECK, 0, 0), BST_CHECKED);
  harness::PostClick(message, IDOK);  // the message is hidden, not destroyed
  for (int i = 0; i < 250 && IsWindowVisible(message); ++i) Sleep(20);

  EXPECT_TRUE(HasFormat(CF_METAFILEPICT));
  EXPECT_FALSE(HasFormat(CF_DIB)) << "only the two metafile formats, whatever ClipboardFormat says";
  const SIZE text = TextSize(L"至急", SHIFTJIS_CHARSET);
  const SIZE frame = FramePixels();
  EXPECT_NEAR(frame.cx, text.cx * 14 / 10, 1);
  EXPECT_NEAR(frame.cy, text.cy * 14 / 10, 1);
  const PackedDib picture = ClipboardPicture();
  const int w = text.cx, h = text.cy;
  EXPECT_GT(RedPixels(picture, w / 10 - 1, h * 4 / 10, w / 10 + 2, h * 9 / 10), h * 4 / 10) << "the left frame line";
  EXPECT_EQ(RedPixels(picture, 0, 0, w / 10 - 2, h * 14 / 10), 0) << "nothing outside the frame";
  EXPECT_GT(RedPixels(picture, w * 2 / 10, h * 2 / 10, w * 12 / 10, h * 12 / 10), 20) << "the text inside";
}

TEST_F(Toolbar, RotatedTextTurnsAndStaysRedWithoutItsOwnFormat) {
  harness::WriteString(kBar, L"StampColor", L"16711680");  // blue: not used by rotated text
  Slot(1, 9);
  harness::WriteString(kBar, L"Text1", L"回覧");
  Slot(2, 9);
  harness::WriteString(kBar, L"Text2", L"回覧");
  harness::WriteString(kBar, L"RotateTextFormt1", L"0,,0,0,0,90");
  Start();
  const SIZE text = TextSize(L"回覧", DEFAULT_CHARSET);
  Press(1);
  ASSERT_TRUE(Stamped());
  SIZE frame = FramePixels();
  EXPECT_NEAR(frame.cx, text.cx + 1, 1);
  EXPECT_NEAR(frame.cy, text.cy + 1, 1);
  EXPECT_GT(RedPixels(ClipboardPicture(), 0, 0, frame.cx, frame.cy), 50);

  harness::PutClipboardText("before");
  Press(2);
  ASSERT_TRUE(Stamped());
  frame = FramePixels();
  EXPECT_NEAR(frame.cx, text.cy + 1, 2) << "at 90 degrees the picture stands";
  EXPECT_NEAR(frame.cy, text.cx + 1, 2);
  const PackedDib picture = ClipboardPicture();
  EXPECT_GT(RedPixels(picture, 0, frame.cy / 2, frame.cx, frame.cy), 20) << "the text starts at the bottom";
  EXPECT_FALSE(HasFormat(CF_DIB));
}

// 315 degrees is the turn of -45: the same picture, not one clamped to 180.
TEST_F(Toolbar, RotatedTextTakesAStoredAngleBeyondHalfATurnAsTheTurnItNames) {
  for (int n = 1; n <= 3; ++n) {
    Slot(n, 9);
    harness::WriteString(kBar, L"Text" + std::to_wstring(n), L"回覧");
  }
  harness::WriteString(kBar, L"RotateTextFormt0", L"0,,0,0,0,315");
  harness::WriteString(kBar, L"RotateTextFormt1", L"0,,0,0,0,-45");
  harness::WriteString(kBar, L"RotateTextFormt2", L"0,,0,0,0,180");
  Start();
  auto stamp = [&](int slot) {
    harness::PutClipboardText("before");
    Press(slot);
    EXPECT_TRUE(Stamped());
    return std::make_pair(FramePixels(), ClipboardPicture());
  };
  const auto [frame315, picture315] = stamp(1);
  const auto [frameMinus45, pictureMinus45] = stamp(2);
  const auto [frame180, picture180] = stamp(3);
  EXPECT_EQ(frame315.cx, frameMinus45.cx);
  EXPECT_EQ(frame315.cy, frameMinus45.cy);
  EXPECT_GT(RedPixels(picture315, 0, 0, frame315.cx, frame315.cy), 50);
  EXPECT_TRUE(picture315 == pictureMinus45) << "pixel for pixel";
  EXPECT_FALSE(picture315 == picture180);
  EXPECT_GT(frame315.cy, frame180.cy * 3 / 2) << "slanted, not lying upside down";
}

// The program where a user installs it, on drive C: "C:" alone would be
// its own folder there.
TEST_F(Toolbar, AFileLaunchedFromADriveRootStartsInThatRoot) {
  const std::wstring folder = L"C:\\varnel-launch";
  const std::wstring exe = folder + L"\\Varnel.exe";
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(harness::DistPath(L"Varnel.exe").c_str(), exe.c_str(), FALSE));
  const std::wstring report = L"C:\\varnel-launch-folder.txt";
  DeleteFileW(report.c_str());
  const char batch[] = "@cd > C:\\varnel-launch-folder.txt\r\n";
  const std::wstring launched = L"C:\\varnel-launch.bat";
  ASSERT_TRUE(WriteFile(launched, batch, sizeof batch - 1));
  Slot(1, 5, launched);
  Start(exe);
  Press(1);
  std::optional<std::string> folderSeen;
  for (int i = 0; i < 400 && !(folderSeen && folderSeen->ends_with('\n')); ++i, Sleep(50))
    folderSeen = harness::ReadWholeFile(report);
  EndProgram();
  ASSERT_TRUE(folderSeen) << "the batch file ran";
  EXPECT_EQ(*folderSeen, "C:\\\r\n");
  for (const std::wstring& file : {exe, report, launched}) DeleteFileW(file.c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST_F(Toolbar, SealFormatFilesStampTheirDesignAndLeaveTheStoredOne) {
  harness::WriteString(kRoot, L"RezoHosei", L"50");
  MemoryStore defaults;
  LoadAllSettings(defaults, [](std::string_view) { return false; });
  NameSealRecord name = NameSealSettings;
  std::memcpy(name.Main.Text1, "\x8e\x52", 3);  // "山": another person's seal
  DateSealRecord date = DateSealSettings;
  date.Main.Years = 1;  // the era; the stored seal keeps Western years
  Slot(1, 1, File(L"main.vln", &name.Main, sizeof name.Main));
  Slot(2, 1, File(L"short.vln", &name, 1000));
  Slot(3, 1, File(L"broken.vln", &name, 100));
  Slot(4, 2, File(L"era.vld", &date, sizeof date));
  Start();
  harness::VrnCtlLibrary ctl;
  ctl.Call("_DateStamp");
  ASSERT_TRUE(Stamped(CF_DIB));
  const auto padDateBefore = harness::ClipboardBytes(CF_DIB);

  BITMAPINFOHEADER header{};
  for (int slot : {1, 2}) {
    harness::PutClipboardText("before");
    Press(slot);
    ASSERT_TRUE(Stamped(CF_DIB)) << slot;
    ASSERT_TRUE(harness::ReadDibHeader(header));
    EXPECT_EQ(header.biXPelsPerMeter, 52000) << "26000 corrected by RezoHosei 50";
  }
  harness::PutClipboardText("before");
  Press(3);
  EXPECT_EQ(Answer(L"ERROR"), L"認印書式ファイルを読み込めません");
  EXPECT_FALSE(HasFormat(CF_DIB) || HasFormat(CF_ENHMETAFILE)) << "nothing stamped from 100 bytes";

  Press(4);
  ASSERT_TRUE(Stamped(CF_DIB));
  ASSERT_TRUE(harness::ReadDibHeader(header));
  EXPECT_EQ(header.biXPelsPerMeter, 15249) << "a date seal file keeps its scale";
  EXPECT_NE(harness::ClipboardBytes(CF_DIB), padDateBefore) << "the file's era date differs from the pad's";
  // The pad's own seals are what the program keeps and saves at exit.
  EndProgram();
  EXPECT_EQ(harness::ReadString(harness::Section(L"DateStamp"), L"Years"), L"0");
  EXPECT_EQ(harness::ReadString(harness::Section(L"NameStamp"), L"Text1"), L"名");
}

TEST_F(Toolbar, TextImageAndScriptSlots) {
  const char text[] = "\x89\x9f\x88\xf3\x83\x65\x83\x58\x83\x67\r\nabc";  // "押印テスト" in code page 932
  Slot(1, 4, File(L"note.txt", text, sizeof text - 1));
  Slot(2, 4, Temp(L"missing.txt"));
  const std::string scan = harness::WhiteBmpFile(40);
  Slot(3, 3, File(L"seal.bmp", scan.data(), scan.size()));
  Slot(4, 3, L"C:\\" + std::wstring(70, L'a') + L".bmp");
  Slot(5, 8, Temp(L"missing.vgs"));
  const char noResolution[] = "Size 40 40\r\nReso 0\r\nRect 0 0 39 39\r\n";
  Slot(6, 8, File(L"reso0.vgs", noResolution, sizeof noResolution - 1));
  harness::WriteString(kRoot, L"Bitmap1", L"0");
  Start();

  Press(1);
  std::optional<std::vector<std::uint8_t>> copied;
  for (int i = 0; i < 200 && !(copied && copied->at(0) != 'b'); ++i, Sleep(50))
    copied = harness::ClipboardBytes(CF_TEXT);
  ASSERT_TRUE(copied);
  EXPECT_EQ(std::strcmp(reinterpret_cast<const char*>(copied->data()), text), 0) << "the file's bytes";
  const auto unicode = harness::ClipboardBytes(CF_UNICODETEXT);
  ASSERT_TRUE(unicode);
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(unicode->data())), L"押印テスト\r\nabc");
  Press(2);
  HWND unreadable = harness::WaitForBox(L"確認", 10000);
  ASSERT_NE(unreadable, nullptr);
  EXPECT_EQ(harness::ControlText(unreadable, IDC_SS_UNREADABLE_TEXT), L"登録されたファイルを読み込めませんでした");
  EXPECT_EQ(ButtonsOf(unreadable), std::vector<int>{IDYES}) << "a single Yes button";
  EXPECT_EQ(harness::ControlText(unreadable, IDYES), L"はい(&Y)");
  Sleep(300);
  const std::wstring output = harness::HostPath(VARNEL_OUTPUT_UNIX);
  CreateDirectoryW(output.c_str(), nullptr);
  harness::WriteBmp(harness::CaptureWindow(unreadable), output + L"\\dialog-text-file-unreadable.bmp");
  harness::PressButton(unreadable, IDYES);

  Press(3);
  ASSERT_TRUE(Stamped(CF_DIB));
  BITMAPINFOHEADER header{};
  ASSERT_TRUE(harness::ReadDibHeader(header));
  EXPECT_EQ(header.biWidth, 40);
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"0") << "the stored bitmap seal stays";
  Press(4);
  EXPECT_NE(Answer(L"Varnel印鑑").find(L"長すぎる"), std::wstring::npos) << "a path Bitmap1 cannot hold";

  harness::PutClipboardText("before");
  Press(5);
  EXPECT_NE(Answer(L"Varnel印鑑").find(L"グラフィックスクリプト"), std::wstring::npos);
  EXPECT_FALSE(HasFormat(CF_DIB) || HasFormat(CF_ENHMETAFILE)) << "a script that cannot be read stamps nothing";

  harness::PutClipboardText("before");
  Press(6);
  EXPECT_NE(Answer(L"Varnel印鑑").find(L"グラフィックスクリプト"), std::wstring::npos);
  EXPECT_FALSE(HasFormat(CF_DIB) || HasFormat(CF_ENHMETAFILE)) << "Reso 0: no resolution, no picture";
}

TEST_F(Toolbar, WithThePngOptionEveryPictureSlotAlsoLeavesAPngAtItsScale) {
  harness::WriteString(kRoot, L"ClipboardPng", L"1");
  harness::WriteString(kRoot, L"Bitmap1", L"0");
  MemoryStore defaults;
  LoadAllSettings(defaults, [](std::string_view) { return false; });
  const std::string scan = harness::WhiteBmpFile(40);
  const char script[] = "Size 40 40\r\nReso 300\r\nRect 0 0 39 39\r\n";  // 300 dpi: 11811 per metre
  Slot(1, 0);  // the square stamp of a first start
  Slot(2, 9);
  harness::WriteString(kBar, L"Text2", L"回覧");
  Slot(3, 1, File(L"png.vln", &NameSealSettings.Main, sizeof NameSealSettings.Main));
  Slot(4, 3, File(L"png.bmp", scan.data(), scan.size()));
  Slot(5, 8, File(L"png.vgs", script, sizeof script - 1));
  Slot(6, 10, File(L"png-metafile.vgs", script, sizeof script - 1));
  Start();
  const long long kReference = 3780;  // 96 to the inch, the scale text stamps are laid out on
  const UINT png = PngClipboardFormat();
  const std::pair<int, long long> slots[] = {{1, kReference}, {2, kReference}, {3, 26000},
                                             {4, 15294},      {5, 11811},      {6, 11811}};
  for (const auto& [slot, scale] : slots) {
    harness::PutClipboardText("before");
    Press(slot);
    ASSERT_TRUE(Stamped(png)) << "slot " << slot;
    const auto bytes = harness::ClipboardBytes(png);
    ASSERT_TRUE(bytes.has_value());
    const harness::PngFacts facts = harness::ReadPngFacts(*bytes);
    EXPECT_TRUE(facts.valid && facts.colourType == 6) << "slot " << slot << ": a PNG with alpha";
    EXPECT_EQ(facts.pixelsPerUnitX, scale) << "slot " << slot;
    EXPECT_TRUE(HasFormat(CF_ENHMETAFILE)) << "slot " << slot << ": beside the metafile";
  }
}

TEST_F(Toolbar, LaunchAndWallpaperLeaveTheClipboard) {
  Slot(1, 5, harness::HostPath(VARNEL_USER_SELECTION_UNIX));
  const std::string picture = harness::WhiteBmpFile(8);
  Slot(2, 7, File(L"paper.bmp", picture.data(), picture.size()));
  const std::wstring desktop = L"Control Panel\\Desktop";
  const auto tileBefore = harness::ReadString(desktop, L"TileWallpaper");
  Start();
  Press(1);
  HWND launched = harness::WaitForWindow(L"Varnel印鑑ユーザー選択", 10000);
  EXPECT_NE(launched, nullptr) << "the shell opened the program";
  if (launched) PostMessageW(launched, WM_CLOSE, 0, 0);
  Press(2);
  for (int i = 0; i < 100 && harness::ReadString(desktop, L"TileWallpaper") != L"1"; ++i) Sleep(50);
  EXPECT_EQ(harness::ReadString(desktop, L"TileWallpaper"), L"1");
  EXPECT_EQ(harness::ReadString(desktop, L"WallpaperStyle"), L"0");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(harness::ClipboardBytes(CF_TEXT)->data())), "before");
  harness::WriteString(desktop, L"TileWallpaper", tileBefore.value_or(L"0"));
}

TEST_F(Toolbar, EditModeChangesKindsEditsAFormatAndSavesWhenLeft) {
  Start();
  harness::PostClick(bar, IDC_SS_EDITMODE);
  for (int i = 0; i < 100 && Width() != 360; ++i) Sleep(20);
  EXPECT_EQ(Width(), 360);
  EXPECT_EQ(harness::ControlText(bar, IDC_SS_EDITMODE), L"編集終了");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(bar, IDC_SS_FILENAME1))) << "a square slot has no file";

  HWND kind3 = GetDlgItem(bar, IDC_SS_KIND1 + 2);
  auto chooseKind = [&](int kind) {
    SendMessageW(kind3, CB_SETCURSEL, kind, 0);
    SendMessageW(bar, WM_COMMAND, MAKEWPARAM(IDC_SS_KIND1 + 2, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind3));
  };
  chooseKind(1);
  EXPECT_EQ(harness::ControlText(bar, IDC_SS_EDIT1 + 2), L"印名");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(bar, IDC_SS_FILENAME1 + 2)));
  chooseKind(0);
  EXPECT_EQ(harness::ControlText(bar, IDC_SS_EDIT1 + 2), L"文字列");

  harness::PostClick(bar, IDC_SS_FILE1);
  HWND dialog = harness::WaitForBox(L"角印の書式設定");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FMT_OWN), 0u);
  for (int id : {IDC_FMT_FONT, IDC_FMT_SIZE_DOWN, IDC_FMT_SIZE_UP, IDC_FMT_COLOR})
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
  EXPECT_EQ(harness::ControlText(dialog, IDC_FMT_SIZE), L"40");
  EXPECT_EQ(harness::ControlText(dialog, IDC_FMT_SIZE_UP), L"大きく") << "a picture button names itself";
  harness::Click(dialog, IDC_FMT_OWN);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_FMT_SIZE_DOWN)));
  for (int i = 0; i < 9; ++i) harness::Click(dialog, IDC_FMT_SIZE_DOWN);
  EXPECT_EQ(harness::ControlText(dialog, IDC_FMT_SIZE), L"8") << "not below 8";
  harness::Click(dialog, IDC_FMT_SIZE_UP);
  harness::PressButton(dialog, IDOK);

  harness::PostClick(bar, IDC_SS_EDITMODE);
  for (int i = 0; i < 100 && Width() != 68; ++i) Sleep(20);
  EXPECT_EQ(harness::ControlText(bar, IDC_SS_BUTTON1 + 2), L"文字列") << "captions follow the texts";
  EXPECT_EQ(harness::ReadString(kBar, L"Text3"), L"文字列");
  EXPECT_EQ(harness::ReadString(kBar, L"Stamp3"), L"0");
  EXPECT_EQ(harness::ReadString(kBar, L"SimpleStampFormt0"), L"1,ＭＳ Ｐゴシック,12,4,255")
      << "a plain font from the dialog is stored as 4";
}

// A font whose name code page 932 cannot spell cannot be stored: the user
// is told so, and the common font stays.
TEST_F(Toolbar, AFontWhoseNameCannotBeKeptIsRefusedWithTheReason) {
  const wchar_t* kReplacements = L"Software\\Wine\\Fonts\\Replacements";
  const std::wstring face = L"Ŧest Ĝothic";
  harness::WriteString(kReplacements, face, L"IPAGothic");
  Start();
  harness::PostClick(bar, IDC_SS_EDITMODE);
  for (int i = 0; i < 100 && Width() != 360; ++i) Sleep(20);
  harness::PostClick(bar, IDC_SS_FONT);
  HWND fonts = harness::WaitForBox(L"フォントの指定", 10000);
  // The program has its list of fonts by now.
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kReplacements, face.c_str());
  ASSERT_NE(fonts, nullptr) << "the font dialog";
  HWND faces = GetDlgItem(fonts, 0x470);  // cmb1, the face names
  const LRESULT index = SendMessageW(faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(face.c_str()));
  ASSERT_NE(index, CB_ERR) << "the font is offered";
  SendMessageW(faces, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(fonts, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
  harness::PressButton(fonts, IDOK);
  EXPECT_EQ(Answer(L"Varnel印鑑"), L"このフォントは名前を保存できないため、指定できません。");

  harness::PostClick(bar, IDC_SS_EDITMODE);
  for (int i = 0; i < 100 && Width() != 68; ++i) Sleep(20);
  EXPECT_EQ(harness::ReadString(kBar, L"FontName"), L"ＭＳ Ｐゴシック") << "the common font stays";
}

// Rotated text puts its picture on the clipboard and shows the information
// message when asked to; no exit, hiding or clearing follows it.
TEST_F(Toolbar, RotatedTextHasNoAfterStampAction) {
  harness::WriteString(kRoot, L"TerminateAsStamped", L"2");
  Slot(1, 9);
  Start();
  HWND pad = FindWindowW(L"TForm1", nullptr);
  ASSERT_NE(pad, nullptr);
  Press(1);
  ASSERT_TRUE(Stamped());
  Sleep(1000);
  EXPECT_TRUE(IsWindowVisible(bar)) << "the toolbar stays";
  EXPECT_TRUE(IsWindowVisible(pad)) << "the stamp pad stays";

  harness::PutClipboardText("before");
  Press(2);  // a square stamp ends with the after-stamp action
  ASSERT_TRUE(Stamped());
  for (int i = 0; i < 100 && IsWindowVisible(bar); ++i) Sleep(20);
  EXPECT_FALSE(IsWindowVisible(bar));
  EXPECT_FALSE(IsWindowVisible(pad));
}

TEST_F(Toolbar, AdministratorPolicyLocksEditingAndFileStamps) {
  harness::WriteString(kRoot, L"adm", L"1");
  harness::WriteString(kRoot, L"Policy01", L"fffttffft");
  MemoryStore defaults;
  LoadAllSettings(defaults, [](std::string_view) { return false; });
  Slot(1, 1, File(L"locked.vln", &NameSealSettings, sizeof NameSealSettings));
  Slot(2, 8, Temp(L"locked.vgs"));
  Start();
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(bar, IDC_SS_EDITMODE)));
  Press(1);
  Press(2);
  Sleep(1500);
  EXPECT_EQ(harness::WaitForBox(L"Varnel印鑑", 100), nullptr) << "the missing script was not run";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(harness::ClipboardBytes(CF_TEXT)->data())), "before")
      << "the locked slots did nothing";
  Press(10);
  EXPECT_TRUE(Stamped()) << "the square stamp is not locked";
}

TEST_F(Toolbar, AClickWhileAStampAsksForTheDateIsDropped) {
  harness::WriteString(kRoot, L"CheckDate", L"1");
  Start();
  harness::VrnCtlLibrary ctl;
  ctl.Call("_DateStampEx");
  HWND prompt = harness::WaitForBox(L"Varnel印鑑");
  ASSERT_NE(prompt, nullptr);
  ASSERT_NE(GetDlgItem(prompt, IDC_DATE_EDIT1), nullptr);
  Press(10);
  Sleep(1000);
  EXPECT_FALSE(HasFormat(CF_ENHMETAFILE)) << "the date seal is being drawn: the square stamp is not run";
  harness::PressButton(prompt, IDOK);
  EXPECT_TRUE(Stamped(CF_DIB)) << "the date seal completes";
}

}  // namespace
