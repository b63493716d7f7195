#include "Forms.h"

#include <commctrl.h>

#include "Dialogs.h"

namespace harness {

namespace {
struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ControlSearch*>(lParam);
  if (GetDlgCtrlID(hwnd) != search->id) return TRUE;
  search->found = hwnd;
  return FALSE;
}
}  // namespace

HWND FindControl(HWND dialog, int id) {
  ControlSearch search{id, nullptr};
  EnumChildWindows(dialog, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void SelectPage(HWND dialog, int tabControlId, int index) {
  // Without the buttons style, moving the focus to a tab selects it and
  // notifies the dialog, as the arrow keys do.
  SendMessageW(FindControl(dialog, tabControlId), TCM_SETCURFOCUS, index, 0);
}

std::wstring TextIn(HWND dialog, int id) {
  HWND control = FindControl(dialog, id);
  return ControlText(GetParent(control), id);
}

void SetTextIn(HWND dialog, int id, const std::wstring& text) {
  HWND control = FindControl(dialog, id);
  SetControlText(GetParent(control), id, text);
}

void TypeInto(HWND dialog, int id, const std::wstring& text) {
  HWND control = FindControl(dialog, id);
  for (wchar_t c : text) SendMessageW(control, WM_CHAR, c, 1);
}

bool CheckedIn(HWND dialog, int id) {
  return SendMessageW(FindControl(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int ChoiceIn(HWND dialog, int firstId, int count) {
  for (int i = 0; i < count; ++i)
    if (CheckedIn(dialog, firstId + i)) return i;
  return -1;
}

void PostClickIn(HWND dialog, int id) { PostMessageW(FindControl(dialog, id), BM_CLICK, 0, 0); }

void ClickIn(HWND dialog, int id) { SendMessageW(FindControl(dialog, id), BM_CLICK, 0, 0); }

int UpDownIn(HWND dialog, int id) {
  return static_cast<int>(SendMessageW(FindControl(dialog, id), UDM_GETPOS32, 0, 0));
}

void SetUpDownIn(HWND dialog, int id, int position) {
  SendMessageW(FindControl(dialog, id), UDM_SETPOS32, 0, position);
}

int SliderIn(HWND dialog, int id) { return static_cast<int>(SendMessageW(FindControl(dialog, id), TBM_GETPOS, 0, 0)); }

void SetSliderIn(HWND dialog, int id, int position) {
  SendMessageW(FindControl(dialog, id), TBM_SETPOS, TRUE, position);
}

}  // namespace harness
