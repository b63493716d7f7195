#pragma once
// A modeless dialog from a DIALOGEX template: the editor, the builder and
// the builder's pages. The static procedure keeps `this` in DWLP_USER and
// forwards every message to OnMessage; no exception leaves it.

#include <windows.h>

#include <string>

class DialogWindow {
 public:
  virtual ~DialogWindow();
  DialogWindow() = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Creates the dialog hidden (the template leaves out WS_VISIBLE).
  bool Create(int templateId, HWND owner);
  HWND Handle() const { return hwnd_; }
  // Keyboard navigation for this dialog, from a message loop.
  bool IsDialogMessage(MSG& msg) const { return hwnd_ && ::IsDialogMessageW(hwnd_, &msg); }

 protected:
  // Returns the dialog procedure's result: TRUE when handled (a real
  // result goes into DWLP_MSGRESULT through SetResult), FALSE for default.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  INT_PTR SetResult(LRESULT result) {
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
  }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  HWND hwnd_ = nullptr;

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// A window's text as UTF-16, whatever its length.
std::wstring WindowText(HWND hwnd);
