// A short check of a program folder as a caller meets it: with Varnel
// running as a 32-bit process on 64-bit Windows (as on most machines
// today), loads the folder's VrnCtl.dll, stamps the name and the date seal,
// checks what each puts on the clipboard (the metafiles and the 16-colour
// DIB at the seal's size) and ends Varnel through _ExitVarnel.
// It waits patiently: on a host that runs 32-bit code only under an
// emulator, each step of the program takes a while.
// Usage: varnel_smoke.exe   (the folder: VARNEL_DIST, else the build's dist/)
// Prints one line per check; exit code 0 when every check held.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "UniqueHandle.h"
#include "harness/Clipboard.h"
#include "harness/Process.h"

namespace {

constexpr DWORD kStartMs = 20 * 60 * 1000;
constexpr DWORD kStampMs = 5 * 60 * 1000;

int gFailures = 0;

void Check(bool held, const char* what) {
  std::printf("smoke: %s %s\n", held ? "ok" : "FAIL", what);
  std::fflush(stdout);
  if (!held) ++gFailures;
}

bool HasFormat(UINT format) {
  for (UINT f : harness::ClipboardFormats())
    if (f == format) return true;
  return false;
}

bool WaitForFormat(UINT format, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    if (HasFormat(format)) return true;
    Sleep(100);
  }
  return false;
}

std::optional<BITMAPINFOHEADER> ClipboardDibHeader() {
  auto bytes = harness::ClipboardBytes(CF_DIB);
  if (!bytes || bytes->size() < sizeof(BITMAPINFOHEADER)) return std::nullopt;
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes->data(), sizeof header);
  return header;
}

// True when the window belongs to a 32-bit process on 64-bit Windows.
bool RunsUnderWow64(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  const UniqueHandleObject process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  BOOL wow64 = FALSE;
  return process && IsWow64Process(process.get(), &wow64) && wow64;
}

using ControlExport = int(__cdecl*)();

int Call(HMODULE ctl, const char* name) {
  auto request = reinterpret_cast<ControlExport>(reinterpret_cast<void*>(GetProcAddress(ctl, name)));
  return request ? request() : 0;
}

// One stamp through the library: what a paste would find afterwards.
void StampAndCheck(HMODULE ctl, const char* exportName, LONG side, const char* seal) {
  harness::PutClipboardText("");
  const std::string what = std::string(seal) + " seal";
  Check(Call(ctl, exportName) != 0, (what + ": " + exportName + " posted").c_str());
  Check(WaitForFormat(CF_DIB, kStampMs), (what + ": a DIB reached the clipboard").c_str());
  Check(HasFormat(CF_ENHMETAFILE) && HasFormat(CF_METAFILEPICT), (what + ": both metafiles beside it").c_str());
  const auto header = ClipboardDibHeader();
  char line[160];
  std::snprintf(line, sizeof line, "%s: the DIB is %ld x %ld at %d bits (expected %ld x %ld at 4)", what.c_str(),
                header ? static_cast<long>(header->biWidth) : 0L, header ? static_cast<long>(header->biHeight) : 0L,
                header ? header->biBitCount : 0, static_cast<long>(side), static_cast<long>(side));
  Check(header && header->biWidth == side && header->biHeight == side && header->biBitCount == 4, line);
}

void AnswerExitConfirmation() {
  for (int i = 0; i < 600; ++i) {
    HWND box = FindWindowW(L"#32770", L"Varnel印鑑");
    if (box && IsWindowVisible(box)) {
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return;
    }
    Sleep(100);
  }
}

}  // namespace

int wmain() {
  const std::wstring library = harness::DistPath(L"VrnCtl.dll");
  const HWND varnel = harness::WaitForWindow(L"VarnelMain", kStartMs);
  Check(varnel != nullptr, "Varnel is running");
  Check(varnel && RunsUnderWow64(varnel), "Varnel is a 32-bit process on 64-bit Windows");
  HMODULE ctl = LoadLibraryW(library.c_str());
  Check(ctl != nullptr, "VrnCtl.dll loads");
  if (ctl == nullptr || gFailures > 0) return 1;
  StampAndCheck(ctl, "_NameStamp", 242, "name");
  StampAndCheck(ctl, "_DateStamp", 238, "date");
  Check(Call(ctl, "_ExitVarnel") != 0, "_ExitVarnel posted");
  AnswerExitConfirmation();
  Check(harness::WaitForWindowGone(L"VarnelMain", kStampMs), "Varnel ended");
  FreeLibrary(ctl);
  return gFailures == 0 ? 0 : 1;
}
