#pragma once
// The square-stamp toolbar window. For now a plain tool window that shows
// and hides in its place among the long-lived windows; its slots come later.

#include "Window.h"

class TSimpleStamp : public Window {
 public:
  bool Create(HWND owner = nullptr);
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  void Show() { ShowWindow(hwnd_, SW_SHOWNOACTIVATE); }
  void Hide() { ShowWindow(hwnd_, SW_HIDE); }
  void Toggle() { Visible() ? Hide() : Show(); }

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;
};
