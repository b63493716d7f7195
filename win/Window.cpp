#include "Window.h"

#include <algorithm>

#include "ErrorDisplay.h"

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* title, int x,
                            int y, int width, int height, HWND parent, HMENU menuOrId) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!GetClassInfoExW(instance, className, &wc)) {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc)) return false;
  }
  hwnd_ = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId, instance, this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    // An exception must not unwind through the window manager: the user
    // sees it and the program goes on.
    ShowCurrentException(hwnd);
    return 0;
  }
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) { return Default(message, wParam, lParam); }

RECT OntoAMonitor(RECT wanted) {
  if (MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) return wanted;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) return wanted;
  const RECT& work = monitor.rcWork;
  const LONG width = wanted.right - wanted.left, height = wanted.bottom - wanted.top;
  const LONG left = std::clamp(wanted.left, work.left, std::max(work.left, work.right - width));
  const LONG top = std::clamp(wanted.top, work.top, std::max(work.top, work.bottom - height));
  return {left, top, left + width, top + height};
}
