#include "Dialog.h"

#include "ErrorDisplay.h"

#include <vector>

HINSTANCE ResourceModule() { return GetModuleHandleW(nullptr); }

INT_PTR ModalDialog::Run(int templateId, HWND owner) {
  return DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId), owner, Procedure,
                         reinterpret_cast<LPARAM>(this));
}

std::wstring ModalDialog::ItemText(int id) const {
  HWND item = Item(id);
  const int length = item ? GetWindowTextLengthW(item) : 0;
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  if (item) GetWindowTextW(item, buffer.data(), length + 1);
  return std::wstring(buffer.data());
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ModalDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<ModalDialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    // An exception must not unwind through the dialog manager.
    ShowCurrentException(hwnd);
    EndDialog(hwnd, -1);
    return TRUE;
  }
}

INT_PTR ModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
      OnClose();
      return TRUE;
  }
  INT_PTR result = FALSE;
  return OnMessage(message, wParam, lParam, result) ? result : FALSE;
}
