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

// The desktop, the taskbar with its notification area (a click on the tray
// icon brings it to the front; a desktop without a taskbar may show the
// notification area as a window of its own) and menus are in front on the
// way to a stamp, and are never the document.
bool IsShellWindow(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  for (const wchar_t* shell : {L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"NotifyIconOverflowWindow", L"Progman",
                               L"WorkerW", L"#32768", L"TopLevelWindowForOverflowXamlIsland",
                               L"__winex11_standalone_tray"})
    if (lstrcmpiW(className, shell) == 0) return true;
  return false;
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

// The first window below the program's own in the order windows overlap on
// the screen: the one that was in front before them. Windows always on top
// (the taskbar, floating tools) and tool windows are passed over.
DocumentWindow WindowBelowOwn() {
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!IsWindowVisible(window) || (style & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW))) continue;
    DocumentWindow described = DescribeWindow(window);
    if (!described.title.empty()) return described;
  }
  return {};
}

}  // namespace

DocumentWindow DescribeWindow(HWND window) {
  if (!window || !IsWindow(window)) return {};
  // The top-level window names the document, not a control that had the focus.
  if (HWND root = GetAncestor(window, GA_ROOT)) window = root;
  if (IsOwnWindow(window) || IsShellWindow(window)) return {};
  std::vector<wchar_t> title(kLongestTitle + 1, L'\0');
  const int n = GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
  // A window without a title names no document.
  if (n <= 0) return {};
  return {std::wstring(title.data(), static_cast<std::size_t>(n)), ProgramOf(window)};
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
  if (described.title.empty()) return;
  last_ = window;
  lastSeen_ = std::move(described);
}

DocumentWindow ForegroundWatch::Last() const {
  // The title as it is now (a document saved under a new name), else as seen.
  DocumentWindow now = DescribeWindow(last_);
  return now.title.empty() ? lastSeen_ : now;
}

DocumentWindow CurrentDocumentWindow() {
  DocumentWindow front = DescribeWindow(GetForegroundWindow());
  if (!front.title.empty()) return front;
  if (liveWatch) {
    DocumentWindow seen = liveWatch->Last();
    if (!seen.title.empty()) return seen;
  }
  // No foreground event seen (Wine sends none across processes).
  return WindowBelowOwn();
}
