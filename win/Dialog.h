#pragma once
// A modal dialog from a DIALOGEX template. The static procedure keeps `this`
// in DWLP_USER and forwards to the members; no exception leaves it.

#include <windows.h>

#include <string>

class ModalDialog {
 public:
  virtual ~ModalDialog() = default;
  // Runs the dialog; returns the value given to End, or -1 when it could not be shown.
  INT_PTR Run(int templateId, HWND owner);

 protected:
  virtual void OnInitDialog() {}
  // Returns true when the command was handled.
  virtual bool OnCommand(int id, int notifyCode) {
    (void)id;
    (void)notifyCode;
    return false;
  }
  virtual void OnClose() { End(IDCANCEL); }
  // Any other message (drawing, scrolling, notifications): true when handled,
  // with the procedure's result in result.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    (void)message;
    (void)wParam;
    (void)lParam;
    (void)result;
    return false;
  }
  void End(INT_PTR result) { EndDialog(hwnd_, result); }

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  std::wstring ItemText(int id) const;
  void SetItemText(int id, const std::wstring& text) const { SetDlgItemTextW(hwnd_, id, text.c_str()); }

  HWND hwnd_ = nullptr;

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};

// The module that holds the program's resources.
HINSTANCE ResourceModule();
