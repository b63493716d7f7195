#include "DialogWindow.h"

#include <vector>

#include "Dialog.h"

DialogWindow::~DialogWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
}

bool DialogWindow::Create(int templateId, HWND owner) {
  CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId), owner, Procedure, reinterpret_cast<LPARAM>(this));
  return hwnd_ != nullptr;
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogWindow* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<DialogWindow*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    return FALSE;
  }
  try {
    return self->OnMessage(message, wParam, lParam);
  } catch (...) {
    // An exception must not unwind through the dialog manager.
    return FALSE;
  }
}

std::wstring WindowText(HWND hwnd) {
  const int length = hwnd ? GetWindowTextLengthW(hwnd) : 0;
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  if (hwnd) GetWindowTextW(hwnd, buffer.data(), length + 1);
  return std::wstring(buffer.data());
}
