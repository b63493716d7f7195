#include "Dpi.h"

namespace {

// Functions of newer user32 versions, found at run time: the program also
// runs on Windows 7.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace

UINT WindowDpi(HWND hwnd) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (getDpiForWindow && hwnd)
    if (const UINT dpi = getDpiForWindow(hwnd)) return dpi;
  return SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
  static const auto forDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

UniqueHfont GuiFontForDpi(UINT dpi) {
  LOGFONTW font{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  return UniqueHfont(CreateFontIndirectW(&font));
}

SIZE WindowSizeForClient(HWND hwnd, int clientWidth, int clientHeight, UINT dpi) {
  static const auto adjustForDpi =
      User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  const BOOL menu = (style & WS_CHILD) == 0 && GetMenu(hwnd) != nullptr;
  RECT r{0, 0, clientWidth, clientHeight};
  if (!adjustForDpi || !adjustForDpi(&r, style, menu, exStyle, dpi)) AdjustWindowRectEx(&r, style, menu, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

void DpiLayout::Attach(HWND parent) {
  parent_ = parent;
  dpi_ = WindowDpi(parent);
  font_ = GuiFontForDpi(dpi_);
  placed_.clear();
}

void DpiLayout::Move(HWND child, const RECT& design) const {
  SetWindowPos(child, nullptr, (*this)(design.left), (*this)(design.top), (*this)(design.right - design.left),
               (*this)(design.bottom - design.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

void DpiLayout::Place(HWND child, int x, int y, int width, int height) {
  if (!child) return;
  const RECT design{x, y, x + width, y + height};
  Move(child, design);
  if (font_) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  for (Placed& placed : placed_)
    if (placed.child == child) {
      placed.design = design;
      return;
    }
  placed_.push_back({child, design});
}

void DpiLayout::DpiChanged(WPARAM wParam, LPARAM lParam) {
  dpi_ = HIWORD(wParam);
  UniqueHfont font = GuiFontForDpi(dpi_);
  for (const Placed& placed : placed_) {
    if (!IsWindow(placed.child)) continue;
    if (font) SendMessageW(placed.child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    Move(placed.child, placed.design);
  }
  // The children hold the old font until here.
  if (font) font_ = std::move(font);
  const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(parent_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}
