#include "ForegroundWatch.h"

#include <vector>

#include "UniqueHandle.h"

namespace {

// A title is what names the document; a longer one is cut.
constexpr int kLongestTitle = 512;

// The one live watch, for the event procedure (which gets no context).
ForegroundWatch* liveWatch = nullptr;

void CALLBACK ForegroundChanged(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
  if (object != OBJID_WINDOW || !liveWatch) return;
  try {
    liveWatch->Noticed(window);
  } catch (...) {
    // Nothing may unwind into the platform; the previous window stays.
  }
}

bool IsOwnWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

std::wstring ProgramOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  UniqueHandleObject process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    DWORD size = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return std::wstring(path.data(), size);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() > 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace

DocumentWindow DescribeWindow(HWND window) {
  if (!window || !IsWindow(window) || IsOwnWindow(window)) return {};
  // The top-level window names the document, not a control that had the focus.
  HWND root = GetAncestor(window, GA_ROOT);
  if (root) window = root;
  DocumentWindow described;
  std::vector<wchar_t> title(kLongestTitle + 1, L'\0');
  const int n = GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
  described.title.assign(title.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
  described.exe = ProgramOf(window);
  return described;
}

ForegroundWatch::ForegroundWatch() {
  liveWatch = this;
  hook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, ForegroundChanged, 0, 0,
                          WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  Noticed(GetForegroundWindow());
}

ForegroundWatch::~ForegroundWatch() {
  if (hook_) UnhookWinEvent(hook_);
  if (liveWatch == this) liveWatch = nullptr;
}

void ForegroundWatch::Noticed(HWND window) {
  DocumentWindow described = DescribeWindow(window);
  if (described.title.empty() && described.exe.empty()) return;
  last_ = window;
  lastSeen_ = std::move(described);
}

DocumentWindow ForegroundWatch::Last() const {
  // The title as it is now (a document saved under a new name), else as seen.
  DocumentWindow now = DescribeWindow(last_);
  return now.title.empty() && now.exe.empty() ? lastSeen_ : now;
}

DocumentWindow CurrentDocumentWindow() {
  DocumentWindow front = DescribeWindow(GetForegroundWindow());
  if (!front.title.empty() || !front.exe.empty()) return front;
  return liveWatch ? liveWatch->Last() : DocumentWindow{};
}
