#include "Smpstamp.h"

bool TSimpleStamp::Create(HWND owner) {
  return CreateWindowOf(L"TSimpleStamp", WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                        L"Varnel印鑑", CW_USEDEFAULT, CW_USEDEFAULT, 260, 60, owner, nullptr);
}

LRESULT TSimpleStamp::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    Hide();
    return 0;
  }
  return Default(message, wParam, lParam);
}
