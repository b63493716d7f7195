// Pictures of every page of the seal editor and the options dialog, and of
// the information message after a stamp, taken from the screen while the
// real program shows them. Used by scripts/screenshots for docs/.
// Usage: dialog_shots.exe <output folder>

#include <windows.h>

#include <cstdio>
#include <string>

#include "MenuIds.h"
#include "ProgramFolder.h"
#include "harness/Forms.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

struct Page {
  const wchar_t* name;
};

constexpr Page kEditorPages[] = {{L"editor-1-name"}, {L"editor-2-name-text"}, {L"editor-3-date"},
                                 {L"editor-4-date-text"}};
constexpr Page kOptionPages[] = {{L"options-01-output"},   {L"options-02-display"},   {L"options-03-toolbar"},
                                 {L"options-04-behaviour"}, {L"options-05-security"}, {L"options-06-guard"},
                                 {L"options-07-correction"}, {L"options-08-rotation"}, {L"options-09-tray"},
                                 {L"options-10-eras"}};

template <std::size_t N>
bool ShootDialog(HWND pad, UINT command, const wchar_t* caption, int tabId, const Page (&pages)[N],
                 const std::wstring& out) {
  PostMessageW(pad, WM_COMMAND, command, 0);
  HWND dialog = harness::WaitForBox(caption, 10000);
  if (!dialog) return false;
  for (std::size_t i = 0; i < N; ++i) {
    harness::SelectPage(dialog, tabId, static_cast<int>(i));
    Sleep(600);  // let the page and the preview paint
    harness::WriteBmp(harness::CaptureWindow(dialog), out + L"\\" + pages[i].name + L".bmp");
  }
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  return harness::WaitForWindowGone(caption, 10000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring out = argv[1];
  harness::WriteQuietSettings();
  // The message after a stamp, with every format the program writes.
  harness::WriteString(harness::kRoot, L"ShowMessage", L"1");
  harness::WriteString(harness::kRoot, L"ClipboardPng", L"1");
  harness::WriteString(harness::kRoot, L"StampLog", L"1");
  harness::RunningProgram varnel(harness::DistPath(L"Varnel.exe"));
  if (!harness::WaitForWindow(L"VarnelMain", 30000)) {
    std::fputs("Varnel did not start\n", stderr);
    return 1;
  }
  Sleep(1000);
  HWND pad = FindWindowW(L"TForm1", nullptr);
  const bool editor = ShootDialog(pad, IDM_S1, L"印影編集", IDC_EDITOR_TABS, kEditorPages, out);
  const bool options = ShootDialog(pad, IDM_OPTION1, L"オプション設定", IDC_OPTIONS_TABS, kOptionPages, out);
  PostMessageW(pad, WM_COMMAND, IDM_N2, 0);  // the name seal
  HWND message = harness::WaitForBox(L"Varnel印鑑", 10000);
  if (message) {
    Sleep(600);
    harness::WriteBmp(harness::CaptureWindow(message), out + L"\\message.bmp");
    // The same message when the stamp log could not keep the record: a
    // folder stands where this month's file belongs.
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t month[32];
    swprintf(month, 32, L"stamp-log-%04d-%02d.jsonl", now.wYear, now.wMonth);
    const std::wstring log = UserFile(month);
    DeleteFileW(log.c_str());
    CreateDirectoryW(log.c_str(), nullptr);
    Sleep(300);
    PostMessageW(pad, WM_COMMAND, IDM_N2, 0);
    if (HWND notKept = harness::WaitForBox(L"Varnel印鑑", 10000)) {
      Sleep(600);
      harness::WriteBmp(harness::CaptureWindow(notKept), out + L"\\message-log-not-kept.bmp");
    }
    RemoveDirectoryW(log.c_str());
  }
  varnel.Terminate();
  harness::DeleteTree(L"Software\\Qdx");
  if (!editor || !options || !message) std::fputs("a dialog did not open\n", stderr);
  return editor && options && message ? 0 : 1;
}
