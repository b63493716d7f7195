// Pictures of the square-stamp toolbar for review and the README: the
// compact form, edit mode and the two text format dialogs, captured from the
// running program. Usage: toolbar_shots.exe <output folder>

#include <windows.h>

#include <string>

#include "harness/Dialogs.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Prompts.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

std::wstring gOut;

void SaveWindow(HWND hwnd, const std::wstring& name) {
  harness::PumpFor(300);  // let it paint
  harness::WriteBmp(harness::CaptureWindow(hwnd), gOut + L"\\" + name + L".bmp");
}

void WaitForWidth(HWND hwnd, int width) {
  for (int i = 0; i < 100; ++i) {
    RECT r;
    GetWindowRect(hwnd, &r);
    if (r.right - r.left == width) return;
    Sleep(20);
  }
}

// Opens a slot's format dialog, shows its own format, saves it and cancels.
void ShootFormatDialog(HWND bar, int slot, const std::wstring& caption, const std::wstring& name) {
  harness::PostClick(bar, IDC_SS_FILE1 + slot - 1);
  HWND dialog = harness::WaitForBox(caption);
  if (!dialog) return;
  harness::Click(dialog, IDC_FMT_OWN);
  SaveWindow(dialog, name);
  harness::PressButton(dialog, IDCANCEL);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  gOut = argc > 1 ? argv[1] : L".";
  const std::wstring bar = harness::Section(L"SimpleStamp");
  harness::WriteQuietSettings();
  harness::WriteString(harness::kRoot, L"ShowExBar", L"1");
  harness::WriteString(bar, L"X", L"400");
  harness::WriteString(bar, L"Y", L"200");
  harness::WriteString(bar, L"Stamp7", L"9");
  harness::WriteString(bar, L"Text7", L"回覧済");
  harness::WriteString(bar, L"RotateTextFormt6", L"0,,0,0,0,30");
  harness::WriteString(bar, L"Stamp8", L"1");
  harness::WriteString(bar, L"Text8", L"山田");
  harness::WriteString(bar, L"StampFile8", L"C:\\印鑑\\yamada.vln");
  harness::RunningProgram program(harness::DistPath(L"Varnel.exe"));
  HWND tray = harness::WaitForWindow(L"VarnelMain", 20000);
  HWND toolbar = nullptr;
  for (int i = 0; i < 500 && !(toolbar && IsWindowVisible(toolbar)); ++i, Sleep(20))
    toolbar = FindWindowW(L"TSimpleStamp", nullptr);
  if (!tray || !toolbar) return 1;
  SaveWindow(toolbar, L"toolbar-compact");
  harness::PostClick(toolbar, IDC_SS_EDITMODE);
  WaitForWidth(toolbar, 360);
  SaveWindow(toolbar, L"toolbar-edit");
  ShootFormatDialog(toolbar, 1, L"角印の書式設定", L"dialog-square-format");
  ShootFormatDialog(toolbar, 7, L"回転文字の書式設定", L"dialog-rotated-format");
  harness::PostClick(toolbar, IDC_SS_EDITMODE);
  WaitForWidth(toolbar, 68);
  PostMessageW(tray, WM_USER, 5, 0);
  if (HWND box = harness::WaitForBox(L"Varnel印鑑", 5000)) harness::PressButton(box, IDOK);
  program.WaitForExit(10000);
  harness::DeleteTree(L"Software\\Qdx");
  return 0;
}
