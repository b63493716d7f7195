#pragma once
// Per-monitor DPI for the windows built from pixel coordinates: their layout
// is written in pixels at 96 dpi and placed at the DPI of the monitor the
// window is on. Where Windows has no per-window DPI (before Windows 10
// 1607) the system DPI serves; the seals themselves never change with it.

#include <windows.h>

#include <vector>

#include "UniqueHandle.h"

constexpr UINT kDesignDpi = 96;

// The DPI of the window's monitor, or of the system.
UINT WindowDpi(HWND hwnd);
// A system metric (SM_CXSMICON ...) at dpi, or at the system's where Windows
// knows no per-DPI metrics.
int SystemMetricForDpi(int index, UINT dpi);
inline int ScaleToDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), kDesignDpi); }
// The program's control font (the stock GUI font) at dpi: the stock object
// itself stays at the system DPI.
UniqueHfont GuiFontForDpi(UINT dpi);
// The window size whose client area is clientWidth x clientHeight at dpi.
SIZE WindowSizeForClient(HWND hwnd, int clientWidth, int clientHeight, UINT dpi);

// The children of one window, placed in design pixels and kept at the
// window's DPI: WM_DPICHANGED puts them and their font at the new one.
class DpiLayout {
 public:
  // Takes the window's DPI; the children come with Place.
  void Attach(HWND parent);
  UINT Dpi() const { return dpi_; }
  // Design pixels at the window's DPI.
  int operator()(int pixels) const { return ScaleToDpi(pixels, dpi_); }
  // Moves the child to the rectangle at the window's DPI, gives it the font
  // and keeps the rectangle for later changes.
  void Place(HWND child, int x, int y, int width, int height);
  HFONT Font() const { return font_.get(); }
  // WM_DPICHANGED: the children and their font at the new DPI, the window
  // in the rectangle Windows suggests.
  void DpiChanged(WPARAM wParam, LPARAM lParam);

 private:
  void Move(HWND child, const RECT& design) const;
  struct Placed {
    HWND child;
    RECT design;
  };
  HWND parent_ = nullptr;
  UINT dpi_ = kDesignDpi;
  UniqueHfont font_;
  std::vector<Placed> placed_;
};
