#include "Varnel.h"

#include "Registry.h"

#include <psapi.h>

#include <vector>

#include "Process.h"
#include "UniqueHandle.h"

namespace harness {

void WriteQuietSettings() {
  DeleteTree(L"Software\\Qdx");
  WriteString(kRoot, L"Version", L"126");
  WriteString(kRoot, L"ShowExBar", L"2");
  WriteString(kRoot, L"CheckDate", L"0");
}
namespace {

struct BoxSearch {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK MatchVisibleDialog(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<BoxSearch*>(lParam);
  wchar_t title[256] = {}, cls[64] = {};
  GetWindowTextW(hwnd, title, 256);
  GetClassNameW(hwnd, cls, 64);
  if (IsWindowVisible(hwnd) && *search->caption == title && std::wstring(cls) == L"#32770") {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

bool StampFormatsPresent() {
  return IsClipboardFormatAvailable(CF_ENHMETAFILE) && IsClipboardFormatAvailable(CF_METAFILEPICT) &&
         IsClipboardFormatAvailable(CF_DIB);
}

}  // namespace

HWND WaitForBox(const std::wstring& caption, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    BoxSearch search{&caption, nullptr};
    EnumWindows(MatchVisibleDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(20);
  }
}

std::wstring BoxText(HWND box) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  return text;
}

void PressButton(HWND box, int id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
  for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(10);
}

bool ClipboardOffers(UINT format, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (IsClipboardFormatAvailable(format)) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(10);
  }
}

bool WaitForStampFormats(DWORD sequenceBefore, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    // The stamp empties the clipboard first, so formats seen after the
    // sequence number moved are the new stamp's.
    if (GetClipboardSequenceNumber() != sequenceBefore && StampFormatsPresent()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(1);
  }
}

bool ReadDibHeader(BITMAPINFOHEADER& header, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (OpenClipboard(nullptr)) {
      bool read = false;
      if (HANDLE data = GetClipboardData(CF_DIB); data && GlobalSize(data) >= sizeof header) {
        if (const void* p = GlobalLock(data)) {
          header = *static_cast<const BITMAPINFOHEADER*>(p);
          GlobalUnlock(data);
          read = true;
        }
      }
      CloseClipboard();
      return read;
    }
    if (GetTickCount64() >= end) return false;
    Sleep(5);
  }
}

VrnCtlLibrary::VrnCtlLibrary() : VrnCtlLibrary(DistPath(L"VrnCtl.dll")) {}

VrnCtlLibrary::VrnCtlLibrary(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {}

VrnCtlLibrary::~VrnCtlLibrary() {
  if (module_) FreeLibrary(module_);
}

int VrnCtlLibrary::Call(const char* name) const {
  if (!module_) return -1;
  auto f = reinterpret_cast<int(__cdecl*)()>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  return f ? f() : -1;
}

int FreeGdiObjects() {
  constexpr std::size_t kLimit = 200000;  // beyond any platform's table
  std::vector<UniqueHbrush> made;
  made.reserve(70000);
  while (made.size() < kLimit) {
    UniqueHbrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    if (!brush) break;
    made.push_back(std::move(brush));
  }
  return static_cast<int>(made.size());
}

ProcessUsage UsageOf(DWORD processId) {
  ProcessUsage usage;
  UniqueHandleObject process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process) return usage;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    return usage;
  usage.workingSet = counters.WorkingSetSize;
  // Wine leaves PrivateUsage at 0 for another process; PagefileUsage is its equivalent.
  usage.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  usage.gdiObjects = GetGuiResources(process.get(), GR_GDIOBJECTS);
  usage.valid = true;
  return usage;
}

bool VarnelRun::Start(const std::wstring& folder) {
  program_.emplace(folder.empty() ? DistPath(L"Varnel.exe") : folder + L"\\Varnel.exe");
  tray = WaitForWindow(L"VarnelMain", 20000);
  pad = tray ? WaitForWindow(L"Varnel印鑑", 5000, L"TForm1") : nullptr;
  return tray && pad;
}

void VarnelRun::Stop() {
  if (!program_ || !program_->Running()) return;
  PostMessageW(tray, WM_USER, 5, 0);
  if (HWND box = WaitForBox(L"Varnel印鑑", 5000)) PressButton(box, IDOK);
  program_->WaitForExit(10000);
}

bool WriteWholeFile(const std::wstring& path, const void* data, size_t size) {
  HANDLE raw = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return false;
  UniqueHandleObject file(raw);
  DWORD written = 0;
  return size == 0 || (WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  HANDLE raw = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return std::nullopt;
  UniqueHandleObject file(raw);
  std::string bytes(GetFileSize(raw, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty() && !ReadFile(raw, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return std::nullopt;
  return bytes;
}

}  // namespace harness
