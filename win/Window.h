#pragma once
// A top-level or child window of our own class: the static procedure keeps
// `this` from WM_NCCREATE and forwards to Dispatch; no exception leaves it.

#include <windows.h>

class Window {
 public:
  virtual ~Window();
  HWND Handle() const { return hwnd_; }

 protected:
  bool CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y,
                      int width, int height, HWND parent, HMENU menuOrId);
  virtual LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// A window rectangle on no monitor (one that has been removed, a stored
// minimised position) moved onto the nearest monitor's work area; any other
// is returned as it is.
RECT OntoAMonitor(RECT wanted);
