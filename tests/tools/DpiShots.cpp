// Pictures of every window and dialog of the running program, for checking
// them at a display DPI above 96 (scripts/dpi-screenshots sets Wine's
// LogPixels). Each picture is named <window>-<dpi>.bmp.
// Usage: dpi_shots.exe <output folder> <picture file for the bitmap seal>

#include <windows.h>

#include <cstdio>
#include <string>

#include "MenuIds.h"
#include "harness/Dialogs.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Prompts.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

std::wstring gOut, gDpi;
int gSaved = 0;

void Save(HWND hwnd, const std::wstring& name) {
  if (!hwnd) {
    std::fwprintf(stderr, L"dpi_shots: no window for %ls\n", name.c_str());
    return;
  }
  harness::PumpFor(700);  // let it paint
  if (harness::WriteBmp(harness::CaptureWindow(hwnd), gOut + L"\\" + name + L"-" + gDpi + L".bmp")) ++gSaved;
}

// A dialog opened by a stamp pad command, captured and closed.
void ShootCommand(HWND pad, UINT command, const wchar_t* caption, const std::wstring& name) {
  PostMessageW(pad, WM_COMMAND, command, 0);
  HWND dialog = harness::WaitForBox(caption, 15000);
  Save(dialog, name);
  if (!dialog) return;
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  harness::WaitForWindowGone(caption, 10000);
}

HWND WaitForVisible(const wchar_t* className, const wchar_t* title) {
  for (int i = 0; i < 500; ++i, Sleep(20))
    if (HWND hwnd = FindWindowW(className, title); hwnd && IsWindowVisible(hwnd)) return hwnd;
  return nullptr;
}

void WaitForWidthChange(HWND hwnd, int width) {
  for (int i = 0; i < 100; ++i, Sleep(20)) {
    RECT r;
    GetWindowRect(hwnd, &r);
    if (r.right - r.left != width) return;
  }
}

int Width(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r.right - r.left;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  // This tool reads the windows' real pixels: it must see the display's DPI.
  SetProcessDPIAware();
  gOut = argv[1];
  // The pointer away from every window: no tooltip in the pictures.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  HDC screen = GetDC(nullptr);
  gDpi = std::to_wstring(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);

  const std::wstring bar = harness::Section(L"SimpleStamp");
  harness::WriteQuietSettings();
  harness::WriteString(harness::kRoot, L"Bitmap1", argv[2]);
  harness::WriteString(harness::kRoot, L"ShowExBar", L"1");
  harness::WriteString(harness::kRoot, L"Wx", L"40");
  harness::WriteString(harness::kRoot, L"Wy", L"40");
  harness::WriteString(bar, L"X", L"600");
  harness::WriteString(bar, L"Y", L"40");
  // The script builder beside its editor, not in front of it.
  harness::WriteString(harness::Section(L"Script"), L"EditorPosX", L"0");
  harness::WriteString(harness::Section(L"Script"), L"EditorPosY", L"0");
  harness::WriteString(harness::Section(L"Script"), L"GUIPosX", L"1300");
  harness::WriteString(harness::Section(L"Script"), L"GUIPosY", L"0");
  harness::RunningProgram program(harness::DistPath(L"Varnel.exe"));
  HWND tray = harness::WaitForWindow(L"VarnelMain", 30000);
  HWND pad = WaitForVisible(L"TForm1", nullptr);
  HWND toolbar = WaitForVisible(L"TSimpleStamp", nullptr);
  if (!tray || !pad) {
    std::fputs("dpi_shots: Varnel did not start\n", stderr);
    return 1;
  }
  Save(pad, L"stamp-pad");
  Save(toolbar, L"toolbar-compact");
  if (toolbar) {
    const int compact = Width(toolbar);
    harness::PostClick(toolbar, IDC_SS_EDITMODE);
    WaitForWidthChange(toolbar, compact);
    // The common settings in the last row come last.
    for (int i = 0; i < 100 && !IsWindowVisible(GetDlgItem(toolbar, IDC_SS_FONT)); ++i) Sleep(20);
    harness::PumpFor(800);
    Save(toolbar, L"toolbar-edit");
    harness::PostClick(toolbar, IDC_SS_FILE1);
    HWND format = harness::WaitForBox(L"角印の書式設定");
    Save(format, L"dialog-square-format");
    if (format) harness::PressButton(format, IDCANCEL);
    const int edit = Width(toolbar);
    harness::PostClick(toolbar, IDC_SS_EDITMODE);
    WaitForWidthChange(toolbar, edit);
  }

  // The information message after a stamp from the pad's menu.
  PostMessageW(pad, WM_COMMAND, IDM_N2, 0);
  HWND message = harness::WaitForBox(L"Varnel印鑑", 15000);
  Save(message, L"message");
  if (message) harness::PressButton(message, IDOK);

  ShootCommand(pad, IDM_N4, L"ﾊﾞｰｼﾞｮﾝ情報", L"about");
  ShootCommand(pad, IDM_S1, L"印影編集", L"editor");
  ShootCommand(pad, IDM_OPTION1, L"オプション設定", L"options");
  ShootCommand(pad, IDM_BITMAPEDIT, L"Varnel印鑑イメージカッター", L"cutter");

  PostMessageW(pad, WM_COMMAND, IDM_G1, 0);
  HWND editor = harness::WaitForWindow(L"Varnel印鑑グラフィックスクリプトエディタ", 15000);
  HWND builder = harness::WaitForWindow(L"GUI Panel", 15000);
  Save(editor, L"script-editor");
  Save(builder, L"script-builder");
  if (editor) {
    PostMessageW(editor, WM_CLOSE, 0, 0);
    harness::WaitForWindowGone(L"Varnel印鑑グラフィックスクリプトエディタ", 10000);
  }

  PostMessageW(tray, WM_USER, 5, 0);
  if (HWND box = harness::WaitForBox(L"Varnel印鑑", 5000)) harness::PressButton(box, IDOK);
  program.WaitForExit(10000);
  harness::DeleteTree(L"Software\\Qdx");
  std::printf("dpi_shots: %d pictures at %ls dpi\n", gSaved, gDpi.c_str());
  return gSaved >= 11 ? 0 : 1;  // every window and dialog above
}
