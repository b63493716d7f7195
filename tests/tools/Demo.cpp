// Stamps the name and the date seal in the running Varnel through VrnCtl and
// saves what a paste would get, plus a picture of the stamp pad, then ends
// the program. Used by scripts/run when there is no display to look at.
// Usage: varnel_demo.exe <output folder>

#include <windows.h>

#include <cstdio>
#include <string>

#include "harness/Clipboard.h"
#include "harness/Pixels.h"
#include "harness/Process.h"

namespace {

std::wstring gOut;

bool WaitForFormat(UINT format) {
  for (int i = 0; i < 200; ++i) {
    for (UINT f : harness::ClipboardFormats())
      if (f == format) return true;
    Sleep(50);
  }
  return false;
}

// What a paste gets: the metafile played at its own size, and the DIB.
void SaveClipboard(const std::wstring& name) {
  if (auto dib = harness::ClipboardBytes(CF_DIB)) {
    // The 16-colour DIB as it is; the BMP reader handles its colour table.
    PackedDib bytes(dib->begin(), dib->end());
    harness::WriteBmp(bytes, gOut + L"\\" + name + L"-dib.bmp");
  }
  OpenClipboard(nullptr);
  if (auto emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE))) {
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(emf, sizeof header, &header);
    const int w = header.rclBounds.right - header.rclBounds.left + 1;
    const int h = header.rclBounds.bottom - header.rclBounds.top + 1;
    // Played four times larger than the screen size, to be seen.
    harness::WriteBmp(harness::PlayIntoDib(emf, 4 * w, 4 * h), gOut + L"\\" + name + L"-metafile.bmp");
  }
  CloseClipboard();
}

void SaveWindow(HWND hwnd, const std::wstring& name) {
  harness::WriteBmp(harness::CaptureWindow(hwnd), gOut + L"\\" + name + L".bmp");
}

int Call(HMODULE ctl, const char* name) {
  auto f = reinterpret_cast<int(__cdecl*)()>(reinterpret_cast<void*>(GetProcAddress(ctl, name)));
  return f ? f() : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  gOut = argv[1];
  if (!harness::WaitForWindow(L"VarnelMain", 30000)) {
    std::fputs("Varnel did not start\n", stderr);
    return 1;
  }
  HMODULE ctl = LoadLibraryW(harness::DistPath(L"VrnCtl.dll").c_str());
  Sleep(1000);  // let the pad paint its previews
  if (HWND pad = FindWindowW(L"TForm1", nullptr)) SaveWindow(pad, L"stamp-pad");
  harness::PutClipboardText("");
  Call(ctl, "_NameStamp");
  if (WaitForFormat(CF_DIB)) SaveClipboard(L"name-seal");
  harness::PutClipboardText("");
  Call(ctl, "_DateStamp");
  if (WaitForFormat(CF_DIB)) SaveClipboard(L"date-seal");
  Call(ctl, "_ExitVarnel");
  for (int i = 0; i < 200; ++i) {
    HWND box = FindWindowW(L"#32770", L"Varnel印鑑");
    if (box && IsWindowVisible(box)) {
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      break;
    }
    Sleep(50);
  }
  harness::WaitForWindowGone(L"VarnelMain", 10000);
  FreeLibrary(ctl);
  return 0;
}
